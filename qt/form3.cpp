#include "qt/form3.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "qt/accessibility.h"
#include "qt/form_builder.h"
#include "ui/layout.h"

namespace tavrel {

Form3::Form3(QWidget* mainWindow, WindowView& mainView, ModWindow& main, ModStore& store)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      addOns_(*this, mainView, main, store) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);  // the next "Add-ons" loads it afresh
    setWindowIcon(mainWindow->windowIcon());
    const auto widgets = BuildForm(*this, AddOnsLayout());
    title_ = Widget<QLabel>(widgets, "lblAddOnsOf");
    conflicts_ = Widget<QLabel>(widgets, "lblConflicts");
    addOnList_ = Widget<QListWidget>(widgets, "lstAddOns");
    patchList_ = Widget<QListWidget>(widgets, "lstPatches");
    patchBox_ = Widget<QCheckBox>(widgets, "chkPatch");
    for (QListWidget* checklist : {addOnList_, patchList_}) {
        const std::string name = checklist->objectName().toStdString();
        TellCurrentRowOnFocus(checklist);
        connect(checklist, &QListWidget::itemChanged, this, [this, checklist, name](QListWidgetItem* item) {
            addOns_.itemTicked(name, checklist->row(item), item->checkState() == Qt::Checked);
        });
        connect(checklist, &QListWidget::currentRowChanged, this, [this, checklist] { lastList_ = checklist; });
    }
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == addOnList_ || now == patchList_) lastList_ = static_cast<QListWidget*>(now);
    });
    for (const char* name : {"cmdInstallAddOn", "cmdDeleteAddOn", "cmdClose"}) {
        connect(Widget<QPushButton>(widgets, name), &QPushButton::clicked, this, [this, name] { addOns_.click(name); });
    }
    ConnectClicks(*this, AddOnsLayout(), widgets, [this](const std::string& control) { addOns_.click(control); });
}

// The window hides as it goes, which moves the focus: the watch goes first,
// while this is still a Form3.
Form3::~Form3() { disconnect(focusWatch_); }

void Form3::showWindow() {
    show();
    raise();
    activateWindow();
}

bool Form3::isMinimised() const { return (windowState() & Qt::WindowMinimized) != 0; }

void Form3::bringToFront() { showWindow(); }

void Form3::setTitle(const std::string& text) {
    title_->setText(QString::fromStdString(text));
    setAccessibleDescription(title_->text());  // what a screen reader reads as the window opens
}

QListWidget* Form3::list(std::string_view name) const { return name == "lstPatches" ? patchList_ : addOnList_; }

void Form3::setRows(std::string_view name, const std::vector<std::string>& rows, const std::vector<bool>& ticked) {
    QListWidget* checklist = list(name);
    const QSignalBlocker quiet(checklist);  // the program's ticks are no user's
    const int current = checklist->currentRow();
    checklist->clear();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        checklist->addItem(QString::fromStdString(rows[row]));
        checklist->item(static_cast<int>(row))->setCheckState(ticked[row] ? Qt::Checked : Qt::Unchecked);
    }
    if (checklist->count() > 0) checklist->setCurrentRow(std::clamp(current, 0, checklist->count() - 1));
}

int Form3::selectedRow(std::string_view name) const {
    const QListWidget* checklist = list(name);
    return checklist == lastList_ ? checklist->currentRow() : -1;
}

void Form3::setConflicts(const std::string& text) {
    conflicts_->setText(QString::fromStdString(text));
    AnnounceTextChange(conflicts_);
}

bool Form3::patchBoxTicked() const { return patchBox_->isChecked(); }

void Form3::closeEvent(QCloseEvent* event) {
    addOns_.Form_Unload();
    event->accept();
}

}  // namespace tavrel
