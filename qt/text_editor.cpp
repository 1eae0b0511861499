#include "qt/text_editor.h"

#include <QProcess>

namespace tavrel {

void OpenInTextEditor(const std::string& path, std::function<void(const std::string& error)> onFailure) {
    const QString program = QStringLiteral("xdg-open");
    // Not owned by any window: the editor outlives a closed Tavrel. The
    // launcher itself returns at once, and then the object goes.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::errorOccurred, process, [process, onFailure](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        onFailure(process->errorString().toStdString());
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, program, onFailure](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0) {
            onFailure((program + QStringLiteral(" found no program to open it (exit code %1)").arg(code)).toStdString());
        }
        process->deleteLater();
    });
    process->setProgram(program);
    process->setArguments({QString::fromStdString(path)});  // the path as one argument
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start();
}

}  // namespace tavrel
