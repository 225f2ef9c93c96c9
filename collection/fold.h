#pragma once
// Text from outside (module titles, messages and sample names, file and folder names) folded
// into what the disk's two fonts can draw. Input is UTF-8 where it is valid; a byte that is not
// part of a valid UTF-8 sequence is read as Latin-1, the code page most old modules and file
// names used. Accented Latin letters become their base letters ("é" to "e", "ß" to "ss"),
// typographic quotes and dashes their plain forms; what neither font has is dropped or turned
// into a space, and runs of spaces become one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace collection {

// Lower-case letters, digits, space, apostrophe, dash and full stop: a menu line's characters.
// Separators ("_", "/", ":" ...) become spaces, "&" becomes "and"; no double spaces, and no
// spaces, dashes or dots at either end.
std::string foldToMenu(std::string_view text);

// The scroll font's characters (letters of both cases, digits, space and its punctuation).
// Line breaks and tabs become spaces.
std::string foldToScroll(std::string_view text);

// At most width characters of a folded menu text, cut after a whole word when that keeps at
// least two thirds of it, without trailing spaces, dots or dashes.
std::string shortenMenuText(std::string_view text, std::size_t width);

// A tune row: the title and its time right-aligned in 25 characters, the title shortened when
// it does not fit; ms 0 shows an unknown time ("-'--").
std::string tuneRowText(std::string_view title, std::uint32_t ms);

// A file or folder name fit for a line on standard error: valid UTF-8 is kept, control
// characters and stray bytes are written as \n, \t or \xHH.
std::string printableName(std::string_view name);

} // namespace collection
