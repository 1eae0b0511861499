#include "qt/form_builder.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <cmath>

#include "qt/widgets.h"
#include "ui/keys.h"

namespace tavrel {
namespace {

// One of the program's own PNGs. Read as PNG and nothing else: a reader left
// to guess the format first asks every image plugin, loading each one.
QPixmap ResourcePng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QStringList Families(const std::string& face) {
    const QString named = QString::fromStdString(face);
    QStringList out{named};
    if (face == "MS Sans Serif") out << QStringLiteral("Microsoft Sans Serif");
    out << QStringLiteral("Liberation Sans") << QStringLiteral("Arial") << QStringLiteral("DejaVu Sans");
    return out;
}

void SetColours(QWidget* widget, const Control& control) {
    if (!control.foreColour && !control.backColour) return;
    QPalette palette = widget->palette();
    if (const auto& c = control.foreColour) {
        palette.setColor(QPalette::WindowText, QColor(c->red, c->green, c->blue));
        palette.setColor(QPalette::Text, QColor(c->red, c->green, c->blue));
    }
    if (const auto& c = control.backColour) {
        palette.setColor(QPalette::Window, QColor(c->red, c->green, c->blue));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

QPixmap PictureOf(Picture picture, const QSize& size) {
    switch (picture) {
        case Picture::Banner: return ResourcePng(QStringLiteral(":/banner.png"));
        case Picture::Icon: return ProgramIcon().pixmap(size);
        case Picture::None: break;
    }
    return {};
}

QWidget* MakeWidget(const Control& c, QWidget* parent) {
    const QString caption = QString::fromStdString(c.caption);
    switch (c.kind) {
        case ControlKind::TextBox: return new QLineEdit(caption, parent);
        case ControlKind::Button: return new QPushButton(caption, parent);
        case ControlKind::CheckBox: return new MouseUpCheckBox(caption, parent);
        case ControlKind::ListBox: {
            auto* list = new QListWidget(parent);
            if (c.checkboxes) {
                // Each row gets its tick box as it comes, unticked; Space
                // and a click on the box tick it (the item view's own keys).
                QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list,
                                 [list](const QModelIndex&, int first, int last) {
                                     for (int row = first; row <= last; ++row) {
                                         QListWidgetItem* item = list->item(row);
                                         item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                                         if (item->data(Qt::CheckStateRole).isNull()) item->setCheckState(Qt::Unchecked);
                                     }
                                 });
            }
            return list;
        }
        case ControlKind::PictureBox: {
            auto* box = new PictureBox(parent);
            box->setPicture(PictureOf(c.picture, {}));
            return box;
        }
        case ControlKind::Image: {
            auto* image = new QLabel(parent);
            image->setPixmap(PictureOf(c.picture, {16, 16}));
            image->setScaledContents(true);
            return image;
        }
        case ControlKind::LabelButton: {
            auto* label = new ClickLabel(caption, parent);
            label->setCursor(QCursor(ResourcePng(QStringLiteral(":/pointer.png")), 12, 1));
            return label;
        }
        case ControlKind::Label: break;
    }
    if (c.live) return new LiveLabel(caption, parent);
    return new QLabel(caption, parent);
}

// Calls `act` for the keys it is given, pressed in the widget it filters.
class KeyFilter : public QObject {
public:
    KeyFilter(QWidget* widget, QList<Qt::Key> keys, Qt::KeyboardModifiers held, std::function<void()> act)
        : QObject(widget), keys_(std::move(keys)), held_(held), act_(std::move(act)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (!keys_.contains(static_cast<Qt::Key>(key->key())) || mods != held_) return false;
        act_();
        return true;
    }

private:
    QList<Qt::Key> keys_;
    Qt::KeyboardModifiers held_;
    std::function<void()> act_;
};

}  // namespace

void ConnectClicks(QWidget& form, const FormLayout& layout, const std::map<std::string, QWidget*>& widgets,
                   const std::function<void(const std::string& control)>& click) {
    for (const Control& c : layout.controls) {
        auto* label = qobject_cast<ClickLabel*>(widgets.at(c.name));
        if (!label) continue;
        QObject::connect(label, &ClickLabel::clicked, &form, [click, name = c.name] { click(name); });
        if (const auto tip = KeyTip(layout, c.name)) label->setToolTip(QString::fromStdString(*tip));
    }
    for (const KeyBinding& k : KeyTable()) {
        if (k.form != layout.name) continue;
        const Qt::KeyboardModifiers held =
            (k.ctrl ? Qt::ControlModifier : Qt::NoModifier) | (k.shift ? Qt::ShiftModifier : Qt::NoModifier);
        QList<Qt::Key> keys;
        switch (k.key) {
            case Key::Enter: keys = {Qt::Key_Return, Qt::Key_Enter}; break;  // the keypad's too
            case Key::Escape: keys = {Qt::Key_Escape}; break;
            case Key::Delete: keys = {Qt::Key_Delete}; break;
            case Key::F1: keys = {Qt::Key_F1}; break;
            case Key::D: keys = {Qt::Key_D}; break;
            case Key::E: keys = {Qt::Key_E}; break;
            case Key::O: keys = {Qt::Key_O}; break;
            case Key::P: keys = {Qt::Key_P}; break;
            case Key::T: keys = {Qt::Key_T}; break;
        }
        const std::string name(k.control);
        if (!k.focus.empty()) {
            // A key of one control reaches it alone: no shortcut takes it first.
            new KeyFilter(widgets.at(std::string(k.focus)), keys, held, [click, name] { click(name); });
            continue;
        }
        for (const Qt::Key key : keys) {
            auto* shortcut = new QShortcut(QKeySequence(held | key), &form);
            shortcut->setContext(Qt::WindowShortcut);
            QObject::connect(shortcut, &QShortcut::activated, &form, [click, name] {
                if (!QApplication::activeModalWidget()) click(name);  // never under a question
            });
        }
    }
}

QIcon ProgramIcon() {
    // PNGs, which Qt reads itself: an .ico or a JPEG would load an image
    // plugin at start-up.
    QIcon icon;
    for (const int size : {16, 32, 48}) icon.addPixmap(ResourcePng(QStringLiteral(":/icon-%1.png").arg(size)));
    return icon;
}

QRect PixelRect(const Control& c) {
    return {TwipsToPixels(c.left), TwipsToPixels(c.top), TwipsToPixels(c.width), TwipsToPixels(c.height)};
}

QFont QtFont(const FontSpec& wanted) {
    QFont font;
    font.setFamilies(Families(wanted.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(wanted.points * 96.0 / 72.0)));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    if (wanted.face == "Arial Black") font.setWeight(QFont::Black);
    return font;
}

std::map<std::string, QWidget*> BuildForm(QWidget& form, const FormLayout& layout) {
    form.setFixedSize(TwipsToPixels(layout.width), TwipsToPixels(layout.height));
    form.setFont(QtFont(layout.font));
    if (!layout.caption.empty()) form.setWindowTitle(QString::fromStdString(layout.caption));

    std::map<std::string, QWidget*> widgets;
    for (const Control& c : layout.controls) {
        QWidget* parent = c.container.empty() ? &form : widgets.at(c.container);
        QWidget* widget = MakeWidget(c, parent);
        widget->setObjectName(QString::fromStdString(c.name));
        // Inside another control, places count from its inner area.
        const QPoint origin = c.container.empty() ? QPoint() : parent->contentsRect().topLeft();
        widget->setGeometry(PixelRect(c).translated(origin));
        if (c.font) widget->setFont(QtFont(*c.font));
        SetColours(widget, c);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (c.centred) label->setAlignment(Qt::AlignCenter);
            if (c.wordWrap) {
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
        }
        if (!c.visible) widget->hide();
        if (!c.accessibleName.empty()) widget->setAccessibleName(QString::fromStdString(c.accessibleName));
        if (c.unread) widget->setProperty(kUnreadProperty, true);
        if (c.name == layout.describedBy) form.setAccessibleDescription(QString::fromStdString(c.caption));
        widgets[c.name] = widget;
    }

    // Only the controls with a tab index take the focus, in that order; the
    // first one starts with it.
    std::vector<const Control*> tabbed;
    for (const Control& c : layout.controls) {
        if (c.tabIndex >= 0) tabbed.push_back(&c);
        else widgets[c.name]->setFocusPolicy(Qt::NoFocus);
    }
    std::sort(tabbed.begin(), tabbed.end(), [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 0; i < tabbed.size(); ++i) {
        QWidget* widget = widgets[tabbed[i]->name];
        if (widget->focusPolicy() == Qt::NoFocus) widget->setFocusPolicy(Qt::StrongFocus);
        if (i > 0) QWidget::setTabOrder(widgets[tabbed[i - 1]->name], widget);
    }
    if (!tabbed.empty()) widgets[tabbed.front()->name]->setFocus();
    return widgets;
}

}  // namespace tavrel
