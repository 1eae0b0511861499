#include "qt/form2.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "qt/message_box.h"
#include "qt/twips.h"

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
    setWindowTitle(QStringLiteral("Tools..."));
    setFixedSize(Twips(4935), Twips(3360));
    setFont(MsSansSerif(8.25, Regular));

    auto* title = new QLabel(QStringLiteral("Handy Tools And Utilities"), this);
    title->setObjectName(QStringLiteral("Label2"));
    title->setGeometry(TwipsRect(90, 45, 4875, 330));
    title->setFont(ArialBlack(12, Bold | Underline));
    QPalette titleColours = title->palette();
    titleColours.setColor(QPalette::WindowText, QColor(192, 64, 0));
    title->setPalette(titleColours);

    // The description lies under the buttons and the note, which are made after it.
    auto* description = new QLabel(
        QStringLiteral("Disable the startup \"EA Games, Challenge Everything\" screen and the \"World Leaders\" "
                       "screen. This results in faster loading."),
        this);
    description->setObjectName(QStringLiteral("Label1"));
    description->setGeometry(TwipsRect(90, 495, 4695, 960));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setAutoFillBackground(true);
    QPalette white = description->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    description->setPalette(white);

    auto* disable = new QPushButton(QStringLiteral("Disable"), this);
    disable->setObjectName(QStringLiteral("Command2"));
    disable->setGeometry(TwipsRect(180, 1035, 1050, 330));
    auto* enable = new QPushButton(QStringLiteral("Enable"), this);
    enable->setObjectName(QStringLiteral("Command1"));
    enable->setGeometry(TwipsRect(1260, 1035, 1095, 330));

    auto* note = new QLabel(QStringLiteral("Only tested with Generals. Should work with ZH also."), this);
    note->setObjectName(QStringLiteral("Label3"));
    note->setGeometry(TwipsRect(2520, 990, 2040, 420));
    note->setFont(Tahoma(8.25, Italic));
    note->setWordWrap(true);
    QPalette grey = note->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    note->setPalette(grey);

    setTabOrder(enable, disable);
    enable->setFocus();
    connect(enable, &QPushButton::clicked, this, [this] { tools_.Command1_Click(); });
    connect(disable, &QPushButton::clicked, this, [this] { tools_.Command2_Click(); });
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
