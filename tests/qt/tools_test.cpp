// The hidden Tools window, the tip line and the readme in the real window.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "qt/form1.h"
#include "qt/widgets.h"
#include "window_test.h"
#include "qt/form2.h"

using namespace tavrel;

namespace {

void Write(const QString& path, const char* text) {
    QDir().mkpath(QFileInfo(path).path());
    std::ofstream(path.toStdString()) << text;
}

QString ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>");
}

}  // namespace

class ToolsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        w_ = std::make_unique<test::WindowFixture>();
        Write(w_->path("game/Data/English/Movies/EA_LOGO.bik"), "logo");
        form_ = &w_->open();
    }
    void cleanup() {
        form_ = nullptr;
        w_.reset();
    }

    void shiftRightClickOnTheBannerOpensOneToolsWindow() {
        auto* banner = form_->findChild<PictureBox*>(QStringLiteral("picGenerals"));
        QTest::mouseClick(banner, Qt::RightButton);
        QTest::mouseClick(banner, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
        QTest::mouseClick(banner, Qt::LeftButton, Qt::ShiftModifier);
        QVERIFY(!form_->findChild<Form2*>());

        QTest::mouseClick(banner, Qt::RightButton, Qt::ShiftModifier);
        auto* tools = form_->findChild<Form2*>();
        QVERIFY(tools && tools->isVisible());
        QCOMPARE(tools->windowTitle(), QStringLiteral("Tools..."));
        QCOMPARE(tools->size(), QSize(329, 224));
        QCOMPARE(tools->parentWidget(), static_cast<QWidget*>(form_));  // owned by the main window
        QVERIFY(tools->isWindow());
        QCOMPARE(tools->windowIcon().cacheKey(), form_->windowIcon().cacheKey());
        QCOMPARE(tools->tools().GeneralsFolder, w_->path("game").toStdString());
        QCOMPARE(tools->findChild<QWidget*>(QStringLiteral("Command2"))->geometry(), QRect(12, 69, 70, 22));
        QTRY_COMPARE(QApplication::focusWidget(), tools->findChild<QWidget*>(QStringLiteral("Command1")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), tools->findChild<QWidget*>(QStringLiteral("Command2")));

        form_->window().setFolderText(w_->path("elsewhere").toStdString());
        QTest::mouseClick(banner, Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(form_->findChildren<Form2*>().size(), 1);
        QCOMPARE(tools->tools().GeneralsFolder, w_->path("elsewhere").toStdString());
    }

    void disableFromTheToolsWindowAndCloseIt() {
        form_->window().showTools(form_->window().folderText());
        auto* tools = form_->findChild<Form2*>();
        w_->answer({Qt::Key_Return});
        QTest::mouseClick(tools->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(w_->answered());
        QCOMPARE(w_->boxes()[0].text, QStringLiteral("Startup Items Have Been Changed Successfully."));
        QVERIFY(QFile::exists(w_->path("game/Data/English/Movies/__EA_LOGO.bik")));

        form_->hide();
        QVERIFY(tools->close());
        QVERIFY(form_->isVisible());  // brought back by the Tools window
        QTRY_VERIFY(!form_->findChild<Form2*>());  // unloaded: the next opening loads it afresh
    }

    void closingTheMainWindowTakesTheToolsWindowAlong() {
        form_->window().showTools(form_->window().folderText());
        QVERIFY(form_->findChild<Form2*>()->isVisible());
        QVERIFY(form_->close());
        QVERIFY(!form_->findChild<Form2*>());
        QVERIFY(!form_->isVisible());
    }

    void nextTipCyclesThroughTheTips() {
        auto* tip = form_->findChild<QLabel*>(QStringLiteral("lblTipText"));
        auto* next = form_->findChild<QLabel*>(QStringLiteral("lblNextTip"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(tip->text(),
                 QStringLiteral("Make sure Generals Game is closed completely before activating or deactivating a mod!"));
        for (int i = 0; i < 10; ++i) QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(tip->text(), QString::fromLatin1(kTipWarning));
    }

    void viewReadMeOpensTheFileOrSaysWhyNot() {
        // A stand-in for the desktop's handler, first in PATH.
        const QString bin = w_->path("bin");
        const QString record = w_->path("opened.txt");
        Write(bin + "/xdg-open", qPrintable("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + record + "'\n"));
        QFile::setPermissions(bin + "/xdg-open", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8());

        // Beside the program, or per user where the program's folder is read-only.
        const QString appDir = QCoreApplication::applicationDirPath();
        const QString readme = QFileInfo(appDir).isWritable()
                                   ? appDir + "/readme.txt"
                                   : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                         "/TVL/readme.txt";
        QFile::remove(readme);
        QTest::mouseClick(form_->findChild<QLabel*>(QStringLiteral("lblViewHelp")), Qt::LeftButton);
        QTRY_COMPARE(ReadAll(record), "1|" + readme);  // the path as one argument
        QVERIFY(ReadAll(readme).startsWith(QStringLiteral("Tavrel - Generals Mod Manager v1.1.1")));
        QTest::qWait(100);  // let the launcher's end be noticed

        Write(bin + "/xdg-open", "#!/bin/sh\nexit 3\n");  // no handler for text files
        w_->answer({Qt::Key_Return});
        QTest::mouseClick(form_->findChild<QLabel*>(QStringLiteral("lblViewHelp")), Qt::LeftButton);
        QTRY_VERIFY(w_->answered());
        QCOMPARE(w_->boxes()[0].text, "Tavrel could not open " + readme +
                                            " in a text editor. (xdg-open found no program to open it (exit code 3))");

        QFile::remove(bin + "/xdg-open");  // none at all
        w_->answer({Qt::Key_Return});
        QTest::mouseClick(form_->findChild<QLabel*>(QStringLiteral("lblViewHelp")), Qt::LeftButton);
        QTRY_VERIFY(w_->answered());
        QVERIFY(w_->boxes()[0].text.startsWith("Tavrel could not open " + readme + " in a text editor. ("));
        qputenv("PATH", path);
        QFile::remove(readme);
    }

private:
    std::unique_ptr<test::WindowFixture> w_;
    Form1* form_ = nullptr;
};

int main(int argc, char** argv) { return tavrel::test::RunWindowTests<ToolsTest>(argc, argv); }

#include "tools_test.moc"
