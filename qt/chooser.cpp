#include "qt/chooser.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include "qt/form_builder.h"
#include "ui/layout.h"

namespace tavrel {
namespace {

std::function<void(QDialog&)>& Hook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

}  // namespace

std::optional<std::size_t> ShowChooser(QWidget* parent, const std::vector<std::string>& rows) {
    QDialog dialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                               Qt::MSWindowsFixedSizeDialogHint);
    dialog.setObjectName(QStringLiteral("frmChooseMod"));
    const auto widgets = BuildForm(dialog, ChooserLayout());
    auto* list = Widget<QListWidget>(widgets, "lstArchiveMods");
    for (const std::string& row : rows) list->addItem(QString::fromStdString(row));
    list->setCurrentRow(0);
    auto* ok = Widget<QPushButton>(widgets, "cmdOK");
    ok->setDefault(true);  // Enter, wherever the focus is
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(Widget<QPushButton>(widgets, "cmdCancel"), &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);

    if (Hook()) Hook()(dialog);
    else dialog.exec();
    const int row = list->currentRow();
    if (dialog.result() != QDialog::Accepted || row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void SetChooserHook(std::function<void(QDialog& dialog)> act) { Hook() = std::move(act); }

}  // namespace tavrel
