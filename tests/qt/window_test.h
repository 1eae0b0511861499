// The one fixture of the window tests: a temporary folder with a game folder
// and a settings file, the main window on them, and the user's answers to
// message boxes and file dialogs given synchronously through the seams of
// the Qt layer. RunWindowTests keeps the tests off the real display and the
// real settings.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "qt/file_dialogs.h"
#include "qt/form1.h"
#include "qt/message_box.h"
#include "qt/settings_store.h"

namespace tavrel::test {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool ownerVisible = false;  // the window that asks was on screen
};

class WindowFixture {
public:
    WindowFixture() : settings_(path(QStringLiteral("TVL.conf"))) {
        QDir(dir_.path()).mkpath(QStringLiteral("game"));
        store(QStringLiteral("zhmode"), QStringLiteral("0"));  // no first-run question
        store(QStringLiteral("path"), game());
        SetMessageBoxHook([this](QMessageBox& box) { answerBox(box); });
        SetFileDialogHook([this](QFileDialog& dialog) { answerDialog(dialog); });
    }
    ~WindowFixture() {
        form_.reset();
        SetMessageBoxHook({});
        SetFileDialogHook({});
    }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString game() const { return path(QStringLiteral("game")); }

    // The settings file, as the window reads and writes it.
    void store(const QString& key, const QString& value) {
        QSettings(path(QStringLiteral("TVL.conf")), QSettings::IniFormat).setValue("Settings/" + key, value);
    }
    void forget(const QString& key) {
        QSettings(path(QStringLiteral("TVL.conf")), QSettings::IniFormat).remove("Settings/" + key);
    }
    QString stored(const QString& key) const {
        return QSettings(path(QStringLiteral("TVL.conf")), QSettings::IniFormat)
            .value("Settings/" + key, QStringLiteral("<missing>"))
            .toString();
    }

    // Creates and loads the main window, and shows it unless told not to.
    Form1& open(EnvLookup env = SystemEnvironment(), bool show = true) {
        form_ = std::make_unique<Form1>(settings_, std::move(env));
        form_->Form_Load();
        if (show) {
            form_->show();
            if (!QTest::qWaitForWindowExposed(form_.get())) qFatal("the window never appeared");
        }
        return *form_;
    }
    Form1& form() { return *form_; }

    // The keys the user presses on the next message boxes: Enter answers the
    // first button, Escape Cancel or No. A box beyond them is answered with
    // Escape and recorded like the others.
    void answer(QList<int> keys) {
        keys_ = std::move(keys);
        seen_.clear();
    }
    const QList<SeenBox>& boxes() const { return seen_; }
    bool answered() const { return keys_.isEmpty(); }

    // What the user does in the next file dialog or folder browser, which
    // `act` gets ready to show.
    void onNextDialog(std::function<void(QFileDialog&)> act) { dialogs_.append(std::move(act)); }
    bool dialogsDone() const { return dialogs_.isEmpty(); }

private:
    void answerBox(QMessageBox& box) {
        SeenBox s{box.windowTitle(), box.text(), box.icon(), {},
                  box.parentWidget() && box.parentWidget()->isVisible()};
        for (QAbstractButton* b : box.buttons()) s.buttons << b->text().remove('&');
        seen_ << s;
        box.show();  // Enter reaches only the default button of a box on screen
        QTest::keyClick(&box, static_cast<Qt::Key>(keys_.isEmpty() ? Qt::Key_Escape : keys_.takeFirst()));
        box.hide();
    }
    void answerDialog(QFileDialog& dialog) {
        if (dialogs_.isEmpty()) return;  // not accepted: cancelled
        dialogs_.takeFirst()(dialog);
        dialog.hide();
    }

    QTemporaryDir dir_;
    SettingsStore settings_;
    std::unique_ptr<Form1> form_;
    QList<int> keys_;
    QList<SeenBox> seen_;
    QList<std::function<void(QFileDialog&)>> dialogs_;
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
