#include "qt/copy_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace tavrel {
namespace {

constexpr int kSteps = 1000;
constexpr int kShowAfterMs = 400;

class QtCopyProgress : public CopyProgressView {
public:
    QtCopyProgress(QWidget* parent, const std::string& text)
        : dialog_(QString::fromStdString(text), QStringLiteral("Cancel"), 0, kSteps, parent) {
        dialog_.setObjectName(QStringLiteral("copyProgress"));
        dialog_.setWindowTitle(QStringLiteral("Tavrel"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(kShowAfterMs);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
    }

    bool update(std::uint64_t done, std::uint64_t total) override {
        const int value = total == 0 ? kSteps : static_cast<int>(done * kSteps / total);
        dialog_.setValue(value);  // handles the dialog's events once it shows
        if (!dialog_.isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

}  // namespace

std::unique_ptr<CopyProgressView> MakeCopyProgress(QWidget* parent, const std::string& text) {
    return std::make_unique<QtCopyProgress>(parent, text);
}

}  // namespace tavrel
