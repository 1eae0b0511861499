// Builds a window's widgets from its layout data: twips to pixels, the
// nearest installed fonts, colours, pictures and the tab order.
#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "ui/layout.h"

namespace tavrel {

// The property of a widget that screen readers are not shown (see
// Control::unread).
inline constexpr char kUnreadProperty[] = "tavrelUnread";

// The control's place in pixels at 96 dots per inch: Qt scales these logical
// pixels with the screen's device pixel ratio by itself.
QRect PixelRect(const Control& control);

// The font, or the nearest installed family where the named one is missing.
QFont QtFont(const FontSpec& font);

// The program's icon at each size it is drawn in.
QIcon ProgramIcon();

// Sizes `form` (fixed), gives it the layout's font and caption, and makes
// every control as a child named like it. Returns the widgets by name.
std::map<std::string, QWidget*> BuildForm(QWidget& form, const FormLayout& layout);

// Every click of `layout`'s window in one place: a label-button's click, and
// each key of KeyTable() for that window (anywhere in it, or only while its
// control has the keyboard), call `click` with the control it stands for.
// The label-buttons name their keys in their tooltips.
void ConnectClicks(QWidget& form, const FormLayout& layout, const std::map<std::string, QWidget*>& widgets,
                   const std::function<void(const std::string& control)>& click);

// The widget named `name` among those BuildForm made, as a T.
template <typename T>
T* Widget(const std::map<std::string, QWidget*>& widgets, const std::string& name) {
    return qobject_cast<T*>(widgets.at(name));
}

}  // namespace tavrel
