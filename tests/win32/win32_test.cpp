// The Win32 front-end under Wine: the layout's stacking and colours, the
// message box and dialog mappings, the settings store, the copy progress,
// and the windows driven through their messages.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "ui/main_window_logic.h"
#include "win32/chooser.h"
#include "win32/copy_progress.h"
#include "win32/dialogs.h"
#include "win32/dpi.h"
#include "win32/form1.h"
#include "win32/form2.h"
#include "win32/form_builder.h"
#include "win32/message_box.h"
#include "win32/picture.h"
#include "win32/resources/resource_ids.h"
#include "win32/settings_store.h"
#include "win32/shell.h"
#include "win32/text.h"
#include "win32/widgets.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

std::size_t Position(const std::vector<std::size_t>& order, std::size_t index) {
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), index) - order.begin());
}

bool Overlap(const Control& a, const Control& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// Every container's stacking holds each control once, keeps the tab order
// and lays a later control above an earlier one it overlaps.
void ExpectStackingKeepsTheRules(const FormLayout& layout) {
    std::vector<std::string> containers{""};
    for (const Control& c : layout.controls) {
        if (!c.container.empty()) containers.push_back(c.container);
    }
    for (const std::string& container : containers) {
        const auto order = StackingOrder(layout, container);
        std::vector<std::size_t> group;
        for (std::size_t i = 0; i < layout.controls.size(); ++i) {
            if (layout.controls[i].container == container) group.push_back(i);
        }
        auto sorted = order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, group) << layout.name << " " << container;
        for (std::size_t a : group) {
            for (std::size_t b : group) {
                const Control &ca = layout.controls[a], &cb = layout.controls[b];
                if (ca.tabIndex >= 0 && cb.tabIndex >= 0 && ca.tabIndex < cb.tabIndex) {
                    EXPECT_LT(Position(order, a), Position(order, b)) << ca.name << " tabs before " << cb.name;
                }
                if (a < b && Overlap(ca, cb)) {
                    EXPECT_LT(Position(order, b), Position(order, a)) << cb.name << " lies on " << ca.name;
                }
            }
        }
    }
}

TEST(Stacking, KeepsTabOrderAndOverlapInBothWindows) {
    ExpectStackingKeepsTheRules(Form1Layout());
    ExpectStackingKeepsTheRules(Form2Layout());
}

TEST(Stacking, PutsTheToolsButtonsAndNoteAboveTheDescription) {
    const FormLayout& form = Form2Layout();
    const auto order = StackingOrder(form, "");
    const auto index = [&](std::string_view name) {
        for (std::size_t i = 0; i < form.controls.size(); ++i) {
            if (form.controls[i].name == name) return i;
        }
        return form.controls.size();
    };
    for (const char* upper : {"Command1", "Command2", "Label3"}) {
        EXPECT_LT(Position(order, index(upper)), Position(order, index("Label1"))) << upper;
    }
    // Enable (tab index 0) comes before Disable (1) although it is made later.
    EXPECT_LT(Position(order, index("Command1")), Position(order, index("Command2")));
}

TEST(Stacking, TabOrderWinsWhereTheRulesContradict) {
    FormLayout form{"Test", "", 1000, 1000, {}, {}};
    Control first;
    first.name = "first";
    first.width = first.height = 100;
    first.tabIndex = 0;
    Control second = first;
    second.name = "second";
    second.left = 50;
    second.tabIndex = 1;  // must lie below "first" for Tab, above it for the overlap
    form.controls = {first, second};
    const auto order = StackingOrder(form, "");
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], 0u);
    EXPECT_EQ(order[1], 1u);
}

std::size_t IndexIn(const FormLayout& form, std::string_view name) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        if (form.controls[i].name == name) return i;
    }
    ADD_FAILURE() << "no " << name;
    return 0;
}

TEST(Backgrounds, FollowTheLayout) {
    const FormLayout& f1 = Form1Layout();
    const FormLayout& f2 = Form2Layout();
    const Background tip = BackgroundOf(f1, IndexIn(f1, "lblTipText"));
    EXPECT_EQ(tip.kind, Background::Solid);
    EXPECT_EQ(tip.colour, (Colour{0, 0, 0}));
    EXPECT_EQ(BackgroundOf(f1, IndexIn(f1, "Label8")).kind, Background::Transparent);
    EXPECT_EQ(BackgroundOf(f1, IndexIn(f1, "lblZeroHour")).kind, Background::Transparent);
    EXPECT_EQ(BackgroundOf(f1, IndexIn(f1, "lblFormLabel0")).kind, Background::System);
    EXPECT_EQ(BackgroundOf(f1, IndexIn(f1, "lstMods")).kind, Background::System);
    // The grey note lies on the white description and shows its white.
    const Background note = BackgroundOf(f2, IndexIn(f2, "Label3"));
    EXPECT_EQ(note.kind, Background::Solid);
    EXPECT_EQ(note.colour, (Colour{255, 255, 255}));
    EXPECT_EQ(BackgroundOf(f2, IndexIn(f2, "Label2")).kind, Background::System);
}

