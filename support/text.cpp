#include "support/text.h"

#include <algorithm>

namespace tavrel {
namespace {

struct Decoded {
    char32_t cp;
    std::size_t len;  // bytes consumed
    bool valid;
};

Decoded Decode(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return {b0, 1, true};
    std::size_t len = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) { len = 2; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; cp = b0 & 0x07; }
    else return {b0, 1, false};
    if (i + len > s.size()) return {b0, 1, false};
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return {b0, 1, false};
        cp = (cp << 6) | (b & 0x3F);
    }
    return {cp, len, true};
}

void Encode(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t FoldCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE && c != 0xD7) return c + 32;                // Latin-1 capitals
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek
    if (c >= 0x400 && c <= 0x40F) return c + 80;               // Cyrillic Ѐ..Џ
    if (c >= 0x410 && c <= 0x42F) return c + 32;               // Cyrillic А..Я
    return c;
}

}  // namespace

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += Decode(text, i).len) ++count;
    return count;
}

std::size_t ByteOffsetOfChar(std::string_view text, std::size_t n) {
    std::size_t i = 0;
    for (; i < text.size() && n > 0; --n) i += Decode(text, i).len;
    return i;
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = Decode(text, i);
        if (d.valid) Encode(FoldCodePoint(d.cp), out);
        else out += text[i];  // keep a stray byte exactly as it is
        i += d.len;
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return FoldCase(a) == FoldCase(b);
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
    return FoldCase(text).find(FoldCase(needle)) != std::string::npos;
}

bool NameLess(std::string_view a, std::string_view b) { return NameLessFolded(FoldCase(a), a, FoldCase(b), b); }

bool NameLessFolded(std::string_view foldedA, std::string_view a, std::string_view foldedB, std::string_view b) {
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

std::string StripLastExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace tavrel
