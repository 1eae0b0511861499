// What the main window decides on top of a front-end's widgets, against a
// scripted set of widgets on real folders.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "temp_folder.h"
#include "ui/archive_chooser.h"
#include "ui/main_window.h"

namespace tavrel {
namespace {

using test::Native;
using test::BigBytes;
using test::ReadAll;
using test::TempFolder;
using Strings = std::vector<std::string>;

class FakeTools : public ToolsWindowView {
public:
    explicit FakeTools(WindowView& main) : tools(*this, main) {}
    void showWindow() override { ++shown; }
    bool isMinimised() const override { return false; }
    void bringToFront() override {}
    void closeWindow() override {}
    Answer message(const std::string& text, Buttons, Icon) override {
        messages.push_back(text);
        return Answer::Ok;
    }
    ToolsWindow tools;
    int shown = 0;
    Strings messages;
};

// The Add-ons window's widgets: each list's rows and ticks as last shown.
class FakeAddOns : public AddOnsWindowView {
public:
    FakeAddOns(WindowView& mainView, ModWindow& main, ModStore& store) : addOns(*this, mainView, main, store) {}
    void showWindow() override { ++shown; }
    bool isMinimised() const override { return false; }
    void bringToFront() override {}
    void closeWindow() override {}
    void setTitle(const std::string& text) override { title = text; }
    void setRows(std::string_view list, const Strings& texts, const std::vector<bool>& ticks) override {
        rows[std::string(list)] = texts;
        ticked[std::string(list)] = ticks;
    }
    int selectedRow(std::string_view list) const override { return list == current.first ? current.second : -1; }
    void setConflicts(const std::string& text) override { conflicts = text; }
    bool patchBoxTicked() const override { return asPatch; }
    AddOnsWindow addOns;
    int shown = 0;
    std::string title, conflicts;
    std::map<std::string, Strings> rows;
    std::map<std::string, std::vector<bool>> ticked;
    std::pair<std::string, int> current{"", -1};
    bool asPatch = false;
};

// Widgets that remember what they were told, and a log of the calls that
// matter for their order.
class FakeView : public MainWindowView {
public:
    MainWindow* window = nullptr;  // to raise the folder box's change event
    std::string box;
    Strings listBox, log, shownMessages;
    std::deque<Answer> answers;
    int selection = -1;
    bool minimised = false;
    bool settingsWork = true;
    std::map<std::string, std::string> stored;
    std::function<void(const std::string&)> editorFailure;
    std::unique_ptr<FakeTools> loadedTools;
    int toolsLoads = 0;

    // The user types the whole text into the box.
    void type(const std::string& text) {
        box = text;
        window->folderBoxChanged();
    }