TEST(MessageBoxes, StylesForButtonsAndIcons) {
    EXPECT_EQ(MessageBoxStyle(Buttons::Ok, Icon::Critical), UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(MessageBoxStyle(Buttons::OkCancel, Icon::Exclamation), UINT(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(MessageBoxStyle(Buttons::YesNo, Icon::Question), UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(MessageBoxStyle(Buttons::Ok, Icon::Information), UINT(MB_OK | MB_ICONINFORMATION));
}

TEST(MessageBoxes, AnswersOfTheResults) {
    EXPECT_EQ(AnswerOf(IDYES, Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(AnswerOf(IDNO, Buttons::YesNo), Answer::No);
    EXPECT_EQ(AnswerOf(IDOK, Buttons::OkCancel), Answer::Ok);
    EXPECT_EQ(AnswerOf(IDCANCEL, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(AnswerOf(IDOK, Buttons::Ok), Answer::Ok);
    // A failed box, or an answer the box had no button for: the escape answer.
    EXPECT_EQ(AnswerOf(0, Buttons::YesNo), Answer::No);
    EXPECT_EQ(AnswerOf(IDCANCEL, Buttons::YesNo), Answer::No);
    EXPECT_EQ(AnswerOf(IDYES, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(AnswerOf(IDCANCEL, Buttons::Ok), Answer::Ok);
}

TEST(FileDialog, FilterPairsEndInTwoNuls) {
    using namespace std::string_literals;
    const std::wstring filter = FilterString({{"Generals MOD Files (*.big)", "*.big"}, {"Alle Dateien", "*.*;*.bit"}});
    EXPECT_EQ(filter, L"Generals MOD Files (*.big)\0*.big\0Alle Dateien\0*.*;*.bit\0\0"s);
    EXPECT_EQ(FilterString({}), L"\0"s);
}

TEST(Text, Utf8AndUtf16RoundTrip) {
    const std::string text = "Z\xC3\xA9ro \xE8\xAA\x9E \xF0\x9F\x98\x80";
    EXPECT_EQ(Wide(text), std::wstring(L"Z\u00e9ro \u8a9e \U0001F600"));
    EXPECT_EQ(Utf8(Wide(text)), text);
    EXPECT_EQ(Wide("a\xFF" "b"), std::wstring(L"a\uFFFDb"));
    EXPECT_EQ(Utf8(L""), "");
}

TEST(Text, SystemErrorTextHasNoLineEnd) {
    const std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
}

// A registry key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class TestKey {
public:
    TestKey() : subKey_(L"Software\\Tavrel tests\\" + std::to_wstring(::GetCurrentProcessId())) {}
    ~TestKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str()); }
    const std::wstring& subKey() const { return subKey_; }

private:
    std::wstring subKey_;
};

TEST(Settings, StoresTextValuesUnderTheKey) {
    TestKey key;
    SettingsStore store(key.subKey());
    EXPECT_EQ(store.read("path"), std::nullopt);
    ASSERT_TRUE(store.save("path", "C:\\Games\\G\xC3\xA9n\xC3\xA9rals"));
    ASSERT_TRUE(store.save("zhmode", "1"));
    EXPECT_EQ(store.read("path"), "C:\\Games\\G\xC3\xA9n\xC3\xA9rals");
    EXPECT_EQ(store.read("zhmode"), "1");
    ASSERT_TRUE(store.save("path", ""));
    EXPECT_EQ(store.read("path"), "");

    DWORD type = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, key.subKey().c_str(), L"zhmode", RRF_RT_ANY, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(store.location(), "HKEY_CURRENT_USER\\" + Utf8(key.subKey()));
}

TEST(Settings, ANumberIsNotText) {
    TestKey key;
    const DWORD number = 1;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.subKey().c_str(), L"zhmode", REG_DWORD, &number, sizeof number),
              ERROR_SUCCESS);
    EXPECT_EQ(SettingsStore(key.subKey()).read("zhmode"), std::nullopt);
}

TEST(Settings, TheProgramsKey) {
    EXPECT_EQ(SettingsStore().location(), "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\TVL\\Settings");
}

TEST(Folders, ProgramAndUserData) {
    EXPECT_TRUE(fs::exists(fs::path(Wide(ProgramFolder())) / L"win32_tests.exe"));
    const std::string data = UserDataFolder();
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(data, Utf8(local) + "\\TVL");
}

TEST(Resources, PointerHasItsHotSpotAtTheFingertip) {
    HCURSOR pointer = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_POINTER));
    ASSERT_NE(pointer, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(pointer, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 1u);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

TEST(Resources, BannerDecodesAndScales) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HBITMAP natural = LoadPicture(instance, IDR_BANNER, 96);
    ASSERT_NE(natural, nullptr);
    EXPECT_EQ(BitmapSize(natural).cx, 342);
    EXPECT_EQ(BitmapSize(natural).cy, 112);
    HBITMAP doubled = LoadPicture(instance, IDR_BANNER, 192);
    ASSERT_NE(doubled, nullptr);
    EXPECT_EQ(BitmapSize(doubled).cx, 684);
    EXPECT_EQ(BitmapSize(doubled).cy, 224);
    EXPECT_EQ(LoadPicture(instance, IDI_TAVREL, 96), nullptr);  // no such picture
    ::DeleteObject(natural);
    ::DeleteObject(doubled);
    ::CoUninitialize();
}

// A top-level window to own what a test makes; nothing when the system
// makes no windows (no display).
HWND MakeOwner() {
    return ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

RECT ClientOf(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return r;
}

TEST(CopyProgress, BlocksTheOwnerAndCancels) {
    HWND owner = MakeOwner();
    if (!owner) GTEST_SKIP() << "no windows here";
    auto progress = MakeCopyProgress(::GetModuleHandleW(nullptr), owner, "Installing x.big...");
    EXPECT_FALSE(::IsWindowEnabled(owner));
    HWND window = ::FindWindowW(L"TavrelCopyProgress", L"Tavrel");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), owner);
    HWND bar = ::FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr);
    ASSERT_NE(bar, nullptr);

    EXPECT_TRUE(progress->update(1, 4));
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 250);
    EXPECT_TRUE(progress->update(0, 0));  // nothing to copy is all of it
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 1000);

    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);  // as Cancel and Escape send it
    EXPECT_FALSE(progress->update(2, 4));
    EXPECT_FALSE(progress->update(3, 4));
    progress.reset();
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_FALSE(::IsWindow(window));
    ::DestroyWindow(owner);
}

