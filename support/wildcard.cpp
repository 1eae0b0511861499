#include "support/wildcard.h"

#include <string>
#include <vector>

#include "support/text.h"

namespace tavrel {
namespace {

// Splits folded UTF-8 into code points so that "?" takes one character. A
// byte that is not valid UTF-8 becomes a value above every code point, so
// that it only ever equals the same byte.
std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Step step = DecodeUtf8(utf8, i);
        out.push_back(step.valid ? step.cp : 0x110000 + step.cp);
        i += step.len;
    }
    return out;
}

// The plain ASCII head and tail around a pattern's only "*". An ASCII byte
// never continues a character, so a name that starts and ends with those
// bytes starts and ends with those characters.
std::optional<WildcardPattern::Plain> PlainParts(const std::string& foldedPattern) {
    const std::size_t star = foldedPattern.find('*');
    if (star == std::string::npos || foldedPattern.find('*', star + 1) != std::string::npos) return std::nullopt;
    for (const char c : foldedPattern) {
        if (c == '?' || static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    }
    return WildcardPattern::Plain{foldedPattern.substr(0, star), foldedPattern.substr(star + 1)};
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern)
    : everything_(pattern == "*.*"), pattern_(CodePoints(FoldCase(pattern))), plain_(PlainParts(FoldCase(pattern))) {}

bool WildcardPattern::matches(std::string_view name) const { return matchesFolded(FoldCase(name)); }

bool WildcardPattern::matchesFolded(std::string_view foldedName) const {
    if (everything_) return true;
    if (plain_) {
        return foldedName.size() >= plain_->head.size() + plain_->tail.size() && foldedName.starts_with(plain_->head) &&
               foldedName.ends_with(plain_->tail);
    }
    const std::vector<char32_t> n = CodePoints(foldedName);
    const std::vector<char32_t>& p = pattern_;
    std::size_t pi = 0, ni = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == U'*') {  // before the literal test: a name may hold a '*' too
            starP = pi++;
            starN = ni;
        } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
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

std::vector<std::string> SplitPatternList(const std::string& patterns) {
    const std::string list = patterns.empty() ? "*.*" : patterns;
    char sep = 0;
    for (const char candidate : {';', ',', '|'}) {
        if (list.find(candidate) != std::string::npos) {
            sep = candidate;
            break;
        }
    }
    std::vector<std::string> pieces(1);
    for (const char c : list) {
        if (c == sep) pieces.emplace_back();
        else pieces.back() += c;
    }
    for (std::string& piece : pieces) {
        piece.erase(0, piece.find_first_not_of(' '));
        piece.erase(piece.find_last_not_of(' ') + 1);
    }
    return pieces;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) { return WildcardPattern(pattern).matches(name); }

}  // namespace tavrel
