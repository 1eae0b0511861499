#include "qt/message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace tavrel {

Answer ShowMessage(QWidget* parent, const std::string& text, Buttons buttons, Icon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Tavrel"));
    box.setTextFormat(Qt::PlainText);  // mod names are file names, never markup
    box.setText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    QPushButton* first = nullptr;
    QPushButton* escape = nullptr;
    switch (buttons) {
        case Buttons::Ok:
            first = escape = box.addButton(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            first = box.addButton(QMessageBox::Ok);
            escape = box.addButton(QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            first = box.addButton(QMessageBox::Yes);
            escape = box.addButton(QMessageBox::No);
            break;
    }
    box.setDefaultButton(first);
    box.setEscapeButton(escape);
    box.exec();

    const auto* clicked = box.clickedButton();
    switch (box.standardButton(const_cast<QAbstractButton*>(clicked))) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        case QMessageBox::Ok: return Answer::Ok;
        default: break;
    }
    // Closed some other way: the same answer as Escape.
    return buttons == Buttons::Ok ? Answer::Ok : buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
}

}  // namespace tavrel
