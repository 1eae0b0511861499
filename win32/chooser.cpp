#include "win32/chooser.h"

#include <commctrl.h>

#include "ui/archive_chooser.h"
#include "ui/layout.h"
#include "win32/text.h"
#include "win32/widgets.h"

namespace tavrel {

ArchiveChooser::ArchiveChooser(HINSTANCE instance, HWND owner, const std::vector<std::string>& rows,
                               const std::string& name)
    : FormWindow(ChooserLayout(), instance), blocked_(owner) {
    createWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, owner);
    if (!hwnd()) return;
    HWND list = controls()["lstArchiveMods"];
    for (const std::string& row : rows) AddCheckListRow(list, row, true);
    // The first row has the keyboard's mark, for Space.
    LVITEMW first{};
    first.stateMask = first.state = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    SetControlText(controls()["txtModName"], name);
    ::SendMessageW(controls()["cmdOK"], BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    judge();
    RECT ownerRect{}, own{};
    ::GetWindowRect(owner, &ownerRect);
    ::GetWindowRect(hwnd(), &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    ::SetWindowPos(hwnd(), nullptr, (ownerRect.left + ownerRect.right - width) / 2,
                   (ownerRect.top + ownerRect.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetFocus(list);
}

ArchiveChooser::~ArchiveChooser() {
    blocked_.release();
    destroyWindow();
}

std::optional<ArchiveChoice> ArchiveChooser::run() {
    if (!hwnd()) return std::nullopt;
    RunModalLoop(done_);
    return chosen_;
}

bool ArchiveChooser::judge() {
    const bool accepts = ChooserAccepts(CheckListTicks(controls()["lstArchiveMods"]),
                                        ControlText(controls()["txtModName"]));
    ::EnableWindow(controls()["cmdOK"], accepts);
    return accepts;
}

void ArchiveChooser::answer(bool chosen) {
    // OK answers only what it may take, by the mouse or by Enter alike.
    if (chosen && !judge()) return;
    if (chosen) {
        ArchiveChoice choice;
        const std::vector<bool> ticks = CheckListTicks(controls()["lstArchiveMods"]);
        for (std::size_t row = 0; row < ticks.size(); ++row) {
            if (ticks[row]) choice.ticked.push_back(row);
        }
        choice.name = ControlText(controls()["txtModName"]);
        chosen_ = std::move(choice);
    }
    done_ = true;
}

LRESULT ArchiveChooser::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const FormLayout& layout = ChooserLayout();
    switch (message) {
        case WM_COMMAND: {
            // Enter and Escape come from the dialog manager as IDOK and IDCANCEL.
            const int id = LOWORD(wParam);
            if (id == IDOK || id == ControlId(layout, "cmdOK")) {
                answer(true);
            } else if (id == IDCANCEL || id == ControlId(layout, "cmdCancel")) {
                answer(false);
            } else if (id == ControlId(layout, "txtModName") && HIWORD(wParam) == EN_CHANGE) {
                judge();
            }
            return 0;
        }
        case WM_NOTIFY: {
            const auto* notification = reinterpret_cast<const NMHDR*>(lParam);
            if (notification && notification->hwndFrom == controls()["lstArchiveMods"] && IsTickChange(*notification)) {
                judge();
            }
            break;
        }
        case WM_CLOSE:
            answer(false);
            return 0;
        default:
            break;
    }
    return FormWindow::handle(message, wParam, lParam);
}

}  // namespace tavrel
