// The real Qt dialogs behind the file chooser and the folder browser, the
// mode check box and an installation driven through them.
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QProgressDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "qt/chooser.h"
#include "qt/form1.h"
#include "window_test.h"

using namespace tavrel;

namespace {

void Touch(const QString& path, const char* text = "mod") { std::ofstream(path.toStdString()) << text; }

QStringList Shown(QFileDialog* dialog) {
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return names;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        w_ = std::make_unique<test::WindowFixture>();
        QDir().mkpath(w_->path("downloads"));
        form_ = &w_->open();
    }
    void cleanup() {
        form_ = nullptr;
        w_.reset();
    }

    void fileDialogShowsTheRequestAndAppendsTheExtension() {
        const QString downloads = w_->path("downloads");
        Touch(downloads + "/MOD.BIG");
        Touch(downloads + "/notes.txt");
        QStringList filters, shown;
        QString title, folder;
        w_->onNextDialog([&](QFileDialog& d) {
            title = d.windowTitle();
            filters = d.nameFilters();
            folder = d.directory().absolutePath();
            d.show();  // the folder is read in the background, for a dialog on screen
            (void)QTest::qWaitFor([&] { return !Shown(&d).isEmpty(); }, 10000);
            shown = Shown(&d);
            auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            edit->setText(QStringLiteral("typed-new-mod"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        const std::string chosen = ShowOpenFile(*form_, "Generals MOD Files (*.big)|*.big|All (*.*)|*.*", "", "Pick one",
                                                "big", downloads.toStdString());
        QCOMPARE(title, QStringLiteral("Pick one"));
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters[0].startsWith(QStringLiteral("Generals MOD Files (*.big) (")));
        QCOMPARE(folder, downloads);
        QCOMPARE(shown, QStringList{QStringLiteral("MOD.BIG")});  // the pattern ignores letter case
        QCOMPARE(QString::fromStdString(chosen), downloads + "/typed-new-mod.big");
    }

    void cancelledDialogsGiveTheirDefaults() {
        const auto escape = [](QFileDialog& d) {
            d.show();
            QTest::keyClick(&d, Qt::Key_Escape);
        };
        w_->onNextDialog(escape);
        QCOMPARE(ShowOpenFile(*form_, "", "the default", "", "big", ""), std::string("the default"));
        w_->onNextDialog(escape);
        QCOMPARE(BrowseForFolder(*form_, "Pick", "", 0), std::string());
        QVERIFY(w_->dialogsDone());
    }

    void folderBrowserStartsAtTheStartFolder() {
        const QString downloads = w_->path("downloads");
        QString title;
        w_->onNextDialog([&](QFileDialog& d) {
            title = d.windowTitle();
            QMetaObject::invokeMethod(&d, "accept");  // "Choose" with nothing picked: the folder shown
        });
        QCOMPARE(QString::fromStdString(BrowseForFolder(*form_, "Select Your Generals Folder...",
                                                        downloads.toStdString(), 0)),
                 downloads);
        QCOMPARE(title, QStringLiteral("Select Your Generals Folder..."));
    }

    // The mode box asks on a mouse click and on Space alike: the tick never
    // shows a mode the program does not hold.
    void modeCheckBoxAsksOnMouseAndOnSpace() {
        auto* box = form_->findChild<QCheckBox*>(QStringLiteral("chkZHMode"));
        const QString switchOn = QStringLiteral("Are you sure you want to switch to Generals ZERO HOUR mode? (Only do "
                                                "this if you have *installed* the ZERO HOUR expansion pack!)");
        box->setFocus();
        w_->answer({Qt::Key_Escape});  // No: the tick goes back
        QTest::keyClick(box, Qt::Key_Space);
        QVERIFY(w_->answered());
        QCOMPARE(w_->boxes()[0].text, switchOn);
        QVERIFY(!box->isChecked());
        QCOMPARE(form_->window().zhMode(), 0);

        QTest::mouseClick(box, Qt::RightButton);  // tick equals the mode: no question
        QCOMPARE(form_->window().zhMode(), 0);

        w_->answer({Qt::Key_Return});
        QTest::keyClick(box, Qt::Key_Space);
        QVERIFY(w_->answered());
        QCOMPARE(form_->window().zhMode(), 1);
        QVERIFY(box->isChecked());
        QVERIFY(form_->findChild<QLabel*>(QStringLiteral("lblZeroHour"))->isVisible());
        QCOMPARE(w_->stored("zhmode"), QStringLiteral("1"));

        w_->answer({Qt::Key_Return});
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(w_->answered());
        QCOMPARE(form_->window().zhMode(), 0);
        QCOMPARE(w_->stored("zhmode"), QStringLiteral("0"));
    }

    void installThroughTheRealDialogs() {
        const QString source = w_->path("downloads/_Storm.big");
        Touch(source, "storm bytes");
        w_->answer({Qt::Key_Return, Qt::Key_Escape});  // OK to the introduction, No to activating
        w_->onNextDialog([&](QFileDialog& d) {
            // As typed into the name box; selectFile() leaves a focused box alone.
            d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(source);
            QMetaObject::invokeMethod(&d, "accept");
        });
        QTest::mouseClick(form_->findChild<QLabel*>(QStringLiteral("lblInstallMod")), Qt::LeftButton);
        QVERIFY(w_->answered());
        QVERIFY(w_->boxes()[1].text.endsWith(QStringLiteral("renamed the MOD to __Storm.bit\n\nWould you like to "
                                                               "activate this MOD now?")));
        QFile copy(w_->path("game/__Storm.bit"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("storm bytes"));
        QCOMPARE(form_->window().listEntries(), std::vector<std::string>{"__Storm"});
    }

    // The checklist of a mod's archives: every row ticked, the name box
    // filled and the list holding the focus at first; Space ticks the current
    // row; OK and Enter answer only while a row is ticked and there is a name.
    void archiveChooserAnswersTheTicksAndTheName() {
        using Parts = std::function<void(QDialog&, QListWidget&, QLineEdit&, QPushButton&)>;
        using Answer = std::optional<std::pair<std::vector<std::size_t>, std::string>>;
        const auto run = [&](const Parts& act) -> Answer {
            SetChooserHook([&](QDialog& d) {
                auto* list = d.findChild<QListWidget*>(QStringLiteral("lstArchiveMods"));
                auto* name = d.findChild<QLineEdit*>(QStringLiteral("txtModName"));
                auto* ok = d.findChild<QPushButton*>(QStringLiteral("cmdOK"));
                QVERIFY(list && name && ok && ok->isEnabled());
                QCOMPARE(list->item(1)->text(), QStringLiteral("Storm.big (100 KB)"));
                QVERIFY(list->item(0)->checkState() == Qt::Checked && list->item(1)->checkState() == Qt::Checked);
                QCOMPARE(name->text(), QStringLiteral("Mod Pack"));
                d.show();
                QCOMPARE(d.focusWidget(), list);
                act(d, *list, *name, *ok);
            });
            const auto chosen = form_->showChooser({"Blue.big (50.0 KB)", "Storm.big (100 KB)"}, "Mod Pack");
            SetChooserHook({});
            if (!chosen) return std::nullopt;
            return std::make_pair(chosen->ticked, chosen->name);
        };
        QCOMPARE(run([](QDialog&, QListWidget& list, QLineEdit&, QPushButton& ok) {
                     QTest::keyClick(&list, Qt::Key_Space);
                     QTest::mouseClick(&ok, Qt::LeftButton);
                 }),
                 Answer({{1}, "Mod Pack"}));
        QCOMPARE(run([](QDialog& d, QListWidget& list, QLineEdit&, QPushButton& ok) {
                     list.item(0)->setCheckState(Qt::Unchecked);
                     list.item(1)->setCheckState(Qt::Unchecked);
                     QTest::keyClick(&list, Qt::Key_Return);
                     QVERIFY(!ok.isEnabled() && d.isVisible());
                     list.item(1)->setCheckState(Qt::Checked);
                     QTest::keyClick(&list, Qt::Key_Return);
                 }),
                 Answer({{1}, "Mod Pack"}));
        QCOMPARE(run([](QDialog& d, QListWidget&, QLineEdit& name, QPushButton& ok) {
                     name.clear();
                     QTest::keyClick(&name, Qt::Key_Return);
                     QVERIFY(!ok.isEnabled() && d.isVisible());
                     QTest::keyClicks(&name, QStringLiteral(" Storm Wave"));  // taken as typed
                     QTest::keyClick(&name, Qt::Key_Return);
                 }),
                 Answer({{0, 1}, " Storm Wave"}));
        QCOMPARE(run([](QDialog& d, QListWidget&, QLineEdit&, QPushButton&) { QTest::keyClick(&d, Qt::Key_Escape); }),
                 Answer());
    }

    // The open dialog in which several files are picked together; a name
    // typed without extension is found with the default one.
    void openDialogTakesSeveralFiles() {
        const QString downloads = w_->path("downloads");
        Touch(downloads + "/Blue.big");
        Touch(downloads + "/Storm.gib");
        QString title;
        QFileDialog::FileMode mode{};
        w_->onNextDialog([&](QFileDialog& d) {
            title = d.windowTitle();
            mode = d.fileMode();
            d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("\"Blue\" \"Storm.gib\""));
            QMetaObject::invokeMethod(&d, "accept");
        });
        QCOMPARE(ShowOpenFiles(*form_, "Archives (*.big;*.gib)|*.big;*.gib", "Pick them", "big", downloads.toStdString()),
                 (std::vector<std::string>{(downloads + "/Blue.big").toStdString(),
                                           (downloads + "/Storm.gib").toStdString()}));
        QCOMPARE(title, QStringLiteral("Pick them"));
        QCOMPARE(mode, QFileDialog::ExistingFiles);
    }

    void longCopiesShowProgressWithCancel() {
        auto progress = form_->showCopyProgress("Installing Storm.big...");
        QVERIFY(progress->update(0, 1000));
        QTest::qWait(450);
        QVERIFY(progress->update(100, 1000));
        auto* dialog = form_->findChild<QProgressDialog*>(QStringLiteral("copyProgress"));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->labelText(), QStringLiteral("Installing Storm.big..."));
        QCOMPARE(dialog->value(), 100);
        QTest::keyClick(dialog, Qt::Key_Escape);  // Cancel
        QVERIFY(!progress->update(200, 1000));
        progress.reset();
        QVERIFY(!form_->findChild<QProgressDialog*>(QStringLiteral("copyProgress")));
    }

private:
    std::unique_ptr<test::WindowFixture> w_;
    Form1* form_ = nullptr;
};

int main(int argc, char** argv) { return tavrel::test::RunWindowTests<DialogsTest>(argc, argv); }

#include "dialogs_test.moc"
