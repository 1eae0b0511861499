#include "ui/addons_window.h"

#include "modstore/common_dialogs.h"
#include "modstore/mod_store.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "ui/archive_chooser.h"

namespace tavrel {
namespace {

std::string Row(const AddOn& addOn) { return addOn.name + " (" + SizeText(addOn.size) + ")"; }

}  // namespace

std::string ConflictsText(const std::vector<AddOnHiding>& hiding) {
    std::string text;
    for (const AddOnHiding& h : hiding) {
        if (h.hidden == 0) continue;
        std::string by;
        for (std::size_t i = 0; i < h.by.size(); ++i) by += (i == 0 ? "" : i + 1 == h.by.size() ? " and " : ", ") + h.by[i];
        text += (text.empty() ? "" : " ") + h.name + ": " + std::to_string(h.hidden) +
                (h.hidden == 1 ? " file" : " files") + " read from " + by + ".";
    }
    return text.empty() ? "The game reads every file of the add-ons that are on." : text;
}

void AddOnsWindow::load(const std::string& base) {
    base_ = base;
    refresh();
}

void AddOnsWindow::refresh() {
    const std::string folder = FileCleanPath(main_.folderText());
    addOns_.clear();
    patches_.clear();
    for (AddOn& addOn : base_.empty() ? std::vector<AddOn>{} : ListAddOns(folder, base_)) {
        (addOn.kind == AddOnKind::Patch ? patches_ : addOns_).push_back(std::move(addOn));
    }
    if (base_.empty()) {
        view_.setTitle("No MOD is selected or active: select one in the list of the main window, then open this "
                       "window again.");
    } else if (IsRegularFile(JoinPath(folder, ResolveFileName(folder, base_, ".big")))) {
        view_.setTitle("Add-ons of MOD " + base_ + ", which is active: what you tick is put in place at once.");
    } else {
        view_.setTitle("Add-ons of MOD " + base_ + ": what you tick is put in place when the MOD is activated.");
    }
    std::vector<std::string> rows;
    std::vector<bool> ticked;
    for (const AddOn& addOn : addOns_) {
        rows.push_back(Row(addOn));
        ticked.push_back(addOn.on);
    }
    view_.setRows("lstAddOns", rows, ticked);
    rows = {kNoPatchRow};
    ticked = {true};
    for (const AddOn& patch : patches_) {
        rows.push_back(Row(patch));
        ticked.push_back(patch.on);
        if (patch.on) ticked.front() = false;
    }
    view_.setRows("lstPatches", rows, ticked);
    view_.setConflicts(base_.empty() ? "" : ConflictsText(AddOnConflicts(folder, base_)));
}

void AddOnsWindow::itemTicked(std::string_view list, int row, bool ticked) {
    const auto at = static_cast<std::size_t>(row);
    if (list == "lstAddOns" && row >= 0 && at < addOns_.size()) {
        store_.SwitchAddOn(base_, addOns_[at].name, ticked);
    } else if (list == "lstPatches" && row > 0 && at <= patches_.size()) {
        store_.SwitchAddOn(base_, patches_[at - 1].name, ticked);
    } else if (list == "lstPatches" && row == 0 && ticked) {
        // "(none)": the patch that is on goes off.
        for (const AddOn& patch : patches_) {
            if (patch.on) store_.SwitchAddOn(base_, patch.name, false);
        }
    }
    refresh();  // the ticks as they are now, whatever was asked
}

void AddOnsWindow::install() {
    if (base_.empty()) {
        main_.message("Please select a MOD from the list first!", Buttons::Ok, Icon::Critical);
        return;
    }
    const std::vector<std::string> sources =
        ShowOpenFiles(main_, "Generals MODs and Archives (*.big;*.zip;*.7z;*.rar)|*.big;*.zip;*.7z;*.rar",
                      "Select an add-on of MOD " + base_ + "....", "big", "");
    if (sources.empty()) return;
    store_.InstallAddOn(base_, sources, view_.patchBoxTicked() ? AddOnKind::Patch : AddOnKind::AddOn);
    refresh();
}

void AddOnsWindow::remove() {
    const int addOn = view_.selectedRow("lstAddOns"), patch = view_.selectedRow("lstPatches");
    std::string name;
    if (addOn >= 0 && static_cast<std::size_t>(addOn) < addOns_.size()) name = addOns_[static_cast<std::size_t>(addOn)].name;
    else if (patch > 0 && static_cast<std::size_t>(patch) <= patches_.size()) name = patches_[static_cast<std::size_t>(patch) - 1].name;
    if (name.empty()) {
        main_.message("Select an add-on to delete!", Buttons::Ok, Icon::Critical);
        return;
    }
    store_.DeleteAddOn(base_, name);
    refresh();
}

void AddOnsWindow::click(std::string_view control) {
    if (control == "cmdInstallAddOn") install();
    else if (control == "cmdDeleteAddOn") remove();
    else if (control == "cmdClose" || control == "Close") view_.closeWindow();
}

void AddOnsWindow::Form_Unload() {
    if (!mainView_.isMinimised()) mainView_.bringToFront();
}

}  // namespace tavrel
