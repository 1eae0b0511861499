// The two windows' layout as data, which every front-end reads: each
// control's kind, name, caption, place and size in twips, font, colours and
// place in the tab order, in the order the controls are made (later ones lie
// on top of earlier ones).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

enum class ControlKind {
    Label,        // text
    LabelButton,  // text that acts on each click (a double click is two), with the program's hand pointer
    TextBox,
    Button,
    CheckBox,
    ListBox,
    PictureBox,   // a sunken frame showing a picture; it may hold other controls
    Image,        // a picture scaled to the control's size
};

enum class Picture { None, Banner, Icon };

struct Colour {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Colour&) const = default;
};

struct FontSpec {
    std::string face;  // the Windows font's name; front-ends pick the nearest they have
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct Control {
    ControlKind kind = ControlKind::Label;
    std::string name;
    std::string caption;
    int left = 0, top = 0, width = 0, height = 0;  // twips
    std::string container;  // empty: the form; else the control whose inner area holds it
    std::optional<FontSpec> font;  // nothing: the form's font
    // Nothing: the toolkit's text colour, and no background of its own (a
    // label shows what lies beneath it: the form, or the picture it is on).
    std::optional<Colour> foreColour, backColour;
    int tabIndex = -1;  // the place in the tab order, from 0; -1 takes no focus
    bool visible = true;
    bool wordWrap = false;
    bool centred = false;  // text centred; else left and top
    Picture picture = Picture::None;
    // What a screen reader names the control by: empty for its caption. The
    // boxes take the text of the label before them.
    std::string accessibleName{};
    // A status text: a screen reader tells each change of it.
    bool live = false;
    // Left out of what screen readers see: a decoration, or a caption that
    // the next control's name already says.
    bool unread = false;
    // A list box whose rows each have a tick box (Space ticks the current row).
    bool checkboxes = false;
};

struct FormLayout {
    std::string name;
    std::string caption;  // fixed captions only; the main window's is set at load
    int width = 0, height = 0;  // twips, the window's inside (without frame and caption)
    FontSpec font;
    std::vector<Control> controls;
    // The control whose text tells what the window is for: a screen reader
    // reads it as the window opens. Empty for none.
    std::string describedBy{};
};

const FormLayout& Form1Layout();
const FormLayout& Form2Layout();
// The Add-ons window: the add-ons and patches of one mod (ui/addons_window.h).
const FormLayout& AddOnsLayout();
// The window that asks which archives of a mod made of several to install,
// and under what name.
const FormLayout& ChooserLayout();

// The control named `name`; it must exist.
const Control& FindControl(const FormLayout& form, std::string_view name);

// The name a screen reader says for the control.
std::string AccessibleName(const Control& control);

// Twips to pixels: 15 twips a pixel at 96 dots per inch, rounded to the
// nearest pixel, and in proportion at other resolutions.
int TwipsToPixels(int twips, int dpi = 96);

}  // namespace tavrel
