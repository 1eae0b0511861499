#include "support/wildcard.h"

#include <string>
#include <vector>

#include "support/text.h"

namespace tavrel {
namespace {

// Splits folded UTF-8 into code points so that "?" takes one character.
std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        std::size_t len = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3
                                          : (b0 & 0xF8) == 0xF0 ? 4 : 1;
        if (i + len > utf8.size()) len = 1;
        char32_t cp = 0;
        for (std::size_t k = 0; k < len; ++k) cp = (cp << 8) | static_cast<unsigned char>(utf8[i + k]);
        out.push_back(cp);  // the exact value does not matter, only equality
        i += len;
    }
    return out;
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern)
    : everything_(pattern == "*.*"), pattern_(CodePoints(FoldCase(pattern))) {}

bool WildcardPattern::matches(std::string_view name) const { return matchesFolded(FoldCase(name)); }

bool WildcardPattern::matchesFolded(std::string_view foldedName) const {
    if (everything_) return true;
    const std::vector<char32_t> n = CodePoints(foldedName);
    const std::vector<char32_t>& p = pattern_;
    std::size_t pi = 0, ni = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*') ++pi;
    return pi == p.size();
}

bool WildcardMatch(std::string_view pattern, std::string_view name) { return WildcardPattern(pattern).matches(name); }

}  // namespace tavrel
