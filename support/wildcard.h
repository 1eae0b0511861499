// Wildcard matching as the game's platform does it for folder listings.
#pragma once

#include <string_view>
#include <vector>

namespace tavrel {

// "*" stands for any run of characters, "?" for exactly one, letters match
// without regard to case, and "*.*" matches every name, also one without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// A pattern prepared once for many names.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);
    bool matches(std::string_view name) const;
    // `foldedName` must have gone through FoldCase already.
    bool matchesFolded(std::string_view foldedName) const;

private:
    bool everything_;
    std::vector<char32_t> pattern_;
};

}  // namespace tavrel
