// Builds a window's controls from its layout data and keeps them in step
// with the window's resolution: places in pixels, fonts, colours, pictures,
// and the tab order.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "ui/layout.h"

namespace tavrel {

// The font at `dpi`: its points in pixels, the face as named (the system
// picks the nearest it has).
HFONT CreateLayoutFont(const FontSpec& font, int dpi);

// The control's id (GetDlgItem of its container finds it by that).
int ControlId(const FormLayout& layout, std::string_view name);

// The order, top first, in which the controls held by `container` ("" for
// the form) lie on one another, as indices into layout.controls. The dialog
// manager tabs through controls in this order, so the controls with a tab
// index come in that order; a control that overlaps an earlier one lies
// above it, unless the tab order says otherwise; later controls lie higher.
std::vector<std::size_t> StackingOrder(const FormLayout& layout, std::string_view container);

// What a control shows behind its text.
struct Background {
    enum Kind { System, Solid, Transparent } kind = System;
    Colour colour;
};
// Its own colour; a label without one shows the colour of the control it
// lies on (the nearest below that holds it whole and has a colour), and
// over a picture box the picture; anything else the system's colours.
Background BackgroundOf(const FormLayout& layout, std::size_t index);

class FormControls {
public:
    FormControls(const FormLayout& layout, HINSTANCE instance);
    ~FormControls();
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    // Makes every control as a child of `form` (or of its container) and
    // sets the form's caption when the layout has one; then applyDpi with
    // the form's resolution.
    void create(HWND form);
    // Places, sizes, fonts and pictures at `dpi`.
    void applyDpi(int dpi);
    int dpi() const { return dpi_; }
    // The form's client area at the current resolution.
    SIZE clientSize() const;

    // The control named `name`; it must exist.
    HWND operator[](std::string_view name) const;
    // The first control in the tab order, or nothing.
    HWND firstTabStop() const;

    // WM_CTLCOLOR* (`message`): sets the control's colours in `dc` and
    // returns its brush, or nothing when the system's colours are the
    // control's.
    std::optional<HBRUSH> colours(UINT message, HWND control, HDC dc);

private:
    using FontKey = std::tuple<std::string, double, bool, bool, bool>;
    HFONT font(const FontSpec& wanted);
    HBRUSH brush(const Colour& colour);
    void freeFonts();

    const FormLayout& layout_;
    HINSTANCE instance_;
    std::vector<HWND> windows_;  // by index into layout_.controls
    std::vector<Background> backgrounds_;
    std::map<FontKey, HFONT> fonts_;
    std::map<COLORREF, HBRUSH> brushes_;
    int dpi_ = 96;
};

}  // namespace tavrel
