#include "qt/form2.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "qt/message_box.h"
#include "qt/form_builder.h"

namespace tavrel {

Form2::Form2(QWidget* mainWindow, WindowView& mainView)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      mainWindow_(mainWindow),
      tools_(*this, mainView) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);  // a later Shift + right click loads it afresh
    buildLayout();
    Form_Load();
}

void Form2::Form_Load() { setWindowIcon(mainWindow_->windowIcon()); }

void Form2::buildLayout() {
    const auto widgets = BuildForm(*this, Form2Layout());
    for (const char* name : {"Command1", "Command2"}) {
        connect(Widget<QPushButton>(widgets, name), &QPushButton::clicked, this, [this, name] { tools_.click(name); });
    }
    ConnectClicks(*this, Form2Layout(), widgets, [this](const std::string& control) { tools_.click(control); });
}

void Form2::showWindow() {
    show();
    raise();
    activateWindow();
}

bool Form2::isMinimised() const { return (windowState() & Qt::WindowMinimized) != 0; }

void Form2::bringToFront() { showWindow(); }

Answer Form2::message(const std::string& text, Buttons buttons, Icon icon) {
    return ShowMessage(this, text, buttons, icon);
}

void Form2::closeEvent(QCloseEvent* event) {
    tools_.Form_Unload();
    event->accept();
}

}  // namespace tavrel