// The checklist of a mod's archives, modal over its owner: every row ticked
// and the name box filled at first; Space ticks the row with the focus; OK
// (or Enter) answers the ticks and the name only while a row is ticked and
// there is a name; the close box answers nothing; the owner takes input
// again.
TEST(ArchiveChooser, AnswersTheTicksAndTheName) {
    HWND owner = MakeOwner();
    if (!owner) GTEST_SKIP() << "no windows here";
    const FormLayout& layout = ChooserLayout();
    const auto post = [](HWND window, int id) { ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
    const int ok = ControlId(layout, "cmdOK");
    const struct {
        const char* what;
        std::function<void(HWND list, HWND name, HWND ok)> change;
        std::function<void(HWND)> answer;
        std::optional<ArchiveChoice> chosen;
    } rows[] = {
        // Each window takes Wine two seconds to go without a window manager.
        {"Space unticks the row with the focus",
         [](HWND list, HWND, HWND) {
             ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
             ::SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
         },
         [&](HWND w) { post(w, ok); }, ArchiveChoice{{1}, "Mod Pack"}},
        {"nothing ticked: OK is off and Enter does nothing",
         [](HWND list, HWND, HWND okButton) {
             SetCheckListTick(list, 0, false);
             SetCheckListTick(list, 1, false);
             EXPECT_FALSE(::IsWindowEnabled(okButton));
         },
         [&](HWND w) {
             post(w, IDOK);
             ::PostMessageW(w, WM_CLOSE, 0, 0);
         },
         std::nullopt},
        {"no name: OK is off until one is typed",
         [](HWND, HWND name, HWND okButton) {
             SetControlText(name, "");
             EXPECT_FALSE(::IsWindowEnabled(okButton));
             SetControlText(name, " Storm Wave");
             EXPECT_TRUE(::IsWindowEnabled(okButton));
         },
         [&](HWND w) { post(w, IDOK); }, ArchiveChoice{{0, 1}, " Storm Wave"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ArchiveChooser chooser(::GetModuleHandleW(nullptr), owner, {"Blue.big (50.0 KB)", "Storm.big (100 KB)"},
                               "Mod Pack");
        ASSERT_NE(chooser.hwnd(), nullptr);
        EXPECT_FALSE(::IsWindowEnabled(owner));
        EXPECT_EQ(ControlText(chooser.hwnd()), "Select Generals MOD....");
        HWND list = ::GetDlgItem(chooser.hwnd(), ControlId(layout, "lstArchiveMods"));
        HWND name = ::GetDlgItem(chooser.hwnd(), ControlId(layout, "txtModName"));
        HWND okButton = ::GetDlgItem(chooser.hwnd(), ok);
        EXPECT_EQ(::GetFocus(), list);
        EXPECT_TRUE(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
        EXPECT_EQ(CheckListTicks(list), (std::vector<bool>{true, true}));
        // The one column fills the list: the rows show their whole text.
        EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), ClientOf(list).right);
        EXPECT_EQ(ControlText(name), "Mod Pack");
        EXPECT_TRUE(::IsWindowEnabled(okButton));
        r.change(list, name, okButton);
        r.answer(chooser.hwnd());
        const std::optional<ArchiveChoice> chosen = chooser.run();
        ASSERT_EQ(chosen.has_value(), r.chosen.has_value());
        if (chosen) {
            EXPECT_EQ(chosen->ticked, r.chosen->ticked);
            EXPECT_EQ(chosen->name, r.chosen->name);
        }
    }
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

TEST(FileDialog, PicksOfSeveralFiles) {
    using namespace std::string_literals;
    const struct {
        std::wstring buffer;
        std::vector<std::string> paths;
    } rows[] = {
        {L"C:\\Mods\\Storm.zip\0\0"s, {"C:\\Mods\\Storm.zip"}},  // one file: its whole path
        {L"C:\\Mods\0Blue.big\0Storm.gib\0\0"s, {"C:\\Mods\\Blue.big", "C:\\Mods\\Storm.gib"}},
        {L"C:\\\0Blue.big\0St\u00fcrm.big\0\0"s, {"C:\\Blue.big", "C:\\St\xC3\xBCrm.big"}},
        {L"\0\0"s, {}},
    };
    for (const auto& r : rows) EXPECT_EQ(PickedPaths(r.buffer), r.paths) << Utf8(r.buffer);
}

TEST(CopyProgress, QuittingCancelsAndTheQuitStays) {
    HWND owner = MakeOwner();
    if (!owner) GTEST_SKIP() << "no windows here";
    auto progress = MakeCopyProgress(::GetModuleHandleW(nullptr), owner, "Installing x.big...");
    ::PostQuitMessage(7);
    EXPECT_FALSE(progress->update(1, 2));
    progress.reset();
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    ::DestroyWindow(owner);
}

TEST(Widgets, CheckBoxReportsReleasesAndSpaceAfterTheTick) {
    HWND owner = MakeOwner();
    if (!owner) GTEST_SKIP() << "no windows here";
    HWND box = ::CreateWindowExW(0, L"BUTTON", L"Zero Hour Mode", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 120,
                                 20, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    std::vector<std::pair<int, bool>> reports;  // button (0: Space), tick at the report
    const auto tick = [&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    ReportCheckBoxMouseUp(
        box, [&](int button, int) { reports.emplace_back(button, tick()); }, [&] { reports.emplace_back(0, tick()); });
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_pair(int(kLeftButton), true));

    ::SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(box, WM_KEYUP, VK_SPACE, 0);
    ASSERT_EQ(reports.size(), 2u);  // Space too, once the tick has moved
    EXPECT_EQ(reports[1], std::make_pair(0, false));

    ::SendMessageW(box, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    ::SendMessageW(box, WM_RBUTTONUP, 0, MAKELPARAM(500, 5));  // outside
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2], std::make_pair(int(kRightButton), false));
    ::DestroyWindow(owner);
}

TEST(Widgets, ShiftKeysOfTheMouseMessage) {
    EXPECT_EQ(ShiftKeysOf(MK_SHIFT) & (kShiftKey | kCtrlKey), kShiftKey);
    EXPECT_EQ(ShiftKeysOf(MK_SHIFT | MK_CONTROL) & (kShiftKey | kCtrlKey), kShiftKey | kCtrlKey);
    EXPECT_EQ(ShiftKeysOf(0) & (kShiftKey | kCtrlKey), 0);
    EXPECT_EQ(MouseButtonOf(WM_RBUTTONUP), kRightButton);
    EXPECT_EQ(MouseButtonOf(WM_MBUTTONUP), kMiddleButton);
    EXPECT_EQ(MouseButtonOf(WM_XBUTTONUP), 0);
}

class NoWindow : public WindowView {
public:
    void showWindow() override {}
    bool isMinimised() const override { return false; }
    void bringToFront() override { ++broughtBack; }
    int broughtBack = 0;
};

TEST(Form2Window, FollowsTheResolution) {
    NoWindow main;
    HWND owner = MakeOwner();
    if (!owner) GTEST_SKIP() << "no windows here";
    bool gone = false;
    auto tools = std::make_unique<Form2>(::GetModuleHandleW(nullptr), owner, main, [&] { gone = true; });
    HWND window = tools->hwnd();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), owner);
    EXPECT_EQ(ControlText(window), "Tools...");
    const FormLayout& layout = Form2Layout();
    HWND enable = ::GetDlgItem(window, ControlId(layout, "Command1"));
    const int dpi = WindowDpi(window);
    EXPECT_EQ(ClientOf(window).right, TwipsToPixels(layout.width, dpi));
    EXPECT_EQ(ClientOf(window).bottom, TwipsToPixels(layout.height, dpi));
    EXPECT_EQ(ClientOf(enable).right, TwipsToPixels(1095, dpi));

    // The window is sized for the new resolution's frame as well, which only
    // the system's own change of resolution gives it.
    RECT suggested{10, 20, 600, 400};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const SIZE size =
        WindowSizeFor(TwipsToPixels(layout.width, 192), TwipsToPixels(layout.height, 192), style, exStyle, 192);
    RECT placed{};
    ::GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right - placed.left, size.cx);
    EXPECT_EQ(placed.bottom - placed.top, size.cy);
    RECT enableRect{};
    ::GetWindowRect(enable, &enableRect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&enableRect), 2);
    EXPECT_EQ(enableRect.left, TwipsToPixels(1260, 192));
    EXPECT_EQ(enableRect.top, TwipsToPixels(1035, 192));
    EXPECT_EQ(ClientOf(enable).right, TwipsToPixels(1095, 192));
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(enable, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -22);  // 8.25 points at 192 dots per inch

    // A close by the user brings the main window back, then the window goes.
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(main.broughtBack, 1);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(::IsWindow(window));
    tools.reset();
    ::DestroyWindow(owner);
}

