#include "support/text.h"

#include <algorithm>
#include <iterator>

namespace tavrel {
namespace {

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

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

struct Folding {
    char32_t from, to;
};

// Unicode's CaseFolding.txt, statuses C and S, sorted by `from`.
constexpr Folding kFoldings[] =
#include "case_folding.inc"
    ;

}  // namespace

Utf8Step DecodeUtf8(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return {b0, 1, true};
    std::size_t len = 0;
    char32_t cp = 0, least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1F; least = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; cp = b0 & 0x0F; least = 0x800; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { len = 4; cp = b0 & 0x07; least = 0x10000; }
    else return {b0, 1, false};
    if (i + len > s.size()) return {b0, 1, false};
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (!IsContinuation(b)) return {b0, 1, false};
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {b0, 1, false};
    return {cp, len, true};
}

char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 32 : c;
    const auto* end = std::end(kFoldings);
    const auto* it = std::lower_bound(std::begin(kFoldings), end, c,
                                      [](const Folding& f, char32_t value) { return f.from < value; });
    return it != end && it->from == c ? it->to : c;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += DecodeUtf8(text, i).len) ++count;
    return count;
}

std::size_t ByteOffsetOfChar(std::string_view text, std::size_t n) {
    std::size_t i = 0;
    for (; i < text.size() && n > 0; --n) i += DecodeUtf8(text, i).len;
    return i;
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {  // most names are plain ASCII
            out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
            ++i;
            continue;
        }
        const Utf8Step d = DecodeUtf8(text, i);
        if (d.valid) Encode(FoldCodePoint(d.cp), out);
        else out += text[i];  // keep a stray byte exactly as it is
        i += d.len;
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return FoldCase(a) == FoldCase(b);
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
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
