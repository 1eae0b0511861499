#include "qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include "qt/widgets.h"
#include "ui/keys.h"

namespace tavrel {
namespace {

// A label-button as the push button it acts as.
class LabelButtonAccessible : public QAccessibleWidget {
public:
    explicit LabelButtonAccessible(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return label()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    // The click asks its questions in modal boxes: it runs once the screen
    // reader's request has been answered.
    void doAction(const QString& action) override {
        if (action == pressAction()) QMetaObject::invokeMethod(label(), &ClickLabel::click, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        const KeyBinding* key = KeyOf("Form1", label()->objectName().toStdString());
        if (action != pressAction() || !key) return {};
        return {QString::fromUtf8(key->text.data(), static_cast<qsizetype>(key->text.size()))};
    }

private:
    ClickLabel* label() const { return static_cast<ClickLabel*>(widget()); }
};

// The tip line: a status text whose changes are told.
class LiveTextAccessible : public QAccessibleWidget {
public:
    explicit LiveTextAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (auto* label = qobject_cast<ClickLabel*>(object)) return new LabelButtonAccessible(label);
    if (auto* label = qobject_cast<LiveLabel*>(object)) return new LiveTextAccessible(label);
    // The banner is a picture, not a frame of its own.
    if (auto* banner = qobject_cast<PictureBox*>(object)) return new QAccessibleWidget(banner, QAccessible::Graphic);
    // Tavrel's own windows (not its dialogs, which are Qt's) are windows.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->isWindow() && className.startsWith(QLatin1String("tavrel::Form"))) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

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
}

}  // namespace tavrel
