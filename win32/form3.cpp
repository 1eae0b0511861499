#include "win32/form3.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/accessible.h"
#include "win32/text.h"
#include "win32/widgets.h"

namespace tavrel {

Form3::Form3(HINSTANCE instance, HWND owner, WindowView& mainView, ModWindow& main, ModStore& store,
             std::function<void()> onGone)
    : FormWindow(AddOnsLayout(), instance), addOns_(*this, mainView, main, store), onGone_(std::move(onGone)) {
    createWindow(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, owner);
    if (!hwnd()) return;
    addOnList_ = controls()["lstAddOns"];
    patchList_ = controls()["lstPatches"];
}

Form3::~Form3() {
    onGone_ = nullptr;
    destroyWindow();
}

void Form3::showWindow() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    restoreFocus();
}

bool Form3::isMinimised() const { return ::IsIconic(hwnd()) != FALSE; }

void Form3::bringToFront() { showWindow(); }

void Form3::setTitle(const std::string& text) { SetControlText(controls()["lblAddOnsOf"], text); }

void Form3::setRows(std::string_view name, const std::vector<std::string>& rows, const std::vector<bool>& ticked) {
    HWND checklist = list(name);
    settingRows_ = true;
    const auto current = static_cast<int>(::SendMessageW(checklist, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    ::SendMessageW(checklist, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < rows.size(); ++row) AddCheckListRow(checklist, rows[row], ticked[row]);
    if (!rows.empty()) {
        LVITEMW item{};
        item.stateMask = item.state = LVIS_FOCUSED | LVIS_SELECTED;
        const int keep = std::clamp(current, 0, static_cast<int>(rows.size()) - 1);
        ::SendMessageW(checklist, LVM_SETITEMSTATE, static_cast<WPARAM>(keep), reinterpret_cast<LPARAM>(&item));
    }
    settingRows_ = false;
}

int Form3::selectedRow(std::string_view name) const {
    HWND checklist = list(name);
    if (checklist != lastList_) return -1;
    return static_cast<int>(::SendMessageW(checklist, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Form3::setConflicts(const std::string& text) {
    HWND line = controls()["lblConflicts"];
    SetControlText(line, text);
    AnnounceNameChange(line);
}

bool Form3::patchBoxTicked() const {
    return ::SendMessageW(const_cast<Form3*>(this)->controls()["chkPatch"], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

LRESULT Form3::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                const auto control = reinterpret_cast<HWND>(lParam);
                for (const char* name : {"cmdInstallAddOn", "cmdDeleteAddOn", "cmdClose"}) {
                    if (control == controls()[name]) addOns_.click(name);
                }
            }
            return 0;
        case WM_NOTIFY: {
            const auto* notification = reinterpret_cast<const NMHDR*>(lParam);
            if (!notification || (notification->hwndFrom != addOnList_ && notification->hwndFrom != patchList_)) break;
            if (notification->code == NM_SETFOCUS || notification->code == NM_CLICK) lastList_ = notification->hwndFrom;
            if (!settingRows_ && IsTickChange(*notification)) {
                const auto& change = reinterpret_cast<const NMLISTVIEW&>(*notification);
                const bool ticked = ((change.uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
                const char* name = notification->hwndFrom == patchList_ ? "lstPatches" : "lstAddOns";
                lastList_ = notification->hwndFrom;
                // After the list is done with its own notification.
                ::PostMessageW(hwnd(), WM_APP + 3, MAKEWPARAM(change.iItem, ticked), name[3] == 'P');
            }
            break;
        }
        case WM_APP + 3:
            addOns_.itemTicked(lParam ? "lstPatches" : "lstAddOns", LOWORD(wParam), HIWORD(wParam) != 0);
            return 0;
        case WM_CLOSE:
            addOns_.Form_Unload();
            destroyWindow();
            return 0;
        default:
            break;
    }
    return FormWindow::handle(message, wParam, lParam);
}

void Form3::destroyed() {
    const std::function<void()> gone = std::move(onGone_);
    if (gone) gone();
}

}  // namespace tavrel
