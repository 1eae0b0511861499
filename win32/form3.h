// The Add-ons window: the add-ons and patches of one mod, ticked while on.
#pragma once

#include <functional>
#include <string>

#include "ui/addons_window.h"
#include "win32/form_window.h"

namespace tavrel {

class Form3 : public FormWindow, public AddOnsWindowView {
public:
    // Loads the window, hidden, owned by `owner` (the main window, whose
    // view is `mainView` and whose handlers are `main` with their `store`).
    // `onGone` runs once the window has been destroyed by a close; it may
    // delete this object.
    Form3(HINSTANCE instance, HWND owner, WindowView& mainView, ModWindow& main, ModStore& store,
          std::function<void()> onGone);
    // Unloads the window without the effects of a close by the user.
    ~Form3() override;

    AddOnsWindow& addOns() { return addOns_; }

    // AddOnsWindowView
    void closeWindow() override { ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); }
    void showWindow() override;
    bool isMinimised() const override;
    void bringToFront() override;
    void setTitle(const std::string& text) override;
    void setRows(std::string_view list, const std::vector<std::string>& rows, const std::vector<bool>& ticked) override;
    int selectedRow(std::string_view list) const override;
    void setConflicts(const std::string& text) override;
    bool patchBoxTicked() const override;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void clicked(const std::string& control) override { addOns_.click(control); }
    void destroyed() override;

private:
    HWND list(std::string_view name) const { return name == "lstPatches" ? patchList_ : addOnList_; }

    AddOnsWindow addOns_;
    std::function<void()> onGone_;
    HWND addOnList_ = nullptr, patchList_ = nullptr, lastList_ = nullptr;
    bool settingRows_ = false;  // the program's ticks, which are no user's
};

}  // namespace tavrel
