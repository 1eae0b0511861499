#include "win32/form1.h"

#include <windowsx.h>

#include <shellapi.h>

#include "win32/system_library.h"

#include "win32/accessible.h"
#include "win32/chooser.h"
#include "win32/copy_progress.h"
#include "win32/dialogs.h"
#include "win32/drop_target.h"
#include "win32/form2.h"
#include "win32/form3.h"
#include "win32/message_box.h"
#include "win32/resources/resource_ids.h"
#include "win32/settings_store.h"
#include "win32/shell.h"
#include "win32/text.h"
#include "win32/widgets.h"

namespace tavrel {
namespace {

constexpr UINT kFilesDropped = WM_APP + 1;  // files taken by a drop, to be installed

// The files of a drop, whose list is then released (by shell32, loaded
// here at the first drop, not at start-up).
std::vector<std::string> DroppedFiles(HDROP drop) {
    std::vector<std::string> paths = DroppedPaths(drop);
    if (const auto finish = SystemFunction<decltype(::DragFinish)>(L"shell32.dll", "DragFinish")) finish(drop);
    return paths;
}

}  // namespace

Form1::Form1(HINSTANCE instance, SettingsStore& settings, EnvLookup env)
    : FormWindow(Form1Layout(), instance), settings_(settings), window_(*this, std::move(env)) {
    createWindow(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, nullptr);
    if (!hwnd()) return;
    // Files dragged anywhere over the window: the cursor refuses what the
    // window would not install.
    AcceptFileDrops(hwnd(), kFilesDropped,
                    [](const std::vector<std::string>& paths) { return !DroppedMod(paths).empty(); });
    connectControls();
}

Form1::~Form1() {
    tools_.reset();
    addOns_.reset();
    destroyWindow();
}

void Form1::connectControls() {
    FormControls& c = controls();
    lblZeroHour_ = c["lblZeroHour"];
    chkZHMode_ = c["chkZHMode"];
    txtGeneralsFolder_ = c["txtGeneralsFolder"];
    cmdBrowse_ = c["cmdBrowse"];
    lstMods_ = c["lstMods"];
    lblActiveMod_ = c["lblActiveMod"];
    lblTipText_ = c["lblTipText"];
    lblRestartAdmin_ = c["lblRestartAdmin"];

    MainWindowLogic& logic = window_.logic();
    ReportCheckBoxMouseUp(chkZHMode_, [&logic](int, int) { logic.chkZHMode_MouseUp(); },
                          [this] { window_.modeBoxToggledByKey(); });
    SetPictureMouseUp(c["picGenerals"], [&logic](int button, int shift) { logic.picGenerals_MouseUp(button, shift); });
}

void Form1::Form_Load(const StartWith& start) { window_.logic().Form_Load(start); }

void Form1::show(int showCommand) {
    ::ShowWindow(hwnd(), showCommand);
    ::UpdateWindow(hwnd());
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const auto control = reinterpret_cast<HWND>(lParam);
            if (!control) return 0;
            if (control == txtGeneralsFolder_ && HIWORD(wParam) == EN_CHANGE) window_.folderBoxChanged();
            if (control == cmdBrowse_ && HIWORD(wParam) == BN_CLICKED) window_.logic().cmdBrowse_Click();
            return 0;
        }
        case kFilesDropped:
            window_.filesDropped(TakeDroppedFiles(hwnd()));
            return 0;
        case WM_DROPFILES:
            // Without OLE the system's drop offers every file and folder;
            // only what makes a mod is installed.
            window_.filesDropped(DroppedFiles(reinterpret_cast<HDROP>(wParam)));
            return 0;
        case WM_CONTEXTMENU:
            // A mod's menu (the right button, the Menu key, Shift+F10): its add-ons.
            if (reinterpret_cast<HWND>(wParam) == lstMods_) {
                POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (at.x == -1 && at.y == -1) {  // from the keyboard: at the list
                    RECT list{};
                    ::GetWindowRect(lstMods_, &list);
                    at = {list.left + 8, list.top + 8};
                } else {
                    POINT inside = at;
                    ::ScreenToClient(lstMods_, &inside);
                    const LRESULT hit = ::SendMessageW(lstMods_, LB_ITEMFROMPOINT, 0, MAKELPARAM(inside.x, inside.y));
                    if (HIWORD(hit) == 0) ::SendMessageW(lstMods_, LB_SETCURSEL, LOWORD(hit), 0);
                }
                HMENU menu = ::CreatePopupMenu();
                ::AppendMenuW(menu, MF_STRING, 1, L"Add-ons...");
                const BOOL chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
                ::DestroyMenu(menu);
                if (chosen == 1) window_.click("lblAddOns");
                return 0;
            }
            return FormWindow::handle(message, wParam, lParam);
        case WM_CLOSE:
            window_.closing();
            destroyWindow();
            return 0;
        case WM_DESTROY:
            StopFileDrops(hwnd());
            ::PostQuitMessage(0);
            return 0;
        default:
            return FormWindow::handle(message, wParam, lParam);
    }
}

