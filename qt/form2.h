// The Tools window: disables or re-enables the game's start-up movies.
#pragma once

#include <QWidget>
#include <string>

#include "support/messages.h"

namespace tavrel {

class Form2 : public QWidget, public MessageHost {
    Q_OBJECT
public:
    // Loads the window, owned by `mainWindow`, whose icon it takes.
    explicit Form2(QWidget* mainWindow);

    // The game folder exactly as the main window's folder box held it.
    std::string GeneralsFolder;

    void Command1_Click();  // "Enable"
    void Command2_Click();  // "Disable"
    void ChangeStartUpFiles(bool disable);

    Answer message(const std::string& text, Buttons buttons, Icon icon) override;

protected:
    // Brings the main window back unless it is minimised; never cancels.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void buildLayout();

    QWidget* mainWindow_;
};

}  // namespace tavrel
