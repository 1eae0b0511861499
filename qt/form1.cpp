#include "qt/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "qt/copy_progress.h"
#include "qt/file_dialogs.h"
#include "qt/message_box.h"
#include "qt/settings_store.h"
#include "qt/text_editor.h"
#include "qt/twips.h"
#include "qt/widgets.h"
#include "qt/form2.h"

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

void SetColours(QWidget* widget, const QColor& text, const QColor* background = nullptr) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    if (background) {
        palette.setColor(QPalette::Window, *background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

}  // namespace

Form1::Form1(SettingsStore& settings, EnvLookup env, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      window_(*this, std::move(env)) {
    setObjectName(QStringLiteral("Form1"));
    buildLayout();
    ModStore& store = window_.store();
    MainWindowLogic& logic = window_.logic();
    connect(txtGeneralsFolder_, &QLineEdit::textChanged, this, [this] { window_.folderBoxChanged(); });
    connect(lblActivate_, &ClickLabel::clicked, this, [&store] { store.lblActivate_Click(); });
    connect(lblDeactivate_, &ClickLabel::clicked, this, [&store] { store.lblDeactivate_Click(); });
    connect(lblDelete_, &ClickLabel::clicked, this, [&store] { store.lblDelete_Click(); });
    connect(lblInstallMod_, &ClickLabel::clicked, this, [&store] { store.lblInstallMod_Click(); });
    connect(cmdBrowse_, &QPushButton::clicked, this, [&logic] { logic.cmdBrowse_Click(); });
    connect(chkZHMode_, &MouseUpCheckBox::mouseUp, this, [&logic] { logic.chkZHMode_MouseUp(); });
    connect(lblNextTip_, &ClickLabel::clicked, this, [&logic] { logic.lblNextTip_Click(); });
    connect(lblViewHelp_, &ClickLabel::clicked, this, [&logic] { logic.lblViewHelp_Click(); });
    connect(picGenerals_, &PictureBox::mouseUp, this, [&logic](Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        logic.picGenerals_MouseUp(ButtonCode(button), ShiftCode(keys));
    });
}

Form1::~Form1() = default;

void Form1::buildLayout() {
    setFixedSize(Twips(5265), Twips(6690));
    setFont(MsSansSerif(8.25, Regular));
    const QIcon icon(QStringLiteral(":/tavrel.ico"));
    setWindowIcon(icon);

    picGenerals_ = new PictureBox(this);
    picGenerals_->setObjectName(QStringLiteral("picGenerals"));
    picGenerals_->setGeometry(TwipsRect(45, 45, 5190, 1740));
    picGenerals_->setPicture(QPixmap(QStringLiteral(":/banner.jpg")));
    // Controls inside the picture are placed relative to its inner area.
    const QPoint inner = picGenerals_->contentsRect().topLeft();

    lblZeroHour_ = new QLabel(QStringLiteral("ZERO HOUR"), picGenerals_);
    lblZeroHour_->setObjectName(QStringLiteral("lblZeroHour"));
    lblZeroHour_->setGeometry(TwipsRect(1665, 855, 1815, 360).translated(inner));
    lblZeroHour_->setFont(ArialBlack(12.75, Bold));
    SetColours(lblZeroHour_, QColor(255, 255, 0));
    lblZeroHour_->setVisible(false);

    label8_ = new QLabel(QStringLiteral("Tavrel - written by the Tavrel team for Generals players"), picGenerals_);
    label8_->setObjectName(QStringLiteral("Label8"));
    label8_->setGeometry(TwipsRect(135, 1395, 3570, 195).translated(inner));
    label8_->setFont(SmallFonts(6.75, Bold));
    SetColours(label8_, QColor(255, 192, 128));

    const auto makeLabel = [this](const QString& text, const QString& name, const QRect& rect) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setGeometry(rect);
        return label;
    };
    lblFormLabel_[0] = makeLabel(QStringLiteral("Generals Folder:"), QStringLiteral("lblFormLabel0"),
                                 TwipsRect(90, 1845, 1320, 240));

    chkZHMode_ = new MouseUpCheckBox(QStringLiteral("Zero Hour Mode"), this);
    chkZHMode_->setObjectName(QStringLiteral("chkZHMode"));
    chkZHMode_->setGeometry(TwipsRect(3555, 1845, 1590, 240));

    txtGeneralsFolder_ = new QLineEdit(this);
    txtGeneralsFolder_->setObjectName(QStringLiteral("txtGeneralsFolder"));
    txtGeneralsFolder_->setGeometry(TwipsRect(90, 2115, 5100, 375));

    cmdBrowse_ = new QPushButton(QStringLiteral("Browse..."), this);
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse_->setGeometry(TwipsRect(4185, 2520, 960, 375));

    lblFormLabel_[1] = makeLabel(QStringLiteral("Currently Installed Mods:"), QStringLiteral("lblFormLabel1"),
                                 TwipsRect(90, 2700, 1950, 285));

    lstMods_ = new QListWidget(this);
    lstMods_->setObjectName(QStringLiteral("lstMods"));
    lstMods_->setGeometry(TwipsRect(90, 2970, 3120, 2010));
    lstMods_->setFont(MsSansSerif(8.25, Bold));
    SetColours(lstMods_, QColor(128, 128, 128));

    const QColor buttonText(0, 0, 192), buttonBack(255, 224, 192);
    const QCursor pointer(QPixmap(QStringLiteral(":/pointer.png")), 12, 1);
    const QPixmap smallIcon = icon.pixmap(16, 16);
    const auto makeButton = [&](const QString& text, const QString& name, int top, int width, int iconIndex) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("imgGeneralIcon%1").arg(iconIndex));
        image->setGeometry(TwipsRect(3330, top, 240, 240));
        image->setPixmap(smallIcon);
        image->setScaledContents(true);
        imgGeneralIcon_[static_cast<std::size_t>(iconIndex)] = image;

        auto* label = new ClickLabel(text, this);
        label->setObjectName(name);
        label->setGeometry(TwipsRect(3645, top, width, 195));
        label->setFont(Tahoma(8.25, Bold | Underline));
        SetColours(label, buttonText, &buttonBack);
        label->setCursor(pointer);
        return label;
    };
    lblActivate_ = makeButton(QStringLiteral("Activate Selected"), QStringLiteral("lblActivate"), 3060, 1500, 1);
    lblDeactivate_ = makeButton(QStringLiteral("Deactivate All"), QStringLiteral("lblDeactivate"), 3386, 1185, 2);
    lblDelete_ = makeButton(QStringLiteral("Delete Selected"), QStringLiteral("lblDelete"), 3712, 1335, 0);
    lblInstallMod_ = makeButton(QStringLiteral("Install A Mod"), QStringLiteral("lblInstallMod"), 4038, 1110, 3);
    lblViewHelp_ = makeButton(QStringLiteral("View ReadMe File"), QStringLiteral("lblViewHelp"), 4365, 1455, 4);

    lblFormLabel_[2] = makeLabel(QStringLiteral("Current Active Mod:"), QStringLiteral("lblFormLabel2"),
                                 TwipsRect(90, 5130, 1635, 240));

    lblActiveMod_ = makeLabel(QString(), QStringLiteral("lblActiveMod"), TwipsRect(1575, 5130, 2535, 240));
    lblActiveMod_->setFont(Tahoma(8.25, Bold));
    SetColours(lblActiveMod_, QColor(192, 0, 0));

    lblTipText_ = makeLabel(QString::fromLatin1(kTipWarning), QStringLiteral("lblTipText"),
                            TwipsRect(90, 5445, 5145, 915));
    lblTipText_->setFont(MsSansSerif(8.25, Bold));
    lblTipText_->setWordWrap(true);
    lblTipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QColor black(0, 0, 0), peach(255, 192, 128);
    SetColours(lblTipText_, peach, &black);

    lblNextTip_ = new ClickLabel(QStringLiteral("Next Tip"), this);
    lblNextTip_->setObjectName(QStringLiteral("lblNextTip"));
    lblNextTip_->setGeometry(TwipsRect(4455, 6390, 735, 240));
    lblNextTip_->setAlignment(Qt::AlignCenter);
    SetColours(lblNextTip_, black, &peach);

    // Only these take the focus, in this order; the folder box starts with it.
    for (QWidget* w : std::initializer_list<QWidget*>{txtGeneralsFolder_, cmdBrowse_, lstMods_, picGenerals_, chkZHMode_}) {
        if (w->focusPolicy() == Qt::NoFocus) w->setFocusPolicy(Qt::StrongFocus);
    }
    setTabOrder(txtGeneralsFolder_, cmdBrowse_);
    setTabOrder(cmdBrowse_, lstMods_);
    setTabOrder(lstMods_, picGenerals_);
    setTabOrder(picGenerals_, chkZHMode_);
    txtGeneralsFolder_->setFocus();
}

