#include "ui/tools_window.h"

#include "ui/layout.h"
#include "ui/movie_switch.h"

namespace tavrel {

void ToolsWindow::Command1_Click() { ChangeStartUpFiles(view_, GeneralsFolder, false); }

void ToolsWindow::Command2_Click() { ChangeStartUpFiles(view_, GeneralsFolder, true); }

void ToolsWindow::click(std::string_view control) {
    if (control == "Command1") Command1_Click();
    else if (control == "Command2") Command2_Click();
}

bool ToolsWindow::keyPressed(Key key, bool ctrl, bool shift) {
    const KeyBinding* binding = FindKey(Form2Layout().name, key, ctrl, shift, {});
    if (binding) click(binding->control);
    return binding != nullptr;
}

void ToolsWindow::Form_Unload() {
    if (!main_.isMinimised()) main_.bringToFront();
}

}  // namespace tavrel
