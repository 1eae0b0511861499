// The Add-ons window, free of any toolkit: the add-ons and patches of one
// mod (the one selected in the main window's list, else the active one),
// each ticked while it is on, what hides their files, and the buttons to
// install and delete them. A front-end's window owns one and shows its
// widgets through AddOnsWindowView; its layout is AddOnsLayout().
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "modstore/addons.h"
#include "ui/tools_window.h"

namespace tavrel {

class ModStore;
class ModWindow;

class AddOnsWindowView : public WindowView {
public:
    // Closes the window as the user does.
    virtual void closeWindow() = 0;
    virtual void setTitle(const std::string& text) = 0;
    // The rows of the checklist `list` ("lstAddOns" or "lstPatches") and
    // their ticks; setting them raises no tick event. The current row
    // stays where it was, as far as there are rows.
    virtual void setRows(std::string_view list, const std::vector<std::string>& rows,
                         const std::vector<bool>& ticked) = 0;
    // The current row of `list` when it is the checklist that had the
    // keyboard last; -1 otherwise, or when it has none.
    virtual int selectedRow(std::string_view list) const = 0;
    virtual void setConflicts(const std::string& text) = 0;   // a screen reader tells each change
    virtual bool patchBoxTicked() const = 0;                   // "Install as a patch"
};

// The patches' list's first row: no patch.
inline constexpr char kNoPatchRow[] = "(none)";

class AddOnsWindow {
public:
    // `main` is the main window, whose folder box, file dialogs and message
    // boxes the store uses; `mainView` brings it back when this one closes.
    AddOnsWindow(AddOnsWindowView& view, WindowView& mainView, ModWindow& main, ModStore& store)
        : view_(view), mainView_(mainView), main_(main), store_(store) {}

    // Shows the add-ons of the mod `base` (empty: none is selected or active).
    void load(const std::string& base);
    // The user ticked or unticked row `row` of a checklist.
    void itemTicked(std::string_view list, int row, bool ticked);
    // A click on the button named `control`, by the mouse, a key of
    // KeyTable() or a screen reader's action; "Close" closes the window.
    void click(std::string_view control);
    // The window is closed by the user: the main window comes back, unless
    // it is minimised.
    void Form_Unload();

    const std::string& base() const { return base_; }
    AddOnsWindowView& view() { return view_; }

private:
    void refresh();
    void install();
    void remove();

    AddOnsWindowView& view_;
    WindowView& mainView_;
    ModWindow& main_;
    ModStore& store_;
    std::string base_;
    std::vector<AddOn> addOns_, patches_;  // as the lists show them
};

// The line under the lists: for each add-on that is on and has files the
// game reads from elsewhere, how many and from what.
std::string ConflictsText(const std::vector<AddOnHiding>& hiding);

}  // namespace tavrel