    void showWindow() override {}
    bool isMinimised() const override { return minimised; }
    void bringToFront() override { log.push_back("bring to front"); }
    std::optional<std::string> runFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> runFolderBrowser(const FolderBrowserRequest&) override { return std::nullopt; }
    std::string folderBoxText() const override { return box; }
    // Like some toolkits' text boxes, reports a change for any text set.
    void setFolderBoxText(const std::string& text) override {
        box = text;
        ++boxWrites;
        window->folderBoxChanged();
    }
    int boxWrites = 0;
    void clearListBox() override { listBox.clear(); }
    void appendToListBox(const std::string& text) override { listBox.push_back(text); }
    int listBoxSelection() const override { return selection; }
    void setActiveModLabel(const std::string&, const std::string& spoken) override { activeSpoken = spoken; }
    std::string activeSpoken;
    void setZeroHourLabelVisible(bool) override {}
    void setTipLabel(const std::string&) override {}
    void setRestartOfferVisible(bool) override {}
    void closeMainWindow() override {}
    void setCaption(const std::string&) override {}
    bool modeBoxTicked() const override { return false; }
    void setModeBoxTicked(bool) override {}
    Answer showMessage(const std::string& text, Buttons, Icon) override {
        shownMessages.push_back(text);
        if (answers.empty()) return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::unique_ptr<CopyProgressView> showCopyProgress(const std::string&) override {
        struct Steady : CopyProgressView {
            bool update(std::uint64_t, std::uint64_t) override { return true; }
        };
        return std::make_unique<Steady>();
    }
    // The archive checklist: the rows and name it showed, and the user's answer.
    std::vector<std::string> chooserRows;
    std::string chooserName;
    std::optional<ArchiveChoice> chooserAnswer;
    std::optional<ArchiveChoice> showChooser(const std::vector<std::string>& rows, const std::string& name) override {
        chooserRows = rows;
        chooserName = name;
        return chooserAnswer;
    }
    std::string programFolder() const override { return "/nowhere"; }
    std::string userDataFolder() const override { return "/nowhere"; }
    void startTextEditor(const std::string&, std::function<void(const std::string&)> onFailure) override {
        editorFailure = std::move(onFailure);
    }
    std::optional<std::string> readStoredSetting(const std::string& key) override {
        const auto it = stored.find(key);
        return it == stored.end() ? std::nullopt : std::optional(it->second);
    }
    bool storeSetting(const std::string& key, const std::string& value) override {
        log.push_back("save " + key);
        if (settingsWork) stored[key] = value;
        return settingsWork;
    }
    std::string settingsLocation() const override { return "/config/TVL/TVL.conf"; }
    ToolsWindow* loadedToolsWindow() override { return loadedTools ? &loadedTools->tools : nullptr; }
    ToolsWindow& loadToolsWindow() override {
        ++toolsLoads;
        loadedTools = std::make_unique<FakeTools>(*this);
        return loadedTools->tools;
    }
    void unloadToolsWindow() override {
        if (loadedTools) log.push_back("unload tools");
        loadedTools.reset();
    }
    std::unique_ptr<FakeAddOns> loadedAddOns;
    AddOnsWindow* loadedAddOnsWindow() override { return loadedAddOns ? &loadedAddOns->addOns : nullptr; }
    AddOnsWindow& loadAddOnsWindow() override {
        loadedAddOns = std::make_unique<FakeAddOns>(*this, *window, window->store());
        return loadedAddOns->addOns;
    }
    void unloadAddOnsWindow() override {
        if (loadedAddOns) log.push_back("unload add-ons");
        loadedAddOns.reset();
    }
    Strings openFilesChosen;
    std::vector<std::string> runOpenFiles(const FileDialogRequest&) override { return openFilesChosen; }
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { view.window = &window; }
    TempFolder t;
    FakeView view;
    MainWindow window{view, [](const std::string&) { return std::optional<std::string>(); }};
};

// A drop installs one mod: a .big, an archive, a folder or several .big
// files; the drag of anything else is refused and a drop of it does nothing.
TEST_F(MainWindowTest, ADropTakesOneModOnly) {
    const std::string storm = t / "Storm.big";
    const struct {
        Strings paths;
        bool taken;
    } rows[] = {
        {{storm}, true},
        {{t / "Storm.v2.BiG"}, true},
        {{t / "Storm.zip"}, true},
        {{t / "Storm.7Z"}, true},
        {{t / "Storm.Rar"}, true},
        {{t / "Storm.tar"}, false},
        {{t / "!Storm.gib"}, true},
        {{t / "notes.txt"}, false},
        {{t / "Storm.big.txt"}, false},
        {{t / ".big"}, false},
        {{storm, t / "Other.big"}, true},
        {{storm, t / "!Other.GIB"}, true},
        {{storm, t / "Other.zip"}, false},
        {{t.folder("Unpacked Mod")}, true},
        {{t.folder("Unpacked Mod"), storm}, false},
        {{""}, false},  // not a local file
        {{}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.paths));
        const Strings mod = DroppedMod(row.paths);
        EXPECT_EQ(!mod.empty(), row.taken);
        if (!mod.empty()) {
            EXPECT_EQ(mod, row.paths);
        } else {
            window.filesDropped(row.paths);
            EXPECT_TRUE(view.shownMessages.empty());
        }
    }
}

// The chooser of an archive's mods: each row a name and its size as
// Explorer shows it, the folder added where two names are alike; the row
// the user picks is the mod installed, and Cancel installs nothing.
TEST_F(MainWindowTest, TheArchiveChooserOffersEachModWithItsSize) {
    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(1), "1 byte");
    EXPECT_EQ(SizeText(1023), "1023 bytes");
    EXPECT_EQ(SizeText(1536), "1.5 KB");
    EXPECT_EQ(SizeText(12'900'000), "12.3 MB");
    EXPECT_EQ(SizeText(150ull << 20), "150 MB");
    EXPECT_EQ(SizeText(2254857830ull), "2.1 GB");
    EXPECT_EQ(ChooserRows({{"Storm.big", "v1/Storm.big", 2048}, {"Blue.big", "Blue.big", 10}, {"storm.BIG", "v2/storm.BIG", 4096}}),
              (Strings{"Storm.big (2.0 KB) in v1/Storm.big", "Blue.big (10 bytes)", "storm.BIG (4.0 KB) in v2/storm.BIG"}));

