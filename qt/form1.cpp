#include "qt/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QStandardPaths>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "qt/accessibility.h"
#include "qt/chooser.h"
#include "qt/copy_progress.h"
#include "qt/file_dialogs.h"
#include "qt/message_box.h"
#include "qt/settings_store.h"
#include "qt/text_editor.h"
#include "qt/form_builder.h"
#include "qt/widgets.h"
#include "qt/form2.h"
#include "qt/form3.h"

namespace tavrel {
namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return kLeftButton;
        case Qt::RightButton: return kRightButton;
        case Qt::MiddleButton: return kMiddleButton;
        default: return 0;
    }
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? kShiftKey : 0) | (modifiers & Qt::ControlModifier ? kCtrlKey : 0) |
           (modifiers & Qt::AltModifier ? kAltKey : 0) | (modifiers & Qt::MetaModifier ? kOtherKey : 0);
}

// The paths a drag carries: each local file's or folder's path, "" for
// anything else.
std::vector<std::string> DraggedPaths(const QDropEvent& event) {
    std::vector<std::string> paths;
    if (!event.mimeData()->hasUrls()) return paths;
    for (const QUrl& url : event.mimeData()->urls()) {
        QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        // A folder may come as "file:///x/Mod/": its name is the last one.
        while (path.size() > 1 && path.endsWith(u'/')) path.chop(1);
        paths.push_back(path.toStdString());
    }
    return paths;
}

void AcceptOrRefuse(QDropEvent& event) {
    if (!DroppedMod(DraggedPaths(event)).empty()) event.acceptProposedAction();
    else event.ignore();
}

}  // namespace

Form1::Form1(SettingsStore& settings, EnvLookup env, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      window_(*this, std::move(env)) {
    setObjectName(QStringLiteral("Form1"));
    InstallAccessibility();
    buildLayout();
    // A file dropped anywhere on the window is the window's, not the box's text.
    setAcceptDrops(true);
    txtGeneralsFolder_->setAcceptDrops(false);
    MainWindowLogic& logic = window_.logic();
    connect(txtGeneralsFolder_, &QLineEdit::textChanged, this, [this] { window_.folderBoxChanged(); });
    connect(cmdBrowse_, &QPushButton::clicked, this, [&logic] { logic.cmdBrowse_Click(); });
    connect(chkZHMode_, &MouseUpCheckBox::mouseUp, this, [&logic] { logic.chkZHMode_MouseUp(); });
    connect(chkZHMode_, &MouseUpCheckBox::toggledByKey, this, [this] { window_.modeBoxToggledByKey(); });
    connect(picGenerals_, &PictureBox::mouseUp, this, [&logic](Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        logic.picGenerals_MouseUp(ButtonCode(button), ShiftCode(keys));
    });
}

Form1::~Form1() = default;

void Form1::buildLayout() {
    setWindowIcon(ProgramIcon());
    const auto widgets = BuildForm(*this, Form1Layout());
    ConnectClicks(*this, Form1Layout(), widgets, [this](const std::string& control) { window_.click(control); });
    picGenerals_ = Widget<PictureBox>(widgets, "picGenerals");
    lblZeroHour_ = Widget<QLabel>(widgets, "lblZeroHour");
    chkZHMode_ = Widget<MouseUpCheckBox>(widgets, "chkZHMode");
    txtGeneralsFolder_ = Widget<QLineEdit>(widgets, "txtGeneralsFolder");
    cmdBrowse_ = Widget<QPushButton>(widgets, "cmdBrowse");
    lstMods_ = Widget<QListWidget>(widgets, "lstMods");
    TellCurrentRowOnFocus(lstMods_);
    connect(lstMods_, &QListWidget::itemSelectionChanged, this, &Form1::readRows);
    // A mod's context menu (the right button, the Menu key, Shift+F10) opens its add-ons.
    lstMods_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstMods_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QListWidgetItem* item = lstMods_->itemAt(at)) lstMods_->setCurrentItem(item);
        QMenu menu(this);
        menu.addAction(QStringLiteral("Add-ons..."), this, [this] { window_.click("lblAddOns"); });
        menu.exec(lstMods_->viewport()->mapToGlobal(at));
    });
    lblActivate_ = Widget<ClickLabel>(widgets, "lblActivate");
    lblDeactivate_ = Widget<ClickLabel>(widgets, "lblDeactivate");
    lblDelete_ = Widget<ClickLabel>(widgets, "lblDelete");
    lblInstallMod_ = Widget<ClickLabel>(widgets, "lblInstallMod");
    lblViewHelp_ = Widget<ClickLabel>(widgets, "lblViewHelp");
    lblActiveMod_ = Widget<QLabel>(widgets, "lblActiveMod");
    lblTipText_ = Widget<QLabel>(widgets, "lblTipText");
    lblNextTip_ = Widget<ClickLabel>(widgets, "lblNextTip");
    lblRestartAdmin_ = Widget<ClickLabel>(widgets, "lblRestartAdmin");
}

void Form1::Form_Load(const StartWith& start) { window_.logic().Form_Load(start); }

void Form1::closeEvent(QCloseEvent* event) {
    window_.closing();
    event->accept();
}

