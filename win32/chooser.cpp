#include "win32/chooser.h"

#include "ui/layout.h"
#include "win32/text.h"

namespace tavrel {

ArchiveChooser::ArchiveChooser(HINSTANCE instance, HWND owner, const std::vector<std::string>& rows)
    : FormWindow(ChooserLayout(), instance), blocked_(owner) {
    createWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU, owner);
    if (!hwnd()) return;
    HWND list = controls()["lstArchiveMods"];
    for (const std::string& row : rows) {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row).c_str()));
    }
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SendMessageW(controls()["cmdOK"], BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
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

std::optional<std::size_t> ArchiveChooser::run() {
    if (!hwnd()) return std::nullopt;
    RunModalLoop(done_);
    return chosen_;
}

void ArchiveChooser::answer(bool chosen) {
    if (chosen) {
        const LRESULT row = ::SendMessageW(controls()["lstArchiveMods"], LB_GETCURSEL, 0, 0);
        if (row != LB_ERR) chosen_ = static_cast<std::size_t>(row);
    }
    done_ = true;
}

LRESULT ArchiveChooser::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const FormLayout& layout = ChooserLayout();
    switch (message) {
        case WM_COMMAND: {
            // Enter and Escape come from the dialog manager as IDOK and IDCANCEL.
            const int id = LOWORD(wParam);
            if (id == IDOK || id == ControlId(layout, "cmdOK") ||
                (id == ControlId(layout, "lstArchiveMods") && HIWORD(wParam) == LBN_DBLCLK)) {
                answer(true);
            } else if (id == IDCANCEL || id == ControlId(layout, "cmdCancel")) {
                answer(false);
            }
            return 0;
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