    const std::string made = test::TestArchives();
    if (made.empty()) GTEST_SKIP() << "no test archives: ctest makes them";
    view.box = t.path();
    for (const std::optional<ArchiveChoice>& pick : {std::optional<ArchiveChoice>(), std::optional(ArchiveChoice{{0}, "x"})}) {
        view.chooserAnswer = pick;
        view.answers = {Answer::No};  // not activated now
        window.filesDropped({made + test::Native("/lzma2.7z")});
        EXPECT_EQ(view.chooserRows, (Strings{"Blue.big (50.0 KB)", "Storm.big (100 KB)"}));
        EXPECT_EQ(view.chooserName, "lzma2");
        EXPECT_EQ(t.names(), pick ? Strings{"__Blue.bit"} : Strings{});
    }
    // OK waits for a tick and a name.
    EXPECT_TRUE(ChooserAccepts({false, true}, "Reds"));
    EXPECT_FALSE(ChooserAccepts({false, false}, "Reds"));
    EXPECT_FALSE(ChooserAccepts({true}, " __ "));
}

TEST_F(MainWindowTest, TypingKeepsTheBoxAsTypedWhileTheProgramTrimsIt) {
    t.file("__A.bit");
    view.type(t.path() + Native("/"));  // typing on: the separator must stay
    EXPECT_EQ(view.box, t.path() + Native("/"));
    EXPECT_EQ(view.listBox, Strings{"__A"});

    window.setFolderText(t.path() + Native("//"));  // written by the program: the scan trims it
    EXPECT_EQ(view.box, t.path());
    EXPECT_EQ(window.listEntries(), Strings{"__A"});
}

TEST_F(MainWindowTest, EntriesKeepTheirBytesWhateverTheListShows) {
    // Linux: bytes that are not UTF-8, which a toolkit shows changed. Windows
    // names are UTF-16, so there it is a name beyond the code page, with a
    // letter outside the Basic Multilingual Plane.
    const std::string name = test::OnWindows() ? "__\xD0\x9C\xD0\xBE\xD0\xB4\xF0\x90\x90\x80" : "__\xff\xfe";
    t.file(name + ".bit", "mod");
    t.file("__Other.bit", "other");
    view.type(t.path());
    ASSERT_EQ(window.listEntries(), (Strings{"__Other", name}));
    view.selection = 1;
    view.answers = {Answer::Yes, Answer::Ok};
    window.store().lblDelete_Click();
    EXPECT_EQ(view.shownMessages.back(), "MOD " + name + " deleted...");
    EXPECT_EQ(t.names(), Strings{"__Other.bit"});
    view.selection = 5;  // a selection the list does not hold is none
    EXPECT_EQ(window.selectedIndex(), -1);
}

TEST_F(MainWindowTest, ASettingsFailureIsReportedOncePerRun) {
    view.settingsWork = false;
    window.saveSetting("path", "/a");
    window.saveSetting("path", "/ab");
    window.saveSetting("zhmode", "1");
    EXPECT_EQ(view.shownMessages, Strings{"Tavrel could not save its settings to /config/TVL/TVL.conf."});
    EXPECT_EQ(window.readSetting("path", "default"), "default");
}

TEST_F(MainWindowTest, AnEditorThatFailsIsReportedWithItsReason) {
    window.openTextFile("/games/readme.txt");
    ASSERT_TRUE(view.editorFailure);
    view.editorFailure("No such file or directory");
    EXPECT_EQ(view.shownMessages,
              Strings{"Tavrel could not open /games/readme.txt in a text editor. (No such file or directory)"});
}

TEST_F(MainWindowTest, OneToolsWindowTakesTheFolderAsItIsNow) {
    window.showTools("/games/one");
    window.showTools("/games/two");
    EXPECT_EQ(view.toolsLoads, 1);
    ASSERT_TRUE(view.loadedTools);
    EXPECT_EQ(view.loadedTools->tools.GeneralsFolder, "/games/two");
    EXPECT_EQ(view.loadedTools->shown, 2);
}

TEST_F(MainWindowTest, ClosingSavesFirstThenTheToolsWindowGoes) {
    view.box = "/games/Generals";
    window.showTools(view.box);
    window.closing();
    EXPECT_EQ(view.log, (Strings{"save path", "save zhmode", "unload tools"}));
    EXPECT_EQ(view.stored["path"], "/games/Generals");
}

TEST_F(MainWindowTest, ClosingToolsBringsTheMainWindowBackUnlessMinimised) {
    window.showTools("/games");
    view.minimised = true;
    view.loadedTools->tools.Form_Unload();
    EXPECT_TRUE(view.log.empty());
    view.minimised = false;
    view.loadedTools->tools.Form_Unload();
    EXPECT_EQ(view.log, Strings{"bring to front"});
}

TEST_F(MainWindowTest, ToolsButtonsSwitchTheMoviesOfTheFolderHandedOver) {
    t.file("Data/Movies/sizzle_review.bik", "s");
    window.showTools(t.path());
    FakeTools& tools = *view.loadedTools;
    tools.tools.Command2_Click();
    EXPECT_EQ(t.names("Data/Movies"), Strings{"__sizzle_review.bik"});
    tools.tools.Command1_Click();
    EXPECT_EQ(t.names("Data/Movies"), Strings{"sizzle_review.bik"});
    EXPECT_EQ(ReadAll(t / "Data/Movies/sizzle_review.bik"), "s");
    EXPECT_EQ(tools.messages, (Strings{"Startup Items Have Been Changed Successfully.",
                                       "Startup Items Have Been Changed Successfully."}));
}

// The Add-ons window shows the selected mod's add-ons and patches as they
// are, and what the user ticks goes through the store: a patch's tick turns
// the other off, "(none)" turns the one on off, and each list says what is
// on afterwards, whatever was asked.
TEST_F(MainWindowTest, TheAddOnsWindowTicksWhatIsOnAndSwitchesThroughTheStore) {
    t.file("__Reds.bit", BigBytes({{"Data\\INI\\X.ini", "main"}}));
    for (const char* name : {"HUD.big", "P1.big", "P2.big"}) t.file(std::string("downloads/") + name, BigBytes({{"Data\\INI\\X.ini", name}}));
    view.box = t.path();
    window.store().UpdateList(true);
    view.answers.assign(8, Answer::Ok);
    ASSERT_TRUE(window.store().InstallAddOn("__Reds", {t / "downloads/HUD.big"}, AddOnKind::AddOn));
    ASSERT_TRUE(window.store().InstallAddOn("__Reds", {t / "downloads/P1.big"}, AddOnKind::Patch));
    ASSERT_TRUE(window.store().InstallAddOn("__Reds", {t / "downloads/P2.big"}, AddOnKind::Patch));

    view.selection = 0;
    window.click("lblAddOns");
    ASSERT_TRUE(view.loadedAddOns);
    FakeAddOns& addOns = *view.loadedAddOns;
    EXPECT_EQ(addOns.shown, 1);
    EXPECT_EQ(addOns.title, "Add-ons of MOD __Reds: what you tick is put in place when the MOD is activated.");
    EXPECT_EQ(addOns.rows["lstAddOns"], Strings{"HUD (46 bytes)"});
    EXPECT_EQ(addOns.rows["lstPatches"], (Strings{"(none)", "P1 (45 bytes)", "P2 (45 bytes)"}));
    EXPECT_EQ(addOns.ticked["lstPatches"], (std::vector<bool>{true, false, false}));

    addOns.addOns.itemTicked("lstAddOns", 0, true);
    addOns.addOns.itemTicked("lstPatches", 1, true);
    addOns.addOns.itemTicked("lstPatches", 2, true);
    EXPECT_EQ(addOns.ticked["lstAddOns"], std::vector<bool>{true});
    EXPECT_EQ(addOns.ticked["lstPatches"], (std::vector<bool>{false, false, true}));
    addOns.addOns.itemTicked("lstPatches", 0, true);
    EXPECT_EQ(addOns.ticked["lstPatches"], (std::vector<bool>{true, false, false}));
    addOns.addOns.itemTicked("lstPatches", 0, false);  // "(none)" stays while no patch is on
    EXPECT_EQ(addOns.ticked["lstPatches"], (std::vector<bool>{true, false, false}));

    // Delete acts on the list that had the keyboard last.
    view.answers = {Answer::Yes, Answer::Ok};
    addOns.current = {"lstPatches", 1};
    addOns.addOns.click("cmdDeleteAddOn");
    EXPECT_EQ(addOns.rows["lstPatches"], (Strings{"(none)", "P2 (45 bytes)"}));
    EXPECT_EQ(addOns.rows["lstAddOns"], Strings{"HUD (46 bytes)"});

    window.closing();
    EXPECT_EQ(view.log.back(), "unload add-ons");
}

}  // namespace
}  // namespace tavrel