// The drag is taken in on its kind alone (files), and judged by its files
// at each move: a window that refused at the start would hear no moves of
// that drag, so files the source hands over late would be refused to the end.
void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    else event->ignore();
}

void Form1::dragMoveEvent(QDragMoveEvent* event) { AcceptOrRefuse(*event); }

void Form1::dropEvent(QDropEvent* event) {
    AcceptOrRefuse(*event);
    if (!event->isAccepted()) return;
    // The install asks questions in modal boxes; the drag source hears that
    // the drop is done first.
    QTimer::singleShot(0, this, [this, paths = DraggedPaths(*event)] { window_.filesDropped(paths); });
}

void Form1::showWindow() { show(); }

bool Form1::isMinimised() const { return (windowState() & Qt::WindowMinimized) != 0; }

void Form1::bringToFront() {
    show();
    raise();
    activateWindow();
}

std::optional<std::string> Form1::runFileDialog(const FileDialogRequest& request) {
    return RunFileDialog(this, request);
}

std::vector<std::string> Form1::runOpenFiles(const FileDialogRequest& request) { return RunOpenFiles(this, request); }

std::optional<std::string> Form1::runFolderBrowser(const FolderBrowserRequest& request) {
    return RunFolderBrowser(this, request);
}

std::string Form1::folderBoxText() const { return txtGeneralsFolder_->text().toStdString(); }

void Form1::setFolderBoxText(const std::string& text) { txtGeneralsFolder_->setText(ToQt(text)); }

void Form1::clearListBox() { lstMods_->clear(); }

void Form1::appendToListBox(const std::string& text) {
    lstMods_->addItem(ToQt(text));
    readRows();
}

void Form1::readRows() {
    // Each row says where it stands and whether it is selected, as a screen
    // reader reads it (Qt's list tells no selection to one).
    const auto count = static_cast<std::size_t>(lstMods_->count());
    for (std::size_t row = 0; row < count; ++row) {
        QListWidgetItem* item = lstMods_->item(static_cast<int>(row));
        item->setData(Qt::AccessibleTextRole,
                      ToQt(ListRowReading(item->text().toStdString(), row, count, item->isSelected())));
    }
}

int Form1::listBoxSelection() const {
    // What is selected, by the mouse, the keys or a screen reader alike.
    const QList<QListWidgetItem*> selected = lstMods_->selectedItems();
    return selected.isEmpty() ? -1 : lstMods_->row(selected.first());
}

void Form1::setActiveModLabel(const std::string& text, const std::string& spoken) {
    lblActiveMod_->setText(ToQt(text));
    lblActiveMod_->setAccessibleName(ToQt(spoken));
}

void Form1::setZeroHourLabelVisible(bool visible) { lblZeroHour_->setVisible(visible); }

void Form1::setTipLabel(const std::string& text) {
    lblTipText_->setText(ToQt(text));
    AnnounceTextChange(lblTipText_);
}

void Form1::setRestartOfferVisible(bool visible) { lblRestartAdmin_->setVisible(visible); }

void Form1::closeMainWindow() { close(); }

void Form1::setCaption(const std::string& text) { setWindowTitle(ToQt(text)); }

bool Form1::modeBoxTicked() const { return chkZHMode_->isChecked(); }

void Form1::setModeBoxTicked(bool ticked) { chkZHMode_->setChecked(ticked); }

Answer Form1::showMessage(const std::string& text, Buttons buttons, Icon icon) {
    return ShowMessage(this, text, buttons, icon);
}

std::optional<ArchiveChoice> Form1::showChooser(const std::vector<std::string>& rows, const std::string& name) {
    return ShowChooser(this, rows, name);
}

std::unique_ptr<CopyProgressView> Form1::showCopyProgress(const std::string& text) {
    return MakeCopyProgress(this, text);
}

std::string Form1::programFolder() const { return QCoreApplication::applicationDirPath().toStdString(); }

std::string Form1::userDataFolder() const {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/TVL"))
        .toStdString();
}

void Form1::startTextEditor(const std::string& path, std::function<void(const std::string& error)> onFailure) {
    // The editor may give up after this window has gone.
    OpenInTextEditor(path, [window = QPointer<Form1>(this), onFailure = std::move(onFailure)](const std::string& error) {
        if (window) onFailure(error);
    });
}

std::optional<std::string> Form1::readStoredSetting(const std::string& key) { return settings_.read(ToQt(key)); }

bool Form1::storeSetting(const std::string& key, const std::string& value) {
    return settings_.save(ToQt(key), ToQt(value));
}

std::string Form1::settingsLocation() const { return settings_.location().toStdString(); }

ToolsWindow* Form1::loadedToolsWindow() { return tools_ ? &tools_->tools() : nullptr; }

ToolsWindow& Form1::loadToolsWindow() {
    tools_ = new Form2(this, *this);
    return tools_->tools();
}

void Form1::unloadToolsWindow() { delete tools_.data(); }

AddOnsWindow* Form1::loadedAddOnsWindow() { return addOns_ ? &addOns_->addOns() : nullptr; }

AddOnsWindow& Form1::loadAddOnsWindow() {
    addOns_ = new Form3(this, *this, window_, window_.store());
    return addOns_->addOns();
}

void Form1::unloadAddOnsWindow() { delete addOns_.data(); }

}  // namespace tavrel