TEST(Form2Window, UnloadingIsNoClose) {
    NoWindow main;
    HWND owner = MakeOwner();
    if (!owner) GTEST_SKIP() << "no windows here";
    bool gone = false;
    auto tools = std::make_unique<Form2>(::GetModuleHandleW(nullptr), owner, main, [&] { gone = true; });
    HWND window = tools->hwnd();
    tools.reset();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(gone);
    EXPECT_EQ(main.broughtBack, 0);
    ::DestroyWindow(owner);
}

// A game folder with an inactive and an active mod.
fs::path MakeGameFolder(const std::wstring& name, const std::string& inactive, const std::string& active) {
    const fs::path folder = fs::temp_directory_path() / (name + std::to_wstring(::GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / Wide(inactive + ".bit")) << "mod";
    std::ofstream(folder / Wide(active + ".big")) << "mod";
    return folder;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        first_ = MakeGameFolder(L"tavrel first ", "__Alpha", "__Bravo");
        second_ = MakeGameFolder(L"tavrel second ", "__Charlie", "__Delta");
        store_.save("zhmode", "0");
        store_.save("path", Utf8(first_.wstring()));
    }
    void TearDown() override {
        fs::remove_all(first_);
        fs::remove_all(second_);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}  // WM_QUIT of a closed window
    }

    HWND item(const Form1& form, std::string_view name) const {
        return ::GetDlgItem(form.hwnd(), ControlId(Form1Layout(), name));
    }
    std::vector<std::string> listed(const Form1& form) const {
        HWND list = item(form, "lstMods");
        std::vector<std::string> out;
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            out.push_back(Utf8(text));
        }
        return out;
    }

    TestKey key_;
    SettingsStore store_{key_.subKey()};
    fs::path first_, second_;
    EnvLookup noEnvironment_ = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
};

