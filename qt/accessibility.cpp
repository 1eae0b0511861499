#include "qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <string>

#include "qt/form_builder.h"
#include "qt/widgets.h"
#include "ui/keys.h"
#include "ui/text_units.h"

namespace tavrel {
namespace {

// A key as AT-SPI spells an accelerator ("<Control><Shift>t"), which a
// screen reader reads out as "Ctrl+Shift+T".
QString Accelerator(const KeyBinding& key) {
    QString text;
    if (key.ctrl) text += QStringLiteral("<Control>");
    if (key.shift) text += QStringLiteral("<Shift>");
    switch (key.key) {
        case Key::Enter: return text + QStringLiteral("Return");
        case Key::Escape: return text + QStringLiteral("Escape");
        case Key::Delete: return text + QStringLiteral("Delete");
        case Key::F1: return text + QStringLiteral("F1");
        case Key::D: return text + QLatin1Char('d');
        case Key::E: return text + QLatin1Char('e');
        case Key::O: return text + QLatin1Char('o');
        case Key::P: return text + QLatin1Char('p');
        case Key::T: return text + QLatin1Char('t');
    }
    return {};
}

// A label-button as the push button it acts as.
class LabelButtonAccessible : public QAccessibleWidget {
public:
    explicit LabelButtonAccessible(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return label()->text();
        // The tooltip tells the key; an accelerator is spoken already.
        if (t == QAccessible::Description && !keyBindingsForAction(pressAction()).isEmpty()) return {};
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    // The click asks its questions in modal boxes: it runs once the screen
    // reader's request has been answered.
    void doAction(const QString& action) override {
        if (action == pressAction()) QMetaObject::invokeMethod(label(), &ClickLabel::click, Qt::QueuedConnection);
    }
    // As "mnemonic;shortcut;accelerator", the accelerator a screen reader
    // speaks with the button: a key that works anywhere in the window as a
    // key ("<Control>d", read "Ctrl+D"), one of a single control as words
    // ("Enter in the list").
    QStringList keyBindingsForAction(const QString& action) const override {
        const KeyBinding* key = KeyOf("Form1", label()->objectName().toStdString());
        if (action != pressAction() || !key) return {};
        const QString words = QString::fromUtf8(key->text.data(), static_cast<qsizetype>(key->text.size()));
        return {QString(), QString(), key->focus.empty() ? Accelerator(*key) : words};
    }

private:
    ClickLabel* label() const { return static_cast<ClickLabel*>(widget()); }
};

// The tip line: a notification, which a screen reader speaks whenever it is
// shown anew, wherever the keyboard is.
class LiveTextAccessible : public QAccessibleWidget {
public:
    explicit LiveTextAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// Tavrel's own windows, without the widgets that screen readers are not
// shown (decorations, captions that the next control's name says). The
// Tools window is a dialog, whose description says what it is for.
class FormAccessible : public QAccessibleWidget {
public:
    FormAccessible(QWidget* form, QAccessible::Role role) : QAccessibleWidget(form, role) {}

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = children();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(children().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget*> children() const {
        QList<QWidget*> shown;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->isWindow() && !w->property(kUnreadProperty).toBool()) shown.append(w);
        }
        return shown;
    }
};

TextUnit UnitOf(QAccessible::TextBoundaryType boundary) {
    switch (boundary) {
        case QAccessible::CharBoundary: return TextUnit::Character;
        case QAccessible::WordBoundary: return TextUnit::Word;
        case QAccessible::SentenceBoundary: return TextUnit::Sentence;
        default: return TextUnit::Line;  // paragraph, line, or the whole text: one line here
    }
}

// A one-line text box. Qt's own answers a screen reader's question for the
// word or sentence at some offsets (the end of the text among them) by
// looping forever; this one answers through TextUnitAt, and keeps Qt's
// behaviour everywhere else.
class LineEditAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return shown();
        return QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value && !edit()->isReadOnly()) edit()->setText(text);
        else QAccessibleWidget::setText(t, text);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !edit()->isReadOnly();
        s.readOnly = edit()->isReadOnly();
        s.selectableText = true;
        s.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        return s;
    }