void Form1::showWindow() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::UpdateWindow(hwnd());
}

bool Form1::isMinimised() const { return ::IsIconic(hwnd()) != FALSE; }

void Form1::bringToFront() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    ::BringWindowToTop(hwnd());
}

std::optional<std::string> Form1::runFileDialog(const FileDialogRequest& request) {
    return RunFileDialog(hwnd(), request);
}

std::vector<std::string> Form1::runOpenFiles(const FileDialogRequest& request) {
    return RunOpenFiles(hwnd(), request);
}

std::optional<std::string> Form1::runFolderBrowser(const FolderBrowserRequest& request) {
    return RunFolderBrowser(hwnd(), request);
}

std::string Form1::folderBoxText() const { return ControlText(txtGeneralsFolder_); }

void Form1::setFolderBoxText(const std::string& text) { SetControlText(txtGeneralsFolder_, text); }

void Form1::clearListBox() { ::SendMessageW(lstMods_, LB_RESETCONTENT, 0, 0); }

void Form1::appendToListBox(const std::string& text) {
    ::SendMessageW(lstMods_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

int Form1::listBoxSelection() const {
    const LRESULT index = ::SendMessageW(lstMods_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void Form1::setActiveModLabel(const std::string& text, const std::string& spoken) {
    SetControlText(lblActiveMod_, text);
    activeModSpoken_ = spoken;
    AnnounceNameChange(lblActiveMod_);
}

void Form1::clicked(const std::string& control) { window_.click(control); }

std::string Form1::accessibleName(const Control& control) {
    return control.name == "lblActiveMod" ? activeModSpoken_ : FormWindow::accessibleName(control);
}

void Form1::setZeroHourLabelVisible(bool visible) { ::ShowWindow(lblZeroHour_, visible ? SW_SHOWNA : SW_HIDE); }

void Form1::setTipLabel(const std::string& text) {
    SetControlText(lblTipText_, text);
    AnnounceNameChange(lblTipText_);
}

void Form1::setRestartOfferVisible(bool visible) { ::ShowWindow(lblRestartAdmin_, visible ? SW_SHOWNA : SW_HIDE); }

// As the user's close does: the settings are saved, and the window goes.
void Form1::closeMainWindow() { ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

void Form1::setCaption(const std::string& text) { SetControlText(hwnd(), text); }

bool Form1::modeBoxTicked() const { return ::SendMessageW(chkZHMode_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Form1::setModeBoxTicked(bool ticked) {
    ::SendMessageW(chkZHMode_, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

Answer Form1::showMessage(const std::string& text, Buttons buttons, Icon icon) {
    return ShowMessage(hwnd(), text, buttons, icon);
}

std::optional<ArchiveChoice> Form1::showChooser(const std::vector<std::string>& rows, const std::string& name) {
    return ArchiveChooser(instance(), hwnd(), rows, name).run();
}

std::unique_ptr<CopyProgressView> Form1::showCopyProgress(const std::string& text) {
    return MakeCopyProgress(instance(), hwnd(), text);
}

std::string Form1::programFolder() const { return ProgramFolder(); }

std::string Form1::userDataFolder() const { return UserDataFolder(); }

void Form1::startTextEditor(const std::string& path, std::function<void(const std::string& error)> onFailure) {
    if (const auto error = StartNotepad(path)) onFailure(*error);
}

std::optional<std::string> Form1::readStoredSetting(const std::string& key) { return settings_.read(key); }

bool Form1::storeSetting(const std::string& key, const std::string& value) { return settings_.save(key, value); }

std::string Form1::settingsLocation() const { return settings_.location(); }

ToolsWindow* Form1::loadedToolsWindow() { return tools_ ? &tools_->tools() : nullptr; }

ToolsWindow& Form1::loadToolsWindow() {
    // A close by the user destroys the window; the object goes with it.
    tools_ = std::make_unique<Form2>(instance(), hwnd(), *this, [this] { tools_.reset(); });
    return tools_->tools();
}

void Form1::unloadToolsWindow() { tools_.reset(); }

AddOnsWindow* Form1::loadedAddOnsWindow() { return addOns_ ? &addOns_->addOns() : nullptr; }

AddOnsWindow& Form1::loadAddOnsWindow() {
    addOns_ = std::make_unique<Form3>(instance(), hwnd(), *this, window_, window_.store(), [this] { addOns_.reset(); });
    return addOns_->addOns();
}

void Form1::unloadAddOnsWindow() { addOns_.reset(); }

}  // namespace tavrel
