// A scripted main window over a real temporary game folder, with the folder
// box's change handling wired to the real handler.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "ui/main_window_logic.h"
#include "fake_window.h"
#include "modstore/mod_store.h"
#include "support/text.h"
#include "temp_folder.h"

namespace tavrel::test {

using Strings = std::vector<std::string>;

class StoreTest : public ::testing::Test {
protected:
    StoreTest() {
        w.onFolderChange = [this](bool typed) { logic.txtGeneralsFolder_Change(typed); };
        w.folder = t.path();
    }

    // Every file's bytes in the game folder, sorted: equal before and after
    // an operation means no mod lost a byte, whatever the names became.
    Strings contents() const {
        Strings out;
        for (const std::string& name : t.names()) out.push_back(ReadAll(t / name));
        std::sort(out.begin(), out.end());
        return out;
    }

    void select(const std::string& entry) {
        const auto it = std::find(w.list.begin(), w.list.end(), entry);
        ASSERT_NE(it, w.list.end()) << entry << " is not listed";
        w.selected = static_cast<int>(it - w.list.begin());
    }

    // The game folder holds one file, `name`, with `bytes`: never two names
    // the game sees as one. Windows' file system finds a file by any
    // spelling, and which spelling a replaced file keeps is its own (Wine
    // keeps the old one), so there the name is compared without regard to
    // case.
    void expectOnlyFile(const std::string& name, const std::string& bytes) const {
        const Strings names = t.names();
        ASSERT_EQ(names.size(), 1u) << ::testing::PrintToString(names);
        if (OnWindows()) EXPECT_TRUE(EqualsNoCase(names[0], name)) << names[0];
        else EXPECT_EQ(names[0], name);
        EXPECT_EQ(ReadAll(t / names[0]), bytes);
    }

    // The scan clears the list; a marker that survives proves there was none.
    void markList() { w.list.push_back("<no scan since>"); }
    bool scannedSinceMark() const {
        return std::find(w.list.begin(), w.list.end(), "<no scan since>") == w.list.end();
    }

    TempFolder t;
    FakeWindow w;
    ModStore store{w};
    MainWindowLogic logic{w, store, [](const std::string&) { return std::optional<std::string>(); }};
};

}  // namespace tavrel::test
