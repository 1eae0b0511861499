// Helpers of the window tests: answering the real modal dialogs from a
// script, and a main() that keeps the tests off the real display and the
// real settings.
#pragma once

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "qt/form1.h"
#include "qt/settings_store.h"

namespace tavrel::test {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Each time a message box opens, records it and presses `key` on it
// (Enter answers the first button, Escape Cancel or No). Stops after
// `count` boxes.
class BoxAnswerer {
public:
    BoxAnswerer(QList<int> keys) : keys_(std::move(keys)) { poll(); }
    const QList<SeenBox>& seen() const { return seen_; }
    bool done() const { return keys_.isEmpty(); }

private:
    void poll() {
        QTimer::singleShot(10, [this, alive = std::weak_ptr<int>(alive_)] {
            if (alive.expired() || keys_.isEmpty()) return;
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible() && box->defaultButton() && box->defaultButton()->isVisible()) {
                if (box != last_) {
                    last_ = box;
                    SeenBox s{box->windowTitle(), box->text(), box->icon(), {}};
                    for (QAbstractButton* b : box->buttons()) s.buttons << b->text().remove('&');
                    seen_ << s;
                    QTest::keyClick(box, static_cast<Qt::Key>(keys_.takeFirst()));
                }
            }
            poll();
        });
    }
    QList<int> keys_;
    QList<SeenBox> seen_;
    QPointer<QMessageBox> last_;  // null once that box is gone, even if the next reuses its address
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// Runs `act` on the next modal dialog of type T once it is open, again and
// again until `act` answers true (a file dialog may refuse an answer while
// it is still reading its folder).
template <typename T>
void OnNextModal(std::function<bool(T*)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            if (act(dialog)) {
                *poll = nullptr;  // break the cycle
                return;
            }
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(10, *poll);
}

// A main window loaded on the game folder "game" of a temporary folder, with
// Generals mode stored so that no first-run question comes, and shown.
class LoadedWindow {
public:
    LoadedWindow() : settings_(dir_.filePath(QStringLiteral("TVL.conf"))) {
        settings_.save(QStringLiteral("zhmode"), QStringLiteral("0"));
        settings_.save(QStringLiteral("path"), game());
        QDir(dir_.path()).mkpath(QStringLiteral("game"));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString game() const { return path(QStringLiteral("game")); }
    Form1& form() { return *form_; }

    // Creates, loads and shows the window; false when it never appeared.
    bool open() {
        form_ = std::make_unique<Form1>(settings_, SystemEnvironment());
        form_->Form_Load();
        form_->show();
        return QTest::qWaitForWindowExposed(form_.get());
    }

private:
    QTemporaryDir dir_;
    SettingsStore settings_;
    std::unique_ptr<Form1> form_;
};

// Runs the Qt Test object T on the offscreen platform (unless a platform is
// given), with the per-user settings and data in temporary folders.
template <typename T>
int RunWindowTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config, data;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QApplication app(argc, argv);
    T test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace tavrel::test
