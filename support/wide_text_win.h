// UTF-8 inside the program, UTF-16 towards Windows.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// Bytes that are not valid UTF-8 become U+FFFD.
std::wstring Wide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf8(std::wstring_view wide);

}  // namespace tavrel
