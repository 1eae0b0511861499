#include "ui/layout.h"

#include <stdexcept>

#include "ui/main_window_logic.h"

namespace tavrel {
namespace {

constexpr Colour kButtonText{0, 0, 192}, kButtonBack{255, 224, 192}, kPeach{255, 192, 128}, kBlack{0, 0, 0};

FontSpec Font(std::string face, double points, bool bold = false, bool italic = false, bool underline = false) {
    return {std::move(face), points, bold, italic, underline};
}

Control Label(std::string name, std::string caption, int left, int top, int width, int height) {
    Control c;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

Control Make(ControlKind kind, std::string name, std::string caption, int left, int top, int width, int height,
             int tabIndex = -1) {
    Control c = Label(std::move(name), std::move(caption), left, top, width, height);
    c.kind = kind;
    c.tabIndex = tabIndex;
    return c;
}

// A label-button of the main window with its icon to the left, at
// `tabIndex` in the tab order.
void AddLabelButton(std::vector<Control>& controls, const std::string& name, const std::string& caption, int top,
                    int width, int iconIndex, int tabIndex) {
    Control icon = Make(ControlKind::Image, "imgGeneralIcon" + std::to_string(iconIndex), "", 3330, top, 240, 240);
    icon.picture = Picture::Icon;
    icon.unread = true;
    controls.push_back(icon);
    Control button = Make(ControlKind::LabelButton, name, caption, 3645, top, width, 195, tabIndex);
    button.font = Font("Tahoma", 8.25, true, false, true);
    button.foreColour = kButtonText;
    button.backColour = kButtonBack;
    controls.push_back(button);
}

FormLayout MakeForm1() {
    FormLayout form{"Form1", "", 5265, 6690, Font("MS Sans Serif", 8.25), {}};
    std::vector<Control>& c = form.controls;

    // The banner takes no focus: what it opens stays hidden.
    Control banner = Make(ControlKind::PictureBox, "picGenerals", "", 45, 45, 5190, 1740);
    banner.picture = Picture::Banner;
    banner.accessibleName = "Command and Conquer Generals";
    c.push_back(banner);
    Control zeroHour = Label("lblZeroHour", "ZERO HOUR", 1665, 855, 1815, 360);
    zeroHour.container = "picGenerals";
    zeroHour.font = Font("Arial Black", 12.75, true);
    zeroHour.foreColour = Colour{255, 255, 0};
    zeroHour.visible = false;
    c.push_back(zeroHour);
    Control credit = Label("Label8", "Tavrel - written by the Tavrel team for Generals players", 135, 1395, 3570, 195);
    credit.container = "picGenerals";
    credit.font = Font("Small Fonts", 6.75, true);
    credit.foreColour = kPeach;
    c.push_back(credit);

    c.push_back(Label("lblFormLabel0", "Generals Folder:", 90, 1845, 1320, 240));
    c.push_back(Make(ControlKind::CheckBox, "chkZHMode", "Zero Hour Mode", 3555, 1845, 1590, 240, 12));
    Control folder = Make(ControlKind::TextBox, "txtGeneralsFolder", "", 90, 2115, 5100, 375, 0);
    folder.accessibleName = "Generals Folder";
    c.push_back(folder);
    c.push_back(Make(ControlKind::Button, "cmdBrowse", "Browse...", 4185, 2520, 960, 375, 1));
    c.push_back(Label("lblFormLabel1", "Currently Installed Mods:", 90, 2700, 1950, 285));
    Control list = Make(ControlKind::ListBox, "lstMods", "", 90, 2970, 3120, 2010, 2);
    list.accessibleName = "Currently Installed Mods";
    list.font = Font("MS Sans Serif", 8.25, true);
    list.foreColour = Colour{128, 128, 128};
    c.push_back(list);

    // The actions follow the list in the tab order, as they stand beside it;
    // then the restart's offer and "Next Tip", and the mode box last.
    AddLabelButton(c, "lblActivate", "Activate Selected", 3060, 1500, 1, 3);
    AddLabelButton(c, "lblDeactivate", "Deactivate All", 3386, 1185, 2, 4);
    AddLabelButton(c, "lblDelete", "Delete Selected", 3712, 1335, 0, 5);
    AddLabelButton(c, "lblInstallMod", "Install A Mod", 4038, 1110, 3, 6);
    AddLabelButton(c, "lblViewHelp", "View ReadMe File", 4365, 1455, 4, 7);
    AddLabelButton(c, "lblPlay", "Play", 4691, 480, 5, 8);
    // The add-ons of the selected mod, on Play's line: the window keeps its size.
    Control addOns = Make(ControlKind::LabelButton, "lblAddOns", "Add-ons", 4410, 4691, 780, 195, 9);
    addOns.font = Font("Tahoma", 8.25, true, false, true);
    addOns.foreColour = kButtonText;
    addOns.backColour = kButtonBack;
    c.push_back(addOns);

    Control activeCaption = Label("lblFormLabel2", "Current Active Mod:", 90, 5130, 1635, 240);
    activeCaption.unread = true;  // the active mod's name says it
    c.push_back(activeCaption);
    Control active = Label("lblActiveMod", "", 1575, 5130, 2535, 240);
    active.accessibleName = "Current Active Mod";
    active.font = Font("Tahoma", 8.25, true);
    active.foreColour = Colour{192, 0, 0};
    c.push_back(active);
    Control tip = Label("lblTipText", kTipWarning, 90, 5445, 5145, 915);
    tip.live = true;  // named by its text
    tip.font = Font("MS Sans Serif", 8.25, true);
    tip.foreColour = kPeach;
    tip.backColour = kBlack;
    tip.wordWrap = true;
    c.push_back(tip);
    // Under a tip line that says the folder is protected (Windows), the
    // offer to restart with an administrator's consent; hidden otherwise.
    Control restart = Make(ControlKind::LabelButton, "lblRestartAdmin", "Restart Tavrel as administrator", 90, 6390,
                           2400, 240, 10);
    restart.foreColour = kBlack;
    restart.backColour = kPeach;
    restart.centred = true;
    restart.visible = false;
    c.push_back(restart);
    Control next = Make(ControlKind::LabelButton, "lblNextTip", "Next Tip", 4455, 6390, 735, 240, 11);
    next.foreColour = kBlack;
    next.backColour = kPeach;
    next.centred = true;
    c.push_back(next);
    return form;
}

FormLayout MakeForm2() {
    FormLayout form{"Form2", "Tools...", 4935, 3360, Font("MS Sans Serif", 8.25), {}};
    std::vector<Control>& c = form.controls;
    Control title = Label("Label2", "Handy Tools And Utilities", 90, 45, 4875, 330);
    title.font = Font("Arial Black", 12, true, false, true);
    title.foreColour = Colour{192, 64, 0};
    c.push_back(title);
    // The description lies under the buttons and the note, which come after it.
    Control description = Label("Label1",
                                "Disable the startup \"EA Games, Challenge Everything\" screen and the \"World "
                                "Leaders\" screen. This results in faster loading.",
                                90, 495, 4695, 960);
    description.wordWrap = true;
    description.backColour = Colour{255, 255, 255};
    c.push_back(description);
    c.push_back(Make(ControlKind::Button, "Command2", "Disable", 180, 1035, 1050, 330, 1));
    c.push_back(Make(ControlKind::Button, "Command1", "Enable", 1260, 1035, 1095, 330, 0));
    Control note = Label("Label3", "Only tested with Generals. Should work with ZH also.", 2520, 990, 2040, 420);
    note.font = Font("Tahoma", 8.25, false, true);
    note.foreColour = Colour{128, 128, 128};
    note.wordWrap = true;
    c.push_back(note);
    form.describedBy = "Label1";
    return form;
}

// Modeless, owned by the main window like Tools: the add-ons' checklist
// first in the tab order, then the patches' (a choice of one, "(none)"
// first), the patch box and the buttons.
FormLayout MakeAddOns() {
    FormLayout form{"frmAddOns", "Add-ons...", 5400, 5520, Font("MS Sans Serif", 8.25), {}};
    std::vector<Control>& c = form.controls;
    Control title = Label("lblAddOnsOf", "", 120, 120, 5160, 390);
    title.wordWrap = true;
    c.push_back(title);
    Control addOnsCaption = Label("lblAddOnsCaption", "Add-ons (tick to turn on):", 120, 555, 5160, 240);
    addOnsCaption.unread = true;  // the list's name says it
    c.push_back(addOnsCaption);
    Control addOns = Make(ControlKind::ListBox, "lstAddOns", "", 120, 810, 5160, 1800, 0);
    addOns.accessibleName = "Add-ons";
    addOns.checkboxes = true;
    c.push_back(addOns);
    Control patchesCaption = Label("lblPatchesCaption", "Patch (one at most):", 120, 2670, 5160, 240);
    patchesCaption.unread = true;
    c.push_back(patchesCaption);
    Control patches = Make(ControlKind::ListBox, "lstPatches", "", 120, 2925, 5160, 1000, 1);
    patches.accessibleName = "Patch";
    patches.checkboxes = true;
    c.push_back(patches);
    Control conflicts = Label("lblConflicts", "", 120, 3990, 5160, 570);
    conflicts.wordWrap = true;
    conflicts.live = true;
    conflicts.foreColour = Colour{128, 128, 128};
    c.push_back(conflicts);
    c.push_back(Make(ControlKind::CheckBox, "chkPatch", "Install as a patch", 120, 4635, 2400, 285, 2));
    c.push_back(Make(ControlKind::Button, "cmdInstallAddOn", "Install Add-on...", 120, 5025, 1695, 375, 3));
    c.push_back(Make(ControlKind::Button, "cmdDeleteAddOn", "Delete Selected", 1905, 5025, 1575, 375, 4));
    c.push_back(Make(ControlKind::Button, "cmdClose", "Close", 4065, 5025, 1215, 375, 5));
    form.describedBy = "lblAddOnsOf";
    return form;
}

// Modal, owned by the main window, in its font; the checklist takes the
// focus with every archive ticked, the name box follows, and Enter and
// Escape answer as in a dialog.
FormLayout MakeChooser() {
    FormLayout form{"frmChooseMod", "Select Generals MOD....", 5400, 3900, Font("MS Sans Serif", 8.25), {}};
    std::vector<Control>& c = form.controls;
    Control prompt = Label("lblChoose",
                           "This MOD is made of several files. Tick the archives to import, and name the MOD:",
                           120, 120, 5160, 390);
    prompt.wordWrap = true;
    c.push_back(prompt);
    Control list = Make(ControlKind::ListBox, "lstArchiveMods", "", 120, 600, 5160, 2010, 0);
    list.accessibleName = "Archives of this MOD";
    list.checkboxes = true;
    c.push_back(list);
    c.push_back(Label("lblModName", "MOD name:", 120, 2775, 1000, 240));
    Control name = Make(ControlKind::TextBox, "txtModName", "", 1200, 2730, 4080, 315, 1);
    name.accessibleName = "MOD name";
    c.push_back(name);
    c.push_back(Make(ControlKind::Button, "cmdOK", "OK", 2760, 3390, 1215, 375, 2));
    c.push_back(Make(ControlKind::Button, "cmdCancel", "Cancel", 4065, 3390, 1215, 375, 3));
    return form;
}

}  // namespace

const FormLayout& ChooserLayout() {
    static const FormLayout form = MakeChooser();
    return form;
}

const FormLayout& AddOnsLayout() {
    static const FormLayout form = MakeAddOns();
    return form;
}

const FormLayout& Form1Layout() {
    static const FormLayout form = MakeForm1();
    return form;
}

const FormLayout& Form2Layout() {
    static const FormLayout form = MakeForm2();
    return form;
}

const Control& FindControl(const FormLayout& form, std::string_view name) {
    for (const Control& c : form.controls) {
        if (c.name == name) return c;
    }
    throw std::out_of_range("no control " + std::string(name) + " in " + form.name);
}

std::string AccessibleName(const Control& control) {
    return control.accessibleName.empty() ? control.caption : control.accessibleName;
}

int TwipsToPixels(int twips, int dpi) {
    // 1440 twips an inch: pixels = twips * dpi / 1440, to the nearest.
    return (2 * twips * dpi + 1440) / 2880;
}

}  // namespace tavrel
