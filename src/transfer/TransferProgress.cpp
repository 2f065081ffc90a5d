#include "transfer/TransferProgress.h"

#include "app/Application.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace transfer {
namespace {

constexpr int SliceMs = 50;
constexpr int ShowAfterMs = 500;
constexpr int Steps = 1000;

} // namespace

bool RunWithProgress(QWidget* window, const QString& label, const std::function<bool()>& step,
                     const std::function<double()>& progress)
{
    QProgressDialog dialog(label, QStringLiteral("取消"), 0, Steps, window);
    dialog.setObjectName(QStringLiteral("TransferProgress"));
    dialog.setWindowTitle(Application->Title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(ShowAfterMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);
    for (;;) {
        // Until the dialog is up nothing stops input to the windows, so none is taken.
        QCoreApplication::processEvents(dialog.isVisible() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
        if (dialog.wasCanceled() || Application->Terminated())
            return false;
        QElapsedTimer slice;
        slice.start();
        bool more = true;
        while (more && slice.elapsed() < SliceMs)
            more = step();
        if (!more)
            return true;
        dialog.setValue(static_cast<int>(progress() * Steps));
    }
}

} // namespace transfer
