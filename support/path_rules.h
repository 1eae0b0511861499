// Path helpers that take paths apart and normalise a typed game folder.
//
// Each rule is written once with the separator as a parameter. The program
// uses the native separator; the Windows forms ("C:\", "\\server\share")
// follow the very same rules with '\\'.
#pragma once

#include <string>

#include "support/platform_native.h"

namespace tavrel {

// The name with the text from its last "." replaced by `extension` (a dot is
// put in front when missing); an empty `extension` removes the old one.
std::string FileChangeExt(const std::string& path, const std::string& extension,
                          char sep = kNativeSeparator);

// The folder a path lies in, without a trailing separator, or the path
// itself (trailing separators removed) when it already ends with one.
std::string FileGetFolder(const std::string& path, char sep = kNativeSeparator);

// The folder that holds the file or folder `path` names: everything before
// the last separator; the separator itself for a path at the root, "." for
// a bare name.
std::string ParentFolder(const std::string& path, char sep = kNativeSeparator);

// The last component of a path; empty when the path ends with a separator.
std::string FileGetName(const std::string& path, char sep = kNativeSeparator);

// Trailing separators removed (while longer than two characters) and doubled
// separators after the first two characters collapsed in one pass.
std::string FileCleanPath(const std::string& path, char sep = kNativeSeparator);

// True when `path` is `folder` or lies somewhere below it. Both are taken
// as they are: resolve links first where that matters.
bool IsInsideFolder(const std::string& folder, const std::string& path, char sep = kNativeSeparator);

// The last component of a path the user gives: on Windows, where "/"
// separates folders as well as "\\", after either.
std::string UserPathName(const std::string& path);

// `name` with every character that no Windows file name may hold (control
// characters, both separators and <>:"|?*) made "_".
std::string WithAllowedNameChars(std::string name);

// folder + separator + name.
std::string JoinPath(const std::string& folder, const std::string& name,
                     char sep = kNativeSeparator);

}  // namespace tavrel
