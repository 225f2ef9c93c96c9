#pragma once
// Text as the exported files carry it: tags in valid UTF-8, file names that every file system
// a phone or a car player reads can hold, and the play times of the summary.
#include <cstdint>
#include <string>
#include <string_view>

namespace exporter {

// s as valid UTF-8 (a byte that starts no UTF-8 character is read as Latin-1, the code page
// most old modules and file names used, as the menu reads them too), control characters as
// spaces, runs of white space as one, trimmed.
std::string cleanText(std::string_view s);

// The longest file name made here, in bytes: room is left under the 255 bytes of a name for
// the temporary name it is first written under.
inline constexpr std::size_t FILE_NAME_MAX = 200;

// name as a file name: clean text without / \ : * ? " < > | (each becomes _), without dots or
// spaces at the end, at most maxBytes bytes (cut between characters); "untitled" when nothing
// is left.
std::string safeFileName(std::string_view name, std::size_t maxBytes = FILE_NAME_MAX);

// "07 - title.flac": the number as wide as the largest one (at least two digits).
std::string trackFileName(int number, int total, std::string_view title);

// 3723000 -> "1:02:03", 83000 -> "1:23".
std::string clockTime(std::uint64_t ms);

} // namespace exporter
