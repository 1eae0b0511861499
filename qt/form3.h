// The Add-ons window: the add-ons and patches of one mod, ticked while on.
#pragma once

#include <QWidget>
#include <string>

#include "ui/addons_window.h"

class QCheckBox;
class QLabel;
class QListWidget;

namespace tavrel {

class Form3 : public QWidget, public AddOnsWindowView {
    Q_OBJECT
public:
    // Loads the window, owned by `mainWindow` (whose view is `mainView`, and
    // whose handlers are `main` with their `store`), whose icon it takes.
    Form3(QWidget* mainWindow, WindowView& mainView, ModWindow& main, ModStore& store);
    ~Form3() override;

    AddOnsWindow& addOns() { return addOns_; }

    // AddOnsWindowView
    void closeWindow() override { close(); }
    void showWindow() override;
    bool isMinimised() const override;
    void bringToFront() override;
    void setTitle(const std::string& text) override;
    void setRows(std::string_view list, const std::vector<std::string>& rows, const std::vector<bool>& ticked) override;
    int selectedRow(std::string_view list) const override;
    void setConflicts(const std::string& text) override;
    bool patchBoxTicked() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QListWidget* list(std::string_view name) const;

    AddOnsWindow addOns_;
    QLabel* title_ = nullptr;
    QLabel* conflicts_ = nullptr;
    QListWidget* addOnList_ = nullptr;
    QListWidget* patchList_ = nullptr;
    QCheckBox* patchBox_ = nullptr;
    QListWidget* lastList_ = nullptr;  // the checklist that had the keyboard last
    QMetaObject::Connection focusWatch_;
};

}  // namespace tavrel
