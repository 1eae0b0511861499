// Wildcard matching as the game's platform does it for folder listings.
#pragma once

#include <string_view>

namespace tavrel {

// "*" stands for any run of characters, "?" for exactly one, letters match
// without regard to case, and "*.*" matches every name, also one without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace tavrel
