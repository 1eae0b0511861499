// The main window on the offscreen platform: layout, start-up questions in
// real message boxes, and the settings written on close.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "qt/form1.h"
#include "qt/message_box.h"
#include "qt/settings_store.h"
#include "qt/widgets.h"
#include "window_test.h"

using namespace tavrel;
using tavrel::test::BoxAnswerer;

namespace {

EnvLookup NoProgramFiles() {
    return [](const std::string& name) -> std::optional<std::string> {
        if (name == "PROGRAMFILES") return std::string("/pf");
        return std::nullopt;
    };
}

void Touch(const QString& path) { std::ofstream(path.toStdString()) << "mod"; }

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        ini_ = dir_->filePath(QStringLiteral("TVL.conf"));
    }

    void captionLayoutAndFocus() {
        writeSettings({{"zhmode", "0"}, {"path", dir_->path()}});
        SettingsStore settings(ini_);
        Form1 form(settings, NoProgramFiles());
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QCOMPARE(form.windowTitle(), QStringLiteral("Tavrel - Generals Mod Manager v1.1.1"));
        QCOMPARE(form.size(), QSize(351, 446));
        QCOMPARE(child<QWidget>(form, "picGenerals")->geometry(), QRect(3, 3, 346, 116));
        QCOMPARE(child<QWidget>(form, "txtGeneralsFolder")->geometry(), QRect(6, 141, 340, 25));
        QCOMPARE(child<QWidget>(form, "lstMods")->geometry(), QRect(6, 198, 208, 134));
        QCOMPARE(child<QWidget>(form, "lblDeactivate")->geometry(), QRect(243, 226, 79, 13));
        QCOMPARE(child<QWidget>(form, "lblNextTip")->geometry(), QRect(297, 426, 49, 16));
        // Inside the banner, relative to the picture.
        QCOMPARE(child<QWidget>(form, "lblZeroHour")->geometry(), QRect(113, 59, 121, 24));

        auto* activate = child<QLabel>(form, "lblActivate");
        QCOMPARE(activate->text(), QStringLiteral("Activate Selected"));
        QVERIFY(activate->font().bold() && activate->font().underline());
        QCOMPARE(activate->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QCOMPARE(activate->palette().color(QPalette::Window), QColor(255, 224, 192));
        QCOMPARE(activate->cursor().hotSpot(), QPoint(12, 1));
        QCOMPARE(child<QLabel>(form, "lblActiveMod")->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QCOMPARE(child<QLabel>(form, "lblTipText")->text(),
                 QStringLiteral("Warning! Dont do something dumb, like run generals while activating a mod..."));
        QVERIFY(!child<QLabel>(form, "lblZeroHour")->isVisible());

        const QList<int> sizes = [&] {
            QList<int> out;
            for (const QSize& s : form.windowIcon().availableSizes()) out << s.width();
            std::sort(out.begin(), out.end());
            out.erase(std::unique(out.begin(), out.end()), out.end());
            return out;
        }();
        QCOMPARE(sizes, (QList<int>{16, 32, 48}));

        QWidget* expected[] = {child<QWidget>(form, "txtGeneralsFolder"), child<QWidget>(form, "cmdBrowse"),
                               child<QWidget>(form, "lstMods"), child<QWidget>(form, "picGenerals"),
                               child<QWidget>(form, "chkZHMode")};
        form.activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), expected[0]);
        for (int i = 1; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected[0]);  // labels take no focus
    }

    void firstRunQuestionAndSettingsOnClose() {
        SettingsStore settings(ini_);
        Form1 form(settings, NoProgramFiles());
        BoxAnswerer answers({Qt::Key_Return});  // Enter answers Yes
        form.Form_Load();
        QVERIFY(answers.done());
        QCOMPARE(answers.seen().size(), 1);
        QCOMPARE(answers.seen()[0].title, QStringLiteral("Tavrel"));
        QCOMPARE(answers.seen()[0].text,
                 QStringLiteral("Do you have Generals ZERO HOUR expansion pack (ZH Mod) installed?"));
        QCOMPARE(answers.seen()[0].icon, QMessageBox::Question);
        QCOMPARE(answers.seen()[0].buttons.size(), 2);
        QCOMPARE(readSetting("zhmode"), QStringLiteral("1"));
        QVERIFY(child<QCheckBox>(form, "chkZHMode")->isChecked());
        QCOMPARE(child<QLineEdit>(form, "txtGeneralsFolder")->text(),
                 QStringLiteral("/pf/EA Games/Command and Conquer Generals Zero Hour"));
        form.show();
        QVERIFY(child<QLabel>(form, "lblZeroHour")->isVisible());

        child<QLineEdit>(form, "txtGeneralsFolder")->setText(QString());
        form.close();
        QCOMPARE(readSetting("path"), QString());
        QCOMPARE(readSetting("zhmode"), QStringLiteral("1"));
    }

    void escapeAnswersNo() {
        SettingsStore settings(ini_);
        Form1 form(settings, NoProgramFiles());
        BoxAnswerer answers({Qt::Key_Escape});
        form.Form_Load();
        QVERIFY(answers.done());
        QCOMPARE(readSetting("zhmode"), QStringLiteral("0"));
        QVERIFY(!child<QCheckBox>(form, "chkZHMode")->isChecked());
        form.close();
        QCOMPARE(readSetting("path"), QStringLiteral("/pf/EA Games/Command and Conquer Generals"));
    }

    void severalModsAtStartUpShowTheWindowFirst() {
        Touch(dir_->filePath("__One.big"));
        Touch(dir_->filePath("__Two.big"));
        Touch(dir_->filePath("__Old.bit"));
        writeSettings({{"zhmode", "0"}, {"path", dir_->path()}});
        SettingsStore settings(ini_);
        Form1 form(settings, NoProgramFiles());
        bool visibleWhenAsked = false;
        BoxAnswerer answers({Qt::Key_Return});
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget()) visibleWhenAsked = visibleWhenAsked || form.isVisible();
        });
        probe.start(1);
        form.Form_Load();
        probe.stop();
        QVERIFY(answers.done());
        QVERIFY(visibleWhenAsked);
        QCOMPARE(answers.seen()[0].text,
                 QStringLiteral("More then one MOD has been found! Tavrel will de-activate all newly found MOD's. "
                                "(Except the first one found which is __One)"));
        QCOMPARE(answers.seen()[0].buttons.size(), 2);
        QCOMPARE(form.window().activeMod(), std::string("__One"));
        QCOMPARE(form.window().listEntries(), (std::vector<std::string>{"__Old", "__Two"}));
        auto* list = child<QListWidget>(form, "lstMods");
        QCOMPARE(list->count(), 2);
        QCOMPARE(child<QLabel>(form, "lblActiveMod")->text(), QStringLiteral("__One"));
        QVERIFY(QFile::exists(dir_->filePath("__Two.bit")));
    }

    void activateSelectedWithRealMessageBoxes() {
        Touch(dir_->filePath("__Alpha.big"));
        Touch(dir_->filePath("__Bravo.bit"));
        writeSettings({{"zhmode", "0"}, {"path", dir_->path()}});
        SettingsStore settings(ini_);
        Form1 form(settings, NoProgramFiles());
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        auto* list = child<QListWidget>(form, "lstMods");
        QCOMPARE(list->count(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(form.window().selectedIndex(), 0);

        BoxAnswerer answers({Qt::Key_Return, Qt::Key_Return, Qt::Key_Return});
        QTest::mouseClick(child<QLabel>(form, "lblActivate"), Qt::LeftButton);
        QVERIFY(answers.done());
        QCOMPARE(answers.seen()[0].text, QStringLiteral("Are you sure you want to activate __Bravo MOD?"));
        QCOMPARE(answers.seen()[1].text, QStringLiteral("Mod __Alpha Has Been De-activated..."));
        QCOMPARE(answers.seen()[2].text, QStringLiteral("MOD __Bravo activated..."));
        QCOMPARE(answers.seen()[2].icon, QMessageBox::Information);
        QVERIFY(QFile::exists(dir_->filePath("__Bravo.big")));
        QVERIFY(QFile::exists(dir_->filePath("__Alpha.bit")));
        QVERIFY(!QFile::exists(dir_->filePath("__Bravo.bit")));
        QCOMPARE(child<QLabel>(form, "lblActiveMod")->text(), QStringLiteral("__Bravo"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("__Alpha"));

        // Escape answers No: nothing is deleted.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        BoxAnswerer refuse({Qt::Key_Escape});
        QTest::mouseClick(child<QLabel>(form, "lblDelete"), Qt::LeftButton);
        QVERIFY(refuse.done());
        QCOMPARE(refuse.seen()[0].text, QStringLiteral("Are you sure you want to delete __Alpha mod?"));
        QVERIFY(QFile::exists(dir_->filePath("__Alpha.bit")));
    }

    void messageBoxesMapTheirButtons() {
        QWidget parent;
        {
            BoxAnswerer answers({Qt::Key_Escape});
            QCOMPARE(ShowMessage(&parent, "go on?", Buttons::OkCancel, Icon::Critical), Answer::Cancel);
            QCOMPARE(answers.seen()[0].icon, QMessageBox::Critical);
        }
        {
            BoxAnswerer answers({Qt::Key_Return});
            QCOMPARE(ShowMessage(&parent, "go on?", Buttons::OkCancel, Icon::Exclamation), Answer::Ok);
            QCOMPARE(answers.seen()[0].icon, QMessageBox::Warning);
        }
        {
            BoxAnswerer answers({Qt::Key_Escape});
            QCOMPARE(ShowMessage(&parent, "<b>not markup</b>", Buttons::Ok, Icon::Information), Answer::Ok);
            QCOMPARE(answers.seen()[0].text, QStringLiteral("<b>not markup</b>"));
        }
    }

    void defaultStoreLivesUnderXdgConfigHome() {
        SettingsStore settings;
        QCOMPARE(settings.location(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/TVL/TVL.conf");
        QVERIFY(settings.save("path", "/games/Generals"));
        QSettings raw(settings.location(), QSettings::IniFormat);
        QCOMPARE(raw.value("Settings/path").toString(), QStringLiteral("/games/Generals"));
    }

private:
    template <typename T>
    static T* child(const QWidget& form, const char* name) {
        T* w = form.findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    void writeSettings(const QList<QPair<QString, QString>>& values) {
        QSettings s(ini_, QSettings::IniFormat);
        for (const auto& [k, v] : values) s.setValue("Settings/" + k, v);
    }
    QString readSetting(const QString& key) {
        QSettings s(ini_, QSettings::IniFormat);
        return s.value("Settings/" + key, QStringLiteral("<missing>")).toString();
    }
    std::unique_ptr<QTemporaryDir> dir_;
    QString ini_;
};

int main(int argc, char** argv) { return tavrel::test::RunWindowTests<Form1Test>(argc, argv); }

#include "form1_test.moc"