TEST_F(MainWindowTest, LoadsTheStoredFolderAndFollowsTheFolderBox) {
    Form1 form(::GetModuleHandleW(nullptr), store_, noEnvironment_);
    if (!form.hwnd()) GTEST_SKIP() << "no windows here";
    form.Form_Load();
    EXPECT_EQ(ControlText(form.hwnd()), WindowCaption());
    EXPECT_EQ(listed(form), std::vector<std::string>{"__Alpha"});
    EXPECT_EQ(ControlText(item(form, "lblActiveMod")), "__Bravo");
    EXPECT_EQ(ControlText(item(form, "txtGeneralsFolder")), Utf8(first_.wstring()));

    // Typed into the box: the list follows and the folder is saved.
    SetControlText(item(form, "txtGeneralsFolder"), Utf8(second_.wstring()));
    EXPECT_EQ(listed(form), std::vector<std::string>{"__Charlie"});
    EXPECT_EQ(ControlText(item(form, "lblActiveMod")), "__Delta");
    EXPECT_EQ(store_.read("path"), Utf8(second_.wstring()));

    // The program setting the text it already has changes nothing.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.subKey().c_str(), L"path");
    form.window().setFolderText(Utf8(second_.wstring()));
    EXPECT_EQ(store_.read("path"), std::nullopt);
    form.window().setFolderText(Utf8(first_.wstring()));
    EXPECT_EQ(store_.read("path"), Utf8(first_.wstring()));
    EXPECT_EQ(listed(form), std::vector<std::string>{"__Alpha"});

    // Closing saves the folder and the mode, and ends the program.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.subKey().c_str(), L"path");
    ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.hwnd(), nullptr);
    EXPECT_EQ(store_.read("path"), Utf8(first_.wstring()));
    EXPECT_EQ(store_.read("zhmode"), "0");
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowTest, LabelButtonsActOnAClickOverThem) {
    Form1 form(::GetModuleHandleW(nullptr), store_, noEnvironment_);
    if (!form.hwnd()) GTEST_SKIP() << "no windows here";
    form.Form_Load();
    HWND tip = item(form, "lblTipText");
    HWND next = item(form, "lblNextTip");
    EXPECT_EQ(ControlText(tip), kTipWarning);
    ::SendMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));  // a release alone is no click
    EXPECT_EQ(ControlText(tip), kTipWarning);
    ::SendMessageW(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ControlText(tip), TipText(1, 0));
    ::SendMessageW(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(-30, 5));  // released elsewhere
    EXPECT_EQ(ControlText(tip), TipText(1, 0));
    ::SendMessageW(next, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));  // the second of two quick clicks
    ::SendMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ControlText(tip), TipText(2, 0));

    // Over a label-button the pointer is the program's hand.
    ::SendMessageW(next, WM_SETCURSOR, reinterpret_cast<WPARAM>(next), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_POINTER)));
    ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
}

