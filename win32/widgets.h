// What the Win32 front-end adds to the system's controls: a picture window
// (the banner's sunken picture box, and the icons beside the label-buttons),
// labels that act on a click, and a check box that reports a mouse
// button's release.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tavrel {

// Called with a MouseButtonCode (0 for other buttons) and the sum of the
// ShiftKeyCodes held.
using MouseUpHandler = std::function<void(int button, int shift)>;

// A picture window. It draws its bitmap at its natural size from the inner
// area's corner, or its icon scaled to the inner area, on the dialog colour.
HWND CreatePictureWindow(HINSTANCE instance, HWND parent, int id, DWORD style, DWORD exStyle);
// Each takes the picture over and deletes the one it had.
void SetPictureBitmap(HWND picture, HBITMAP bitmap);
void SetPictureIcon(HWND picture, HICON icon);
// Reports every mouse-button release that follows a press on the picture.
// A picture without one lets the mouse through to the window beneath.
void SetPictureMouseUp(HWND picture, MouseUpHandler onMouseUp);

// A static control (SS_NOTIFY) that acts on a click: a left press and
// release over it. It shows `pointer` while the mouse is over it.
void MakeLabelButton(HWND label, HCURSOR pointer, std::function<void()> onClick);

// Reports every mouse-button release over the check box, after a left
// click has flipped the tick, and a tick flipped by Space once it is.
void ReportCheckBoxMouseUp(HWND checkBox, MouseUpHandler onMouseUp, std::function<void()> onKeyToggle);

// A checklist: a list view in report view without a header, one column as
// wide as the list, whose rows each have a tick box (Space ticks the row
// that has the focus). Its parent hears of every change of a tick as
// LVN_ITEMCHANGED.
HWND CreateCheckList(HINSTANCE instance, HWND parent, int id, DWORD style, DWORD exStyle);
// Appends a row.
void AddCheckListRow(HWND list, const std::string& text, bool ticked);
void SetCheckListTick(HWND list, std::size_t row, bool ticked);
// The tick of each row, in order.
std::vector<bool> CheckListTicks(HWND list);
// The column as wide as the list's inside, after a change of size or rows.
void FitCheckListColumn(HWND list);
// True when an LVN_ITEMCHANGED notification is a change of a tick.
bool IsTickChange(const NMHDR& notification);

// Hands every key pressed in the control to `onKey` (Enter and Delete
// included, which the dialog manager would take); one it answers true for
// goes no further.
void CatchKeys(HWND control, std::function<bool(WPARAM key)> onKey);

// The mouse message's button and the keys held with it, as the handlers take them.
int MouseButtonOf(UINT message);
int ShiftKeysOf(WPARAM keyState);

}  // namespace tavrel
