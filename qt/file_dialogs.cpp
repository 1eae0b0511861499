#include "qt/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace tavrel {
namespace {

std::function<void(QFileDialog&)>& Hook() {
    static std::function<void(QFileDialog&)> hook;
    return hook;
}

QString AnyCase(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) out += QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper());
        else out += c;
    }
    return out;
}

// The platform dialog's look varies; Qt's own dialog behaves the same
// everywhere: no option of its own, a typed name comes back as typed.
void Prepare(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
}

// What the user picked, or nothing when the dialog was cancelled.
std::optional<QStringList> Picked(QFileDialog& dialog) {
    if (Hook()) Hook()(dialog);
    else dialog.exec();
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<std::string> FirstChoice(QFileDialog& dialog) {
    const std::optional<QStringList> files = Picked(dialog);
    if (!files) return std::nullopt;
    return files->isEmpty() ? std::string() : files->first().toStdString();
}

// The file chooser of `request` (made with its title and start folder): its
// filters, the one asked for selected.
void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setObjectName(QStringLiteral("fileDialog"));
    Prepare(dialog);
    QStringList filters;
    for (const FileFilter& f : request.filters) filters << QtNameFilter(f);
    dialog.setNameFilters(filters);
    if (request.selectedFilter < static_cast<std::size_t>(filters.size())) {
        dialog.selectNameFilter(filters[static_cast<qsizetype>(request.selectedFilter)]);
    }
}

}  // namespace

QString QtNameFilter(const FileFilter& filter) {
    QStringList patterns;
    for (const QString& p : QString::fromStdString(filter.pattern).split(';', Qt::SkipEmptyParts)) {
        patterns << AnyCase(p.trimmed());
    }
    return QString::fromStdString(filter.description) + QStringLiteral(" (") + patterns.join(' ') + ')';
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title), QString::fromStdString(request.initialDir));
    PrepareFileDialog(dialog, request);
    dialog.setAcceptMode(request.saveMode ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    return FirstChoice(dialog);
}

std::vector<std::string> RunOpenFiles(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title), QString::fromStdString(request.initialDir));
    PrepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // A name typed without extension is looked for with it, as Windows' own
    // chooser does.
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    std::vector<std::string> paths;
    if (const std::optional<QStringList> files = Picked(dialog)) {
        for (const QString& file : *files) paths.push_back(file.toStdString());
    }
    return paths;
}

void SetFileDialogHook(std::function<void(QFileDialog& dialog)> act) { Hook() = std::move(act); }

std::optional<std::string> RunFolderBrowser(QWidget* parent, const FolderBrowserRequest& request) {
    QFileDialog dialog(parent, QString::fromStdString(request.title), QString::fromStdString(request.startFolder));
    dialog.setObjectName(QStringLiteral("folderBrowser"));
    Prepare(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return FirstChoice(dialog);
}

}  // namespace tavrel
