// Helpers for writing test texts readably.
#pragma once

#include <string>
#include <string_view>

// Widens ASCII test text to UTF-16.
inline std::u16string U(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Narrows UTF-16 test text back to ASCII, for readable failure messages.
inline std::string A(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "?";
        }
    }
    return out;
}

inline std::string Repeat(std::string_view s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}
