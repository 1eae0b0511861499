// The main window on the offscreen platform: layout, start-up questions in
// real message boxes, and the settings written on close.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
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

namespace {

EnvLookup NoProgramFiles() {
    return [](const std::string& name) -> std::optional<std::string> {
        if (name == "PROGRAMFILES") return std::string("/pf");
        return std::nullopt;
    };
}

void Touch(const QString& path) { std::ofstream(path.toStdString()) << "mod"; }

// A drag's files as another program hands them over: the kind is known at
// once, the files themselves only from the `late`-th time they are asked for.
class LateFiles : public QMimeData {
public:
    LateFiles(QList<QUrl> urls, int late) : urls_(std::move(urls)), late_(late) {}
    QStringList formats() const override { return {QStringLiteral("text/uri-list")}; }

protected:
    QVariant retrieveData(const QString&, QMetaType) const override {
        if (++asked_ < late_) return {};
        QVariantList out;
        for (const QUrl& url : urls_) out << url;
        return out;
    }

private:
    QList<QUrl> urls_;
    int late_;
    mutable int asked_ = 0;
};

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init() { w_ = std::make_unique<test::WindowFixture>(); }
    void cleanup() { w_.reset(); }

    void captionLayoutAndFocus() {
        Form1& form = w_->open(NoProgramFiles());

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
        // A folder this user may not change takes the tip line while it is
        // loaded, with the restart offered where one helps; the tip comes back.
        QVERIFY(!child<QLabel>(form, "lblRestartAdmin")->isVisible());
        form.window().showFolderRights("Windows protects this game folder.", true);
        QCOMPARE(child<QLabel>(form, "lblTipText")->text(), QStringLiteral("Windows protects this game folder."));
        QVERIFY(child<QLabel>(form, "lblRestartAdmin")->isVisible());
        form.window().showFolderRights("", false);
        QVERIFY(child<QLabel>(form, "lblTipText")->text().startsWith(QStringLiteral("Warning! ")));
        QVERIFY(!child<QLabel>(form, "lblRestartAdmin")->isVisible());

        const QList<int> sizes = [&] {
            QList<int> out;
            for (const QSize& s : form.windowIcon().availableSizes()) out << s.width();
            std::sort(out.begin(), out.end());
            out.erase(std::unique(out.begin(), out.end()), out.end());
            return out;
        }();
        QCOMPARE(sizes, (QList<int>{16, 32, 48}));

        // The tab order: tabReachesEveryActionAndDecorationsAreUnread in access_test.cpp.
    }

    void firstRunQuestionAndSettingsOnClose() {
        w_->forget("zhmode");
        w_->forget("path");
        w_->answer({Qt::Key_Return});  // Enter answers Yes
        Form1& form = w_->open(NoProgramFiles(), false);
        QVERIFY(w_->answered());
        QCOMPARE(w_->boxes().size(), 1);
        QCOMPARE(w_->boxes()[0].title, QStringLiteral("Tavrel"));
        QCOMPARE(w_->boxes()[0].text,
                 QStringLiteral("Do you have Generals ZERO HOUR expansion pack (ZH Mod) installed?"));
        QCOMPARE(w_->boxes()[0].icon, QMessageBox::Question);
        QCOMPARE(w_->boxes()[0].buttons.size(), 2);
        QCOMPARE(w_->stored("zhmode"), QStringLiteral("1"));
        QVERIFY(child<QCheckBox>(form, "chkZHMode")->isChecked());
        QCOMPARE(child<QLineEdit>(form, "txtGeneralsFolder")->text(),
                 QStringLiteral("/pf/EA Games/Command and Conquer Generals Zero Hour"));
        form.show();
        QVERIFY(child<QLabel>(form, "lblZeroHour")->isVisible());

        child<QLineEdit>(form, "txtGeneralsFolder")->setText(QString());
        form.close();
        QCOMPARE(w_->stored("path"), QString());
        QCOMPARE(w_->stored("zhmode"), QStringLiteral("1"));
    }

    void escapeAnswersNo() {
        w_->forget("zhmode");
        w_->forget("path");
        w_->answer({Qt::Key_Escape});
        Form1& form = w_->open(NoProgramFiles(), false);
        QVERIFY(w_->answered());
        QCOMPARE(w_->stored("zhmode"), QStringLiteral("0"));
        QVERIFY(!child<QCheckBox>(form, "chkZHMode")->isChecked());
        form.close();
        QCOMPARE(w_->stored("path"), QStringLiteral("/pf/EA Games/Command and Conquer Generals"));
    }

    void severalModsAtStartUpShowTheWindowFirst() {
        Touch(w_->path("game/__One.big"));
        Touch(w_->path("game/__Two.big"));
        Touch(w_->path("game/__Old.bit"));
        w_->answer({Qt::Key_Return});
        Form1& form = w_->open(NoProgramFiles(), false);
        QVERIFY(w_->answered());
        QVERIFY(w_->boxes()[0].ownerVisible);
        QCOMPARE(w_->boxes()[0].text,
                 QStringLiteral("More then one MOD has been found! Tavrel will de-activate all newly found MOD's. "
                                "(Except the first one found which is __One)"));
        QCOMPARE(w_->boxes()[0].buttons.size(), 2);
        QCOMPARE(form.window().activeMod(), std::string("__One"));
        QCOMPARE(form.window().listEntries(), (std::vector<std::string>{"__Old", "__Two"}));
        auto* list = child<QListWidget>(form, "lstMods");
        QCOMPARE(list->count(), 2);
        QCOMPARE(child<QLabel>(form, "lblActiveMod")->text(), QStringLiteral("__One"));
        QVERIFY(QFile::exists(w_->path("game/__Two.bit")));
    }

