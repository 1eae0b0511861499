#include "ui/keys.h"

namespace tavrel {
namespace {

// The list acts on what it holds; everything else acts anywhere in its
// window. The Tools window is the banner's Shift and right click.
constexpr KeyBinding kKeys[] = {
    {"Form1", "lblActivate", Key::Enter, false, false, "lstMods", "Enter in the list"},
    {"Form1", "lblDeactivate", Key::D, true, false, {}, "Ctrl+D"},
    {"Form1", "lblDelete", Key::Delete, false, false, "lstMods", "Delete in the list"},
    {"Form1", "lblInstallMod", Key::O, true, false, {}, "Ctrl+O"},
    {"Form1", "lblPlay", Key::P, true, false, {}, "Ctrl+P"},
    {"Form1", "lblViewHelp", Key::F1, false, false, {}, "F1"},
    {"Form1", "lblNextTip", Key::T, true, false, {}, "Ctrl+T"},
    {"Form1", "picGenerals", Key::T, true, true, {}, "Ctrl+Shift+T"},
    {"Form1", "lblAddOns", Key::O, true, true, {}, "Ctrl+Shift+O"},
    {"Form2", "Command2", Key::D, true, false, {}, "Ctrl+D"},
    {"Form2", "Command1", Key::E, true, false, {}, "Ctrl+E"},
    {"Form2", "Close", Key::Escape, false, false, {}, "Escape"},
    {"frmAddOns", "cmdInstallAddOn", Key::O, true, false, {}, "Ctrl+O"},
    {"frmAddOns", "cmdDeleteAddOn", Key::Delete, false, false, "lstAddOns", "Delete in a list"},
    {"frmAddOns", "cmdDeleteAddOn", Key::Delete, false, false, "lstPatches", "Delete in a list"},
    {"frmAddOns", "Close", Key::Escape, false, false, {}, "Escape"},
};

}  // namespace

std::span<const KeyBinding> KeyTable() { return kKeys; }

const KeyBinding* FindKey(std::string_view form, Key key, bool ctrl, bool shift, std::string_view focused) {
    for (const KeyBinding& k : kKeys) {
        if (k.form == form && k.key == key && k.ctrl == ctrl && k.shift == shift &&
            (k.focus.empty() || k.focus == focused)) {
            return &k;
        }
    }
    return nullptr;
}

const KeyBinding* KeyOf(std::string_view form, std::string_view control) {
    for (const KeyBinding& k : kKeys) {
        if (k.form == form && k.control == control) return &k;
    }
    return nullptr;
}

std::optional<std::string> KeyTip(const FormLayout& form, std::string_view control) {
    const KeyBinding* key = KeyOf(form.name, control);
    const Control& c = FindControl(form, control);
    if (!key || c.kind != ControlKind::LabelButton) return std::nullopt;
    return c.caption + " (" + std::string(key->text) + ")";
}

}  // namespace tavrel
