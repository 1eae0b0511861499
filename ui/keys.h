// The keys of every action, beside the layout data and the same on both
// front-ends. Each key stands for a click on one control and runs what that
// click runs, questions included; the front-ends only tell which key came
// and which control held the keyboard.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/layout.h"

namespace tavrel {

enum class Key { Enter, Escape, Delete, F1, D, E, O, P, T };

struct KeyBinding {
    std::string_view form;     // the window: "Form1", "Form2" or "frmAddOns"
    std::string_view control;  // the control whose click the key stands for; "Close" closes the window
    Key key;
    bool ctrl = false;
    bool shift = false;
    std::string_view focus{};  // only while this control has the keyboard; empty: anywhere in the window
    std::string_view text{};   // as the tooltips and the README name it
};

std::span<const KeyBinding> KeyTable();

// The binding that `key` with Ctrl and Shift as held stands for in `form`
// while `focused` ("" for none of the layout's) has the keyboard, if any.
const KeyBinding* FindKey(std::string_view form, Key key, bool ctrl, bool shift, std::string_view focused);

// The binding of a control's click, if it has a key.
const KeyBinding* KeyOf(std::string_view form, std::string_view control);

// A label-button's tooltip: its caption and its key, "Deactivate All
// (Ctrl+D)"; nothing for any other control (the banner's key stays as
// hidden as its click).
std::optional<std::string> KeyTip(const FormLayout& form, std::string_view control);

}  // namespace tavrel
