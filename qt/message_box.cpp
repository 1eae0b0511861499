#include "qt/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tavrel {
namespace {

std::function<void(QMessageBox&)>& Hook() {
    static std::function<void(QMessageBox&)> hook;
    return hook;
}

QMessageBox::StandardButton StandardButton(Answer answer) {
    switch (answer) {
        case Answer::Cancel: return QMessageBox::Cancel;
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Ok: break;
    }
    return QMessageBox::Ok;
}

}  // namespace

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
    // The buttons in order: Enter answers the first, Escape (or closing the
    // box) the escape answer.
    const Answer escape = EscapeAnswer(buttons);
    QPushButton* first = nullptr;
    QList<std::pair<QPushButton*, Answer>> answers;
    for (const Answer answer : ButtonAnswers(buttons)) {
        QPushButton* button = box.addButton(StandardButton(answer));
        if (!first) first = button;
        if (answer == escape) box.setEscapeButton(button);
        answers.append({button, answer});
    }
    box.setDefaultButton(first);
    if (Hook()) Hook()(box);
    else box.exec();
    // The keyboard goes back to the window that asked, and to the control
    // it was in, which tells a screen reader where the user is: without a
    // window manager to do it, nothing would have it.
    if (QWidget* window = parent ? parent->window() : nullptr;
        window && window->isVisible() && QApplication::activeWindow() != window) {
        window->activateWindow();
    }
    for (const auto& [button, answer] : answers) {
        if (box.clickedButton() == button) return answer;
    }
    return escape;
}

void SetMessageBoxHook(std::function<void(QMessageBox& box)> answer) { Hook() = std::move(answer); }

}  // namespace tavrel