    // QAccessibleTextInterface
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !edit()->hasSelectedText()) return;
        *start = edit()->selectionStart();
        *end = *start + static_cast<int>(edit()->selectedText().size());
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) edit()->deselect();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override {
        const QString all = shown();
        start = std::clamp(start, 0, static_cast<int>(all.size()));
        end = std::clamp(end, start, static_cast<int>(all.size()));
        return all.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override {
        return unit(offset, b, -1, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override {
        return unit(offset, b, 1, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType b, int* start, int* end) const override {
        return unit(offset, b, 0, start, end);
    }
    // Where a character is on the screen: measured from the cursor, whose
    // place the box knows with its scrolling.
    QRect characterRect(int offset) const override {
        const QString all = shown();
        if (offset < 0 || offset >= all.size()) return {};
        const QFontMetrics metrics(edit()->font());
        const QRect cursor = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int at = edit()->cursorPosition();
        const int x = offset >= at ? cursor.x() + metrics.horizontalAdvance(all.mid(at, offset - at))
                                   : cursor.x() - metrics.horizontalAdvance(all.mid(offset, at - offset));
        const QPoint topLeft = edit()->mapToGlobal(QPoint(x, cursor.y()));
        return {topLeft, QSize(metrics.horizontalAdvance(all.mid(offset, 1)), cursor.height())};
    }
    int offsetAtPoint(const QPoint& point) const override {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int) override { edit()->setCursorPosition(startIndex); }
    // One run of no particular attributes over the whole text: a reader
    // that joins the runs gets every character.
    QString attributes(int offset, int* start, int* end) const override {
        const int count = characterCount();
        *start = offset < count ? 0 : count;
        *end = count;
        return {};
    }

private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
    // What the box shows: the text, or its dots for a password.
    QString shown() const {
        return edit()->echoMode() == QLineEdit::Normal ? edit()->text() : edit()->displayText();
    }
    QString unit(int offset, QAccessible::TextBoundaryType b, int step, int* start, int* end) const {
        const QString all = shown();
        const std::u16string_view text(reinterpret_cast<const char16_t*>(all.utf16()), static_cast<std::size_t>(all.size()));
        const TextSpan span = TextUnitAt(text, offset, UnitOf(b), step);
        *start = span.start;
        *end = span.end;
        return all.mid(span.start, span.end - span.start);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (auto* label = qobject_cast<ClickLabel*>(object)) return new LabelButtonAccessible(label);
    if (auto* label = qobject_cast<LiveLabel*>(object)) return new LiveTextAccessible(label);
    // Every one-line box of the program, Qt's dialogs' too.
    if (auto* edit = qobject_cast<QLineEdit*>(object)) return new LineEditAccessible(edit);
    // The banner is a picture, not a frame of its own.
    if (auto* banner = qobject_cast<PictureBox*>(object)) return new QAccessibleWidget(banner, QAccessible::Graphic);
    // Tavrel's own windows (not its dialogs, which are Qt's) are windows;
    // the Tools window is a dialog.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->isWindow() && className.startsWith(QLatin1String("tavrel::Form"))) {
        const bool tools = className == QLatin1String("tavrel::Form2") || className == QLatin1String("tavrel::Form3");
        return new FormAccessible(widget, tools ? QAccessible::Dialog : QAccessible::Window);
    }
    return nullptr;
}

// Tells a screen reader which row is current whenever the list gets the
// keyboard: Qt tells only that the list has it.
class CurrentRowTeller : public QObject {
public:
    explicit CurrentRowTeller(QListWidget* list) : QObject(list), list_(list) { list->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // After Qt's own news of the focus, and its choice of a current row.
            QTimer::singleShot(0, this, [this] {
                if (!list_ || !list_->hasFocus() || list_->currentRow() < 0 || !QAccessible::isActive()) return;
                QAccessibleEvent current(list_.data(), QAccessible::Focus);
                current.setChild(list_->currentRow());
                QAccessible::updateAccessibility(&current);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QListWidget> list_;
};

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void AnnounceTextChange(QWidget* live) {
    QAccessibleEvent changed(live, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    // A screen reader speaks a notification as it is shown.
    QAccessibleEvent shown(live, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void TellCurrentRowOnFocus(QListWidget* list) { new CurrentRowTeller(list); }

}  // namespace tavrel
