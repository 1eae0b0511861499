// Wildcard matching as the game's platform does it for folder listings.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

// "*" stands for any run of characters, "?" for exactly one, letters match
// without regard to case, and "*.*" matches every name, also one without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The pieces of a pattern list: separated by ";", else ",", else "|" (only
// the first kind found splits), each trimmed of spaces. An empty list is
// "*.*".
std::vector<std::string> SplitPatternList(const std::string& patterns);

// A pattern prepared once for many names.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);
    bool matches(std::string_view name) const;
    // `foldedName` must have gone through FoldCase already.
    bool matchesFolded(std::string_view foldedName) const;

    // A pattern of one "*" between plain ASCII ("*.big", "__*.big"), which a
    // name matches by its first and last bytes alone.
    struct Plain {
        std::string head, tail;
    };

private:
    bool everything_;
    std::vector<char32_t> pattern_;
    std::optional<Plain> plain_;
};

}  // namespace tavrel
