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

constexpr int kListRawName = Qt::UserRole;  // the entry's bytes as found on disk

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// Mouse buttons and keys held, as the handlers take them.
int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0) | (modifiers & Qt::MetaModifier ? 8 : 0);
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
      store_(*this),
      logic_(*this, store_, std::move(env)) {
    setObjectName(QStringLiteral("Form1"));
    buildLayout();
    connect(txtGeneralsFolder_, &QLineEdit::textChanged, this, &Form1::onFolderTextChanged);
    connect(lblActivate_, &ClickLabel::clicked, this, [this] { store_.lblActivate_Click(); });
    connect(lblDeactivate_, &ClickLabel::clicked, this, [this] { store_.lblDeactivate_Click(); });
    connect(lblDelete_, &ClickLabel::clicked, this, [this] { store_.lblDelete_Click(); });
    connect(lblInstallMod_, &ClickLabel::clicked, this, [this] { store_.lblInstallMod_Click(); });
    connect(cmdBrowse_, &QPushButton::clicked, this, [this] { logic_.cmdBrowse_Click(); });
    connect(chkZHMode_, &MouseUpCheckBox::mouseUp, this, [this] { logic_.chkZHMode_MouseUp(); });
    connect(lblNextTip_, &ClickLabel::clicked, this, [this] { logic_.lblNextTip_Click(); });
    connect(lblViewHelp_, &ClickLabel::clicked, this, [this] { logic_.lblViewHelp_Click(); });
    connect(picGenerals_, &PictureBox::mouseUp, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        logic_.picGenerals_MouseUp(ButtonCode(button), ShiftCode(keys));
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

void Form1::Form_Load() { logic_.Form_Load(); }

void Form1::closeEvent(QCloseEvent* event) {
    logic_.Form_QueryUnload();
    // The Tools window is owned by this one and goes with it; deleted rather
    // than closed, since closing it would bring this window back.
    delete tools_.data();
    event->accept();
}

void Form1::onFolderTextChanged() { logic_.txtGeneralsFolder_Change(!folderSetByProgram_); }

std::string Form1::folderText() const { return txtGeneralsFolder_->text().toStdString(); }

void Form1::setFolderText(const std::string& text) {
    const bool outer = folderSetByProgram_;
    folderSetByProgram_ = true;
    txtGeneralsFolder_->setText(ToQt(text));  // runs the change handling now
    folderSetByProgram_ = outer;
}

void Form1::clearList() { lstMods_->clear(); }

void Form1::addListEntry(const std::string& entry) {
    auto* item = new QListWidgetItem(ToQt(entry), lstMods_);
    item->setData(kListRawName, QByteArray::fromStdString(entry));
}

std::vector<std::string> Form1::listEntries() const {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(lstMods_->count()));
    for (int i = 0; i < lstMods_->count(); ++i) {
        entries.push_back(lstMods_->item(i)->data(kListRawName).toByteArray().toStdString());
    }
    return entries;
}

int Form1::selectedIndex() const {
    const QListWidgetItem* item = lstMods_->currentItem();
    return item && item->isSelected() ? lstMods_->row(item) : -1;
}

std::string Form1::activeMod() const { return activeMod_; }

void Form1::setActiveMod(const std::string& entry) {
    activeMod_ = entry;
    lblActiveMod_->setText(ToQt(entry));
}

void Form1::setZeroHourLabelVisible(bool visible) { lblZeroHour_->setVisible(visible); }

void Form1::showWindow() { show(); }

Answer Form1::message(const std::string& text, Buttons buttons, Icon icon) {
    return ShowMessage(this, text, buttons, icon);
}

std::unique_ptr<CopyProgressView> Form1::showCopyProgress(const std::string& text) {
    return MakeCopyProgress(this, text);
}

std::optional<std::string> Form1::runFileDialog(const FileDialogRequest& request) {
    return RunFileDialog(this, request);
}

std::optional<std::string> Form1::runFolderBrowser(const FolderBrowserRequest& request) {
    return RunFolderBrowser(this, request);
}

void Form1::setCaption(const std::string& caption) { setWindowTitle(ToQt(caption)); }

int Form1::tick() const { return chkZHMode_->isChecked() ? 1 : 0; }

void Form1::setTick(int tick) { chkZHMode_->setChecked(tick != 0); }

void Form1::setTipText(const std::string& text) { lblTipText_->setText(ToQt(text)); }

std::string Form1::programFolder() const { return QCoreApplication::applicationDirPath().toStdString(); }

std::string Form1::userDataFolder() const {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/TVL"))
        .toStdString();
}

void Form1::openTextFile(const std::string& path) {
    OpenInTextEditor(path, [window = QPointer<Form1>(this), path](const std::string& error) {
        if (window) window->message("Tavrel could not open " + path + " in a text editor. (" + error + ")",
                                    Buttons::Ok, Icon::Critical);
    });
}

void Form1::showTools(const std::string& generalsFolder) {
    if (!tools_) tools_ = new Form2(this);
    tools_->GeneralsFolder = generalsFolder;
    tools_->show();
    tools_->raise();
    tools_->activateWindow();
}

std::string Form1::readSetting(const std::string& key, const std::string& defaultValue) {
    return settings_.read(ToQt(key), ToQt(defaultValue)).toStdString();
}

void Form1::saveSetting(const std::string& key, const std::string& value) {
    if (settings_.save(ToQt(key), ToQt(value)) || settingsFailureShown_) return;
    settingsFailureShown_ = true;  // once per run: the folder box saves on every keystroke
    message("Tavrel could not save its settings to " + settings_.location().toStdString() + ".",
            Buttons::Ok, Icon::Exclamation);
}

}  // namespace tavrel
