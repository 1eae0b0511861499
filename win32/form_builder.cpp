#include "win32/form_builder.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <stdexcept>

#include "win32/dpi.h"
#include "win32/picture.h"
#include "win32/resources/resource_ids.h"
#include "win32/text.h"
#include "win32/widgets.h"

namespace tavrel {
namespace {

constexpr int kFirstControlId = 1000;

COLORREF Rgb(const Colour& c) {
    return RGB(static_cast<BYTE>(c.red), static_cast<BYTE>(c.green), static_cast<BYTE>(c.blue));
}

bool Overlap(const Control& a, const Control& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool Holds(const Control& outer, const Control& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

bool ShowsText(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::LabelButton || kind == ControlKind::CheckBox;
}

std::size_t IndexOf(const FormLayout& layout, std::string_view name) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].name == name) return i;
    }
    throw std::out_of_range("no control " + std::string(name) + " in " + layout.name);
}

DWORD TextStyle(const Control& c) {
    if (c.centred) return SS_CENTER | SS_CENTERIMAGE;
    return c.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
}

HWND MakeControl(HINSTANCE instance, HWND parent, const Control& c, int id) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.visible ? WS_VISIBLE : 0);
    if (c.tabIndex >= 0) style |= WS_TABSTOP | WS_GROUP;
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"STATIC";
    switch (c.kind) {
        case ControlKind::Label: style |= SS_NOPREFIX | TextStyle(c); break;
        case ControlKind::LabelButton: style |= SS_NOPREFIX | SS_NOTIFY | TextStyle(c); break;
        case ControlKind::TextBox:
            windowClass = L"EDIT";
            style |= ES_LEFT | ES_AUTOHSCROLL;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Button: windowClass = L"BUTTON"; style |= BS_PUSHBUTTON; break;
        case ControlKind::CheckBox: windowClass = L"BUTTON"; style |= BS_AUTOCHECKBOX; break;
        case ControlKind::ListBox:
            if (c.checkboxes) return CreateCheckList(instance, parent, id, style, WS_EX_CLIENTEDGE);
            windowClass = L"LISTBOX";
            style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::PictureBox:
            return CreatePictureWindow(instance, parent, id, style, WS_EX_CLIENTEDGE);
        case ControlKind::Image:
            return CreatePictureWindow(instance, parent, id, style, 0);
    }
    return ::CreateWindowExW(exStyle, windowClass, Wide(c.caption).c_str(), style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace

int ControlId(const FormLayout& layout, std::string_view name) {
    return kFirstControlId + static_cast<int>(IndexOf(layout, name));
}

HFONT CreateLayoutFont(const FontSpec& font, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring face = Wide(font.face);
    std::wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&lf);
}

std::vector<std::size_t> StackingOrder(const FormLayout& layout, std::string_view container) {
    const auto& controls = layout.controls;
    std::vector<std::size_t> group;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].container == container) group.push_back(i);
    }
    // For each control, the controls that must lie below it, and how many
    // must lie above it: by the tab order, and by any rule.
    struct Rules {
        std::vector<std::size_t> belowByTab, belowByOverlap;
        int aboveByTab = 0, above = 0;
    };
    std::map<std::size_t, Rules> rules;
    std::vector<std::size_t> tabbed;
    for (std::size_t i : group) {
        if (controls[i].tabIndex >= 0) tabbed.push_back(i);
    }
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [&](std::size_t a, std::size_t b) { return controls[a].tabIndex < controls[b].tabIndex; });
    for (std::size_t k = 1; k < tabbed.size(); ++k) {
        rules[tabbed[k - 1]].belowByTab.push_back(tabbed[k]);
        ++rules[tabbed[k]].aboveByTab;
        ++rules[tabbed[k]].above;
    }
    for (std::size_t a = 0; a < group.size(); ++a) {
        for (std::size_t b = a + 1; b < group.size(); ++b) {
            if (!Overlap(controls[group[a]], controls[group[b]])) continue;
            rules[group[b]].belowByOverlap.push_back(group[a]);
            ++rules[group[a]].above;
        }
    }
    // Of the controls free to go next, the latest in the layout. Should the
    // rules contradict each other, the tab order wins: it is what the keys do.
    std::vector<std::size_t> order;
    std::vector<std::size_t> left(group.rbegin(), group.rend());
    while (!left.empty()) {
        auto next = std::find_if(left.begin(), left.end(), [&](std::size_t i) { return rules[i].above <= 0; });
        if (next == left.end()) {
            next = std::find_if(left.begin(), left.end(), [&](std::size_t i) { return rules[i].aboveByTab == 0; });
        }
        const std::size_t chosen = *next;
        left.erase(next);
        order.push_back(chosen);
        for (std::size_t lower : rules[chosen].belowByTab) {
            --rules[lower].aboveByTab;
            --rules[lower].above;
        }
        for (std::size_t lower : rules[chosen].belowByOverlap) --rules[lower].above;
    }
    return order;
}

Background BackgroundOf(const FormLayout& layout, std::size_t index) {
    const Control& c = layout.controls.at(index);
    if (c.backColour) return {Background::Solid, *c.backColour};
    if (!ShowsText(c.kind)) return {};
    for (std::size_t j = index; j-- > 0;) {
        const Control& under = layout.controls[j];
        if (under.container == c.container && under.backColour && Holds(under, c)) {
            return {Background::Solid, *under.backColour};
        }
    }
    if (!c.container.empty() && FindControl(layout, c.container).kind == ControlKind::PictureBox) {
        return {Background::Transparent, {}};
    }
    return {};
}