void Form1::Form_Load() { window_.logic().Form_Load(); }

void Form1::closeEvent(QCloseEvent* event) {
    window_.closing();
    event->accept();
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

std::optional<std::string> Form1::runFolderBrowser(const FolderBrowserRequest& request) {
    return RunFolderBrowser(this, request);
}

std::string Form1::folderBoxText() const { return txtGeneralsFolder_->text().toStdString(); }

void Form1::setFolderBoxText(const std::string& text) { txtGeneralsFolder_->setText(ToQt(text)); }

void Form1::clearListBox() { lstMods_->clear(); }

void Form1::appendToListBox(const std::string& text) { lstMods_->addItem(ToQt(text)); }

int Form1::listBoxSelection() const {
    const QListWidgetItem* item = lstMods_->currentItem();
    return item && item->isSelected() ? lstMods_->row(item) : -1;
}

void Form1::setActiveModLabel(const std::string& text) { lblActiveMod_->setText(ToQt(text)); }

void Form1::setZeroHourLabelVisible(bool visible) { lblZeroHour_->setVisible(visible); }

void Form1::setTipLabel(const std::string& text) { lblTipText_->setText(ToQt(text)); }

void Form1::setCaption(const std::string& text) { setWindowTitle(ToQt(text)); }

bool Form1::modeBoxTicked() const { return chkZHMode_->isChecked(); }

void Form1::setModeBoxTicked(bool ticked) { chkZHMode_->setChecked(ticked); }

Answer Form1::showMessage(const std::string& text, Buttons buttons, Icon icon) {
    return ShowMessage(this, text, buttons, icon);
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

}  // namespace tavrel
