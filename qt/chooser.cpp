#include "qt/chooser.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "qt/form_builder.h"
#include "ui/archive_chooser.h"
#include "ui/layout.h"

namespace tavrel {
namespace {

std::function<void(QDialog&)>& Hook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

std::vector<bool> Ticks(const QListWidget& list) {
    std::vector<bool> ticks;
    for (int row = 0; row < list.count(); ++row) ticks.push_back(list.item(row)->checkState() == Qt::Checked);
    return ticks;
}

}  // namespace

std::optional<ArchiveChoice> ShowChooser(QWidget* parent, const std::vector<std::string>& rows,
                                         const std::string& name) {
    QDialog dialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint);
    dialog.setObjectName(QStringLiteral("frmChooseMod"));
    const auto widgets = BuildForm(dialog, ChooserLayout());
    auto* list = Widget<QListWidget>(widgets, "lstArchiveMods");
    for (const std::string& row : rows) {
        list->addItem(QString::fromStdString(row));
        list->item(list->count() - 1)->setCheckState(Qt::Checked);
    }
    list->setCurrentRow(0);
    auto* nameBox = Widget<QLineEdit>(widgets, "txtModName");
    nameBox->setText(QString::fromStdString(name));
    auto* ok = Widget<QPushButton>(widgets, "cmdOK");
    ok->setDefault(true);  // Enter, wherever the focus is, while OK is enabled
    const auto judge = [list, nameBox, ok] { ok->setEnabled(ChooserAccepts(Ticks(*list), nameBox->text().toStdString())); };
    judge();
    QObject::connect(list, &QListWidget::itemChanged, &dialog, judge);
    QObject::connect(nameBox, &QLineEdit::textChanged, &dialog, judge);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(Widget<QPushButton>(widgets, "cmdCancel"), &QPushButton::clicked, &dialog, &QDialog::reject);

    if (Hook()) Hook()(dialog);
    else dialog.exec();
    // OK is the one way to accept, and it answers only while it is enabled.
    if (dialog.result() != QDialog::Accepted || !ok->isEnabled()) return std::nullopt;
    ArchiveChoice choice;
    const std::vector<bool> ticks = Ticks(*list);
    for (std::size_t row = 0; row < ticks.size(); ++row) {
        if (ticks[row]) choice.ticked.push_back(row);
    }
    choice.name = nameBox->text().toStdString();
    return choice;
}

void SetChooserHook(std::function<void(QDialog& dialog)> act) { Hook() = std::move(act); }

}  // namespace tavrel