FormControls::FormControls(const FormLayout& layout, HINSTANCE instance) : layout_(layout), instance_(instance) {}

FormControls::~FormControls() {
    // The controls go with their window; the fonts and brushes they used go here.
    freeFonts();
    for (auto& [colour, brush] : brushes_) ::DeleteObject(brush);
}

void FormControls::create(HWND form) {
    if (!layout_.caption.empty()) SetControlText(form, layout_.caption);
    const auto& controls = layout_.controls;
    windows_.assign(controls.size(), nullptr);
    backgrounds_.clear();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        HWND parent = c.container.empty() ? form : windows_.at(IndexOf(layout_, c.container));
        if (!parent) throw std::logic_error(c.name + " comes before its container " + c.container);
        windows_[i] = MakeControl(instance_, parent, c, kFirstControlId + static_cast<int>(i));
        backgrounds_.push_back(BackgroundOf(layout_, i));
    }
    std::vector<std::string> containers{""};
    for (const Control& c : controls) {
        if (std::find(containers.begin(), containers.end(), c.container) == containers.end()) {
            containers.push_back(c.container);
        }
    }
    for (const std::string& container : containers) {
        HWND above = HWND_TOP;
        for (std::size_t i : StackingOrder(layout_, container)) {
            ::SetWindowPos(windows_[i], above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            above = windows_[i];
        }
    }
    applyDpi(WindowDpi(form));
}

void FormControls::applyDpi(int dpi) {
    dpi_ = dpi;
    std::map<FontKey, HFONT> old;
    old.swap(fonts_);
    const auto& controls = layout_.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        HWND window = windows_[i];
        const int width = TwipsToPixels(c.width, dpi), height = TwipsToPixels(c.height, dpi);
        // Inside a container, places count from its inner (client) area.
        ::SetWindowPos(window, nullptr, TwipsToPixels(c.left, dpi), TwipsToPixels(c.top, dpi), width, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font(c.font ? *c.font : layout_.font)), TRUE);
        if (c.kind == ControlKind::ListBox && c.checkboxes) FitCheckListColumn(window);
        switch (c.picture) {
            case Picture::Banner: SetPictureBitmap(window, LoadPicture(instance_, IDR_BANNER, dpi)); break;
            case Picture::Icon:
                SetPictureIcon(window, static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TAVREL),
                                                                      IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
                break;
            case Picture::None: break;
        }
    }
    for (auto& [key, f] : old) ::DeleteObject(f);
}

SIZE FormControls::clientSize() const {
    return {TwipsToPixels(layout_.width, dpi_), TwipsToPixels(layout_.height, dpi_)};
}

HWND FormControls::operator[](std::string_view name) const { return windows_.at(IndexOf(layout_, name)); }

HWND FormControls::firstTabStop() const {
    const Control* first = nullptr;
    HWND window = nullptr;
    for (std::size_t i = 0; i < layout_.controls.size(); ++i) {
        const Control& c = layout_.controls[i];
        if (c.tabIndex >= 0 && (!first || c.tabIndex < first->tabIndex)) {
            first = &c;
            window = windows_[i];
        }
    }
    return window;
}

std::optional<HBRUSH> FormControls::colours(UINT message, HWND control, HDC dc) {
    const auto found = std::find(windows_.begin(), windows_.end(), control);
    if (found == windows_.end()) return std::nullopt;
    const auto i = static_cast<std::size_t>(found - windows_.begin());
    const Control& c = layout_.controls[i];
    const Background& back = backgrounds_[i];
    if (!c.foreColour && back.kind == Background::System) return std::nullopt;
    const bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    ::SetTextColor(dc, c.foreColour ? Rgb(*c.foreColour) : ::GetSysColor(field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    switch (back.kind) {
        case Background::Solid:
            ::SetBkColor(dc, Rgb(back.colour));
            return brush(back.colour);
        case Background::Transparent:
            ::SetBkMode(dc, TRANSPARENT);
            return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        case Background::System: break;
    }
    const int system = field ? COLOR_WINDOW : COLOR_BTNFACE;
    ::SetBkColor(dc, ::GetSysColor(system));
    return ::GetSysColorBrush(system);
}

HFONT FormControls::font(const FontSpec& wanted) {
    const FontKey key{wanted.face, wanted.points, wanted.bold, wanted.italic, wanted.underline};
    auto found = fonts_.find(key);
    if (found == fonts_.end()) found = fonts_.emplace(key, CreateLayoutFont(wanted, dpi_)).first;
    return found->second;
}

HBRUSH FormControls::brush(const Colour& colour) {
    const COLORREF rgb = Rgb(colour);
    auto found = brushes_.find(rgb);
    if (found == brushes_.end()) found = brushes_.emplace(rgb, ::CreateSolidBrush(rgb)).first;
    return found->second;
}

void FormControls::freeFonts() {
    for (auto& [key, f] : fonts_) ::DeleteObject(f);
    fonts_.clear();
}

}  // namespace tavrel
