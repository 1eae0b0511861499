// Opens a text file in the desktop's default handler for text files
// (xdg-open) without waiting for it. A start that fails is reported through
// `onFailure`, also when the handler gives up after starting.
#pragma once

#include <functional>
#include <string>

namespace tavrel {

void OpenInTextEditor(const std::string& path, std::function<void(const std::string& error)> onFailure);

}  // namespace tavrel
