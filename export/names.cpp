#include "export/names.h"

#include <cstdio>
#include <cstring>

namespace exporter {

namespace {

// The length of the valid UTF-8 character at s[i], or 0 when none starts there.
std::size_t characterLength(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((b(k) & 0xC0) != 0x80) return 0;
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) >= 0xA0) || (c == 0xF0 && b(1) < 0x90) ||
        (c == 0xF4 && b(1) >= 0x90))
        return 0;
    return n;
}

bool isSpace(unsigned char c) {
    return c == ' ' || c < 0x20 || c == 0x7F;
}

} // namespace

std::string cleanText(std::string_view s) {
    std::string out;
    bool space = false;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = characterLength(s, i);
        const auto c = static_cast<unsigned char>(s[i]);
        // Latin-1's own control characters (0x80 to 0x9F) are no more text than ASCII's.
        if ((n == 1 && isSpace(c)) || (n == 0 && c < 0xA0)) {
            space = !out.empty();
            ++i;
            continue;
        }
        if (space) out += ' ';
        space = false;
        if (n == 0) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string safeFileName(std::string_view name, std::size_t maxBytes) {
    std::string clean = cleanText(name);
    for (char& c : clean)
        if (std::strchr("/\\:*?\"<>|", c) && c != '\0') c = '_';
    std::string out;
    for (std::size_t i = 0; i < clean.size();) {
        const std::size_t n = characterLength(clean, i);
        if (out.size() + n > maxBytes) break;
        out.append(clean, i, n);
        i += n;
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    // A name of dots alone would be the folder itself or the one above it.
    if (out.empty() || out.find_first_not_of('.') == std::string::npos) return "untitled";
    return out;
}

std::string trackFileName(int number, int total, std::string_view title) {
    int width = 2;
    for (int t = total; t >= 100; t /= 10) ++width;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%0*d - ", width, number);
    const std::string head = prefix;
    const std::string tail = ".flac";
    return head + safeFileName(title, FILE_NAME_MAX - head.size() - tail.size()) + tail;
}

std::string clockTime(std::uint64_t ms) {
    const std::uint64_t s = (ms + 500) / 1000;
    char buf[48];
    if (s >= 3600)
        std::snprintf(
            buf, sizeof buf, "%llu:%02llu:%02llu", static_cast<unsigned long long>(s / 3600),
            static_cast<unsigned long long>(s / 60 % 60), static_cast<unsigned long long>(s % 60));
    else
        std::snprintf(buf, sizeof buf, "%llu:%02llu", static_cast<unsigned long long>(s / 60),
                      static_cast<unsigned long long>(s % 60));
    return buf;
}

} // namespace exporter