    void activateSelectedWithRealMessageBoxes() {
        Touch(w_->path("game/__Alpha.big"));
        Touch(w_->path("game/__Bravo.bit"));
        Form1& form = w_->open(NoProgramFiles());

        auto* list = child<QListWidget>(form, "lstMods");
        QCOMPARE(list->count(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(form.window().selectedIndex(), 0);

        w_->answer({Qt::Key_Return, Qt::Key_Return, Qt::Key_Return});
        QTest::mouseClick(child<QLabel>(form, "lblActivate"), Qt::LeftButton);
        QVERIFY(w_->answered());
        QCOMPARE(w_->boxes()[0].text, QStringLiteral("Are you sure you want to activate __Bravo MOD?"));
        QCOMPARE(w_->boxes()[1].text, QStringLiteral("Mod __Alpha Has Been De-activated..."));
        QCOMPARE(w_->boxes()[2].text, QStringLiteral("MOD __Bravo activated..."));
        QCOMPARE(w_->boxes()[2].icon, QMessageBox::Information);
        QVERIFY(QFile::exists(w_->path("game/__Bravo.big")));
        QVERIFY(QFile::exists(w_->path("game/__Alpha.bit")));
        QVERIFY(!QFile::exists(w_->path("game/__Bravo.bit")));
        QCOMPARE(child<QLabel>(form, "lblActiveMod")->text(), QStringLiteral("__Bravo"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("__Alpha"));

        // Escape answers No: nothing is deleted.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        w_->answer({Qt::Key_Escape});
        QTest::mouseClick(child<QLabel>(form, "lblDelete"), Qt::LeftButton);
        QVERIFY(w_->answered());
        QCOMPARE(w_->boxes()[0].text, QStringLiteral("Are you sure you want to delete __Alpha mod?"));
        QVERIFY(QFile::exists(w_->path("game/__Alpha.bit")));
    }

    // The window answers each move of a drag by its files, whenever they
    // come: files that come late are still taken, and so are several .big
    // files together and a folder, but not a .big beside another file.
    void dragsAreJudgedByTheirFilesAsTheyCome() {
        Form1& form = w_->open(NoProgramFiles());
        const QPoint middle = form.rect().center();
        const auto drag = [&](const QMimeData& data, int moves) {
            QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&form, &enter);
            QList<bool> answers{enter.isAccepted()};
            for (int i = 0; i < moves; ++i) {
                QDragMoveEvent move(middle, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(&form, &move);
                answers << move.isAccepted();
            }
            QDragLeaveEvent leave;
            QApplication::sendEvent(&form, &leave);
            return answers;
        };
        const QUrl big = QUrl::fromLocalFile(w_->path("Storm.big"));
        const QUrl text = QUrl::fromLocalFile(w_->path("notes.txt"));

        // A drag of files is taken in on its kind; each move is answered by
        // the files, so files handed over late are taken when they come.
        QCOMPARE(drag(LateFiles({big}, 3), 3), (QList<bool>{true, false, false, true}));
        QCOMPARE(drag(LateFiles({text}, 1), 2), (QList<bool>{true, false, false}));
        const QUrl gib = QUrl::fromLocalFile(w_->path("Maps.gib"));
        QCOMPARE(drag(LateFiles({big, gib}, 1), 1), (QList<bool>{true, true}));
        QCOMPARE(drag(LateFiles({big, text}, 1), 1), (QList<bool>{true, false}));
        QVERIFY(QDir().mkpath(w_->path("Storm Mod")));
        const QUrl folder = QUrl::fromLocalFile(w_->path("Storm Mod") + '/');  // as file managers may send it
        QCOMPARE(drag(LateFiles({folder}, 1), 1), (QList<bool>{true, true}));
        QCOMPARE(drag(LateFiles({QUrl::fromLocalFile(w_->path("gone"))}, 1), 1), (QList<bool>{true, false}));
        QMimeData words;
        words.setText(QStringLiteral("Storm.big"));
        QCOMPARE(drag(words, 1), (QList<bool>{false, false}));
    }

    void messageBoxesMapTheirButtons() {
        QWidget parent;
        w_->answer({Qt::Key_Escape, Qt::Key_Return, Qt::Key_Escape});
        QCOMPARE(ShowMessage(&parent, "go on?", Buttons::OkCancel, Icon::Critical), Answer::Cancel);
        QCOMPARE(ShowMessage(&parent, "go on?", Buttons::OkCancel, Icon::Exclamation), Answer::Ok);
        QCOMPARE(ShowMessage(&parent, "<b>not markup</b>", Buttons::Ok, Icon::Information), Answer::Ok);
        QCOMPARE(w_->boxes()[0].icon, QMessageBox::Critical);
        QCOMPARE(w_->boxes()[1].icon, QMessageBox::Warning);
        QCOMPARE(w_->boxes()[2].text, QStringLiteral("<b>not markup</b>"));
        // A box closed some other way than by a button answers as Escape does.
        SetMessageBoxHook([](QMessageBox& box) { box.close(); });
        QCOMPARE(ShowMessage(&parent, "go on?", Buttons::YesNo, Icon::Question), Answer::No);
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
    std::unique_ptr<test::WindowFixture> w_;
};

int main(int argc, char** argv) { return tavrel::test::RunWindowTests<Form1Test>(argc, argv); }

#include "form1_test.moc"
