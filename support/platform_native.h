// Plain values that differ between the systems: the path separator and the
// line end of text files. The only place besides the platform layer's own
// files that knows which system it is built for.
#pragma once

namespace tavrel {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
inline constexpr const char* kNativeLineEnd = "\r\n";
#else
inline constexpr char kNativeSeparator = '/';
inline constexpr const char* kNativeLineEnd = "\n";
#endif

}  // namespace tavrel
