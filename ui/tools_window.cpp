#include "ui/tools_window.h"

#include "ui/movie_switch.h"

namespace tavrel {

void ToolsWindow::Command1_Click() { ChangeStartUpFiles(view_, GeneralsFolder, false); }

void ToolsWindow::Command2_Click() { ChangeStartUpFiles(view_, GeneralsFolder, true); }

void ToolsWindow::Form_Unload() {
    if (!main_.isMinimised()) main_.bringToFront();
}

}  // namespace tavrel
