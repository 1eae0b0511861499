// Files dragged over a window, through OLE: the drop cursor says at once
// whether the window takes them, and a drop is handed on after the drag
// source has let go.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrel {

using DropFilter = std::function<bool(const std::vector<std::string>& paths)>;

// Makes `window` a drop target for files. `takes` decides from the dragged
// paths whether the cursor offers a copy or refuses; files taken and dropped
// reach the window as `droppedMessage` (WPARAM 0, LPARAM 0), after which
// TakeDroppedFiles gives them. False when OLE cannot be had; the window then
// gets WM_DROPFILES for every file, with no say over the cursor.
bool AcceptFileDrops(HWND window, UINT droppedMessage, DropFilter takes);

// Ends what AcceptFileDrops began; before the window is destroyed.
void StopFileDrops(HWND window);

// The paths in a drop's file list (an HDROP, CF_HDROP's block).
std::vector<std::string> DroppedPaths(HGLOBAL block);

// The files of the last drop on `window`, once.
std::vector<std::string> TakeDroppedFiles(HWND window);

}  // namespace tavrel
