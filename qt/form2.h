// The Tools window: disables or re-enables the game's start-up movies.
#pragma once

#include <QWidget>
#include <string>

#include "ui/tools_window.h"

namespace tavrel {

class Form2 : public QWidget, public ToolsWindowView {
    Q_OBJECT
public:
    // Loads the window, owned by `mainWindow`, whose icon it takes.
    Form2(QWidget* mainWindow, WindowView& mainView);

    ToolsWindow& tools() { return tools_; }

    // ToolsWindowView
    void closeWindow() override { close(); }
    void showWindow() override;
    bool isMinimised() const override;
    void bringToFront() override;
    Answer message(const std::string& text, Buttons buttons, Icon icon) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void buildLayout();

    QWidget* mainWindow_;
    ToolsWindow tools_;
};

}  // namespace tavrel
