// The window without a mouse: every key of the key table runs what its
// click runs, the label-buttons are push buttons a screen reader can press,
// and every other control has a name a listener understands.
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <fstream>
#include <functional>
#include <map>

#include "qt/form1.h"
#include "qt/form2.h"
#include "qt/form3.h"
#include "ui/keys.h"
#include "ui/main_window_logic.h"
#include "window_test.h"

using namespace tavrel;

namespace {

void Touch(const QString& path, const char* text = "mod") { std::ofstream(path.toStdString()) << text; }

QAccessibleInterface* Accessible(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); }

}  // namespace

class AccessTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        w_ = std::make_unique<test::WindowFixture>();
        Touch(w_->path("game/__Alpha.big"), "alpha");
        Touch(w_->path("game/__Bravo.bit"), "bravo");
        QDir().mkpath(w_->path("game/Data/Movies"));
        Touch(w_->path("game/Data/Movies/EA_LOGO.bik"), "logo");
        form_ = &w_->open();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
    }
    void cleanup() {
        form_ = nullptr;
        w_.reset();
    }

    // Every key of the table, in the window and the control it belongs to:
    // what the click it stands for brings, first thing.
    void eachKeyRunsItsClicksHandler() {
        const QString intro = QStringLiteral(
            "Tavrel can automaticaly import a MOD (.big file) to your Generals folder. Tavrel will rename the file to "
            "a .bit file until you activate it for use. Please select the MOD (.big file) you want to import now...");
        const QString moviesChanged = QStringLiteral("Startup Items Have Been Changed Successfully.");
        // What each control's click shows or does; a key whose control is
        // missing here fails.
        const std::map<std::string, std::function<bool()>> effect = {
            {"lblActivate", box(QStringLiteral("Are you sure you want to activate __Bravo MOD?"))},
            {"lblDeactivate", box(QStringLiteral("Are you sure you want to de-activate all mods?"))},
            {"lblDelete", box(QStringLiteral("Are you sure you want to delete __Bravo mod?"))},
            {"lblInstallMod", box(intro)},
            {"lblViewHelp", [this] {
                 // No text editor at all here: the readme is written, and the failure told.
                 return w_->answered() && w_->boxes().size() == 1 &&
                        w_->boxes()[0].text.startsWith(QStringLiteral("Tavrel could not open "));
             }},
            {"lblNextTip", [this] {
                 return form_->findChild<QLabel*>(QStringLiteral("lblTipText"))->text() ==
                        QString::fromStdString(TipText(1, 0));
             }},
            // No game in the folder here: the start is refused, and why.
            {"lblPlay", [this] {
                 return w_->boxes().size() == 1 &&
                        w_->boxes()[0].text.startsWith(QStringLiteral("There is no generals.exe or Game.dat in "));
             }},
            {"picGenerals", [this] { return form_->loadedToolsWindow() != nullptr; }},
            {"Command2", [this, moviesChanged] {
                 return QFile::exists(w_->path("game/Data/Movies/__EA_LOGO.bik")) && w_->answered() &&
                        w_->boxes().value(0).text == moviesChanged;
             }},
            {"Close", [this] { return form_->loadedToolsWindow() == nullptr; }},
            {"lblAddOns", [this] { return form_->loadedAddOnsWindow() != nullptr; }},
            {"cmdInstallAddOn", [this] { return w_->dialogsDone(); }},  // the file dialog came
            {"cmdDeleteAddOn", box(QStringLiteral("Select an add-on to delete!"))},
            {"frmAddOns/Close", [this] { return form_->loadedAddOnsWindow() == nullptr; }},
            {"Command1", [this, moviesChanged] {
                 return QFile::exists(w_->path("game/Data/Movies/EA_LOGO.bik")) && w_->answered() &&
                        w_->boxes().value(0).text == moviesChanged;
             }},
        };
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", w_->path("no-programs").toUtf8());
        for (const KeyBinding& k : KeyTable()) {
            const std::string own = std::string(k.form) + "/" + std::string(k.control);
            const std::string control = effect.count(own) ? own : std::string(k.control);
            QVERIFY2(effect.count(control), control.c_str());
            cleanup();
            init();
            QWidget* target = form_;
            if (k.form == "Form2") {
                form_->window().click("picGenerals");  // the Tools window, as its key opens it
                if (control == "Command1") form_->loadedToolsWindow()->Command2_Click();  // something to enable
                target = form_->findChild<Form2*>();
                QVERIFY(target);
                QApplication::setActiveWindow(target);  // as the window system does for a window shown
            }
            if (k.form == "frmAddOns") {
                form_->window().click("lblAddOns");
                target = form_->findChild<Form3*>();
                QVERIFY(target);
                QApplication::setActiveWindow(target);
                if (control == "cmdInstallAddOn") w_->onNextDialog([](QFileDialog&) {});
            }
            if (!k.focus.empty()) {
                auto* list = form_->findChild<QListWidget*>(QString::fromUtf8(k.focus.data(), k.focus.size()));
                list->setCurrentRow(0);  // __Bravo
                list->setFocus();
                target = list;
            }
            w_->answer({Qt::Key_Return});  // the first question answered OK or Yes, the next ones No
            QTest::keyClick(target, QtKey(k.key), (k.ctrl ? Qt::ControlModifier : Qt::NoModifier) |
                                                       (k.shift ? Qt::ShiftModifier : Qt::NoModifier));
            QTRY_VERIFY2(effect.at(control)(), qPrintable(QString::fromStdString(control) + ": " +
                                                          (w_->boxes().isEmpty() ? QString() : w_->boxes()[0].text)));
        }
        qputenv("PATH", path);
    }

    // The label-buttons are push buttons named by their captions, whose
    // Press action clicks them; their tooltips name their keys.
    void labelButtonsArePushButtons() {
        for (const Control& c : Form1Layout().controls) {
            if (c.kind != ControlKind::LabelButton) continue;
            auto* label = form_->findChild<QLabel*>(QString::fromStdString(c.name));
            QAccessibleInterface* button = Accessible(label);
            QVERIFY(button);
            QCOMPARE(button->role(), QAccessible::Button);
            QCOMPARE(button->text(QAccessible::Name), QString::fromStdString(c.caption));
            QVERIFY(button->actionInterface());
            QCOMPARE(button->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
            QCOMPARE(label->toolTip(), QString::fromStdString(KeyTip(Form1Layout(), c.name).value_or("")));
        }

        auto* list = form_->findChild<QListWidget*>(QStringLiteral("lstMods"));
        list->setCurrentRow(0);
        w_->answer({Qt::Key_Return, Qt::Key_Return, Qt::Key_Return});  // Yes, and the two messages
        Accessible(form_->findChild<QLabel*>(QStringLiteral("lblActivate")))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(w_->answered());  // once the screen reader's request is answered
        QCOMPARE(w_->boxes()[0].text, QStringLiteral("Are you sure you want to activate __Bravo MOD?"));
        QVERIFY(QFile::exists(w_->path("game/__Bravo.big")));
        QVERIFY(QFile::exists(w_->path("game/__Alpha.bit")));
    }

    // The boxes are named by the labels before them, the active mod reads as
    // a sentence, and the tip line is a status text told when it changes.
    void controlsHaveNamesAListenerUnderstands() {
        const auto name = [this](const char* control) {
            return Accessible(form_->findChild<QWidget*>(QString::fromLatin1(control)))->text(QAccessible::Name);
        };
        QCOMPARE(name("txtGeneralsFolder"), QStringLiteral("Generals Folder"));
        QCOMPARE(name("lstMods"), QStringLiteral("Currently Installed Mods"));
        QCOMPARE(name("chkZHMode"), QStringLiteral("Zero Hour Mode"));
        QCOMPARE(name("lblActiveMod"), QStringLiteral("Current Active Mod: __Alpha"));
        w_->answer({Qt::Key_Return, Qt::Key_Return});
        form_->window().click("lblDeactivate");
        QCOMPARE(name("lblActiveMod"), QStringLiteral("Current Active Mod: none"));

        auto* tip = form_->findChild<QLabel*>(QStringLiteral("lblTipText"));
        QCOMPARE(Accessible(tip)->role(), QAccessible::Notification);
        form_->window().click("lblNextTip");
        QCOMPARE(name("lblTipText"), QString::fromStdString(TipText(1, 0)));

        // The focus starts in the folder box.
        QCOMPARE(QApplication::focusWidget(), form_->findChild<QWidget*>(QStringLiteral("txtGeneralsFolder")));
    }

    // Tab goes through the controls in the layout's order, the actions
    // among them, and Space presses the action that has the keyboard.
    // Decorations and captions that a name says already are not shown to
    // screen readers.
    void tabReachesEveryActionAndDecorationsAreUnread() {
        std::vector<std::pair<int, QString>> wanted;
        for (const Control& c : Form1Layout().controls) {
            // The restart's offer is shown only for a protected folder.
            if (c.tabIndex >= 0 && c.visible) wanted.emplace_back(c.tabIndex, QString::fromStdString(c.name));
        }
        std::sort(wanted.begin(), wanted.end());
        QStringList expected, visited;
        for (const auto& entry : wanted) expected << entry.second;
        for (int i = 0; i < expected.size(); ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, expected);
        QCOMPARE(QApplication::focusWidget()->objectName(), expected.front());  // round again

        auto* next = form_->findChild<QWidget*>(QStringLiteral("lblNextTip"));
        next->setFocus();
        QTest::keyClick(next, Qt::Key_Space);
        QCOMPARE(Accessible(form_->findChild<QWidget*>(QStringLiteral("lblTipText")))->text(QAccessible::Name),
                 QString::fromStdString(TipText(1, 0)));

        QAccessibleInterface* window = Accessible(form_);
        for (int i = 0; i < window->childCount(); ++i) {
            const QString child = window->child(i)->object()->objectName();
            QVERIFY2(!child.startsWith(QStringLiteral("imgGeneralIcon")) && child != QStringLiteral("lblFormLabel2"),
                     qPrintable(child));
        }
        QVERIFY(window->indexOfChild(Accessible(next)) >= 0);
    }

private:
    std::function<bool()> box(const QString& text) {
        return [this, text] { return w_->answered() && !w_->boxes().isEmpty() && w_->boxes()[0].text == text; };
    }
    static Qt::Key QtKey(Key key) {
        switch (key) {
            case Key::Enter: return Qt::Key_Return;
            case Key::Delete: return Qt::Key_Delete;
            case Key::F1: return Qt::Key_F1;
            case Key::D: return Qt::Key_D;
            case Key::E: return Qt::Key_E;
            case Key::O: return Qt::Key_O;
            case Key::P: return Qt::Key_P;
            case Key::Escape: return Qt::Key_Escape;
            case Key::T: return Qt::Key_T;
        }
        return Qt::Key_unknown;
    }

    std::unique_ptr<test::WindowFixture> w_;
    Form1* form_ = nullptr;
};

int main(int argc, char** argv) { return tavrel::test::RunWindowTests<AccessTest>(argc, argv); }

#include "access_test.moc"
