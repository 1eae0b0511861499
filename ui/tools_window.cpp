#include "ui/tools_window.h"

#include "ui/movie_switch.h"

namespace tavrel {

void ToolsWindow::Command1_Click() { ChangeStartUpFiles(view_, GeneralsFolder, false); }

void ToolsWindow::Command2_Click() { ChangeStartUpFiles(view_, GeneralsFolder, true); }

void ToolsWindow::click(std::string_view control) {
    if (control == "Command1") Command1_Click();
    else if (control == "Command2") Command2_Click();
    else if (control == "Close") view_.closeWindow();
}

void ToolsWindow::Form_Unload() {
    if (!main_.isMinimised()) main_.bringToFront();
}

}  // namespace tavrel