TEST_F(MainWindowTest, ShiftRightClickOnTheBannerOpensOneToolsWindow) {
    Form1 form(::GetModuleHandleW(nullptr), store_, noEnvironment_);
    if (!form.hwnd()) GTEST_SKIP() << "no windows here";
    form.Form_Load();
    HWND banner = item(form, "picGenerals");
    const auto rightClick = [&](WPARAM keys) {
        ::SendMessageW(banner, WM_RBUTTONDOWN, MK_RBUTTON | keys, MAKELPARAM(20, 20));
        ::SendMessageW(banner, WM_RBUTTONUP, keys, MAKELPARAM(20, 20));
    };
    rightClick(0);
    EXPECT_EQ(form.loadedToolsWindow(), nullptr);
    rightClick(MK_SHIFT);
    ToolsWindow* tools = form.loadedToolsWindow();
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->GeneralsFolder, Utf8(first_.wstring()));
    HWND window = ::FindWindowW(L"TavrelForm", L"Tools...");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), form.hwnd());
    EXPECT_TRUE(::IsWindowVisible(window));

    rightClick(MK_SHIFT);
    EXPECT_EQ(form.loadedToolsWindow(), tools);
    EXPECT_EQ(::FindWindowExW(nullptr, window, L"TavrelForm", L"Tools..."), nullptr);

    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(form.loadedToolsWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(window));

    // Closing the main window takes a loaded Tools window with it.
    rightClick(MK_SHIFT);
    window = ::FindWindowW(L"TavrelForm", L"Tools...");
    ASSERT_NE(window, nullptr);
    ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
}  // namespace tavrel
