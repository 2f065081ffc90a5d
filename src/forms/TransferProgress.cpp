#include "forms/TransferProgress.h"

#include "runtime/Application.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace transfer {
namespace {

constexpr int SliceMs = 50;
constexpr int ShowAfterMs = 500;
constexpr int Steps = 1000;

// A label, a bar and "取消", laid out so that a skin's frame fits around them.
class ProgressDialog final : public QDialog {
public:
    ProgressDialog(QWidget* window, const QString& label) : QDialog(window)
    {
        setObjectName(QStringLiteral("TransferProgress"));
        setWindowTitle(Application->Title);
        setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(label, this));
        bar_ = new QProgressBar(this);
        bar_->setRange(0, Steps);
        bar_->setMinimumWidth(240);
        layout->addWidget(bar_);
        auto* cancel = new QPushButton(QStringLiteral("取消"), this);
        cancel->setObjectName(QStringLiteral("Cancel"));
        cancel->setAutoDefault(false);
        layout->addWidget(cancel, 0, Qt::AlignRight);
        // Closing the dialog or Esc cancels as well.
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        connect(this, &QDialog::rejected, this, [this] { cancelled_ = true; });
    }

    bool Cancelled() const { return cancelled_; }
    void SetProgress(double done) { bar_->setValue(static_cast<int>(done * Steps)); }

private:
    QProgressBar* bar_ = nullptr;
    bool cancelled_ = false;
};

} // namespace

bool RunWithProgress(QWidget* window, const QString& label, const std::function<bool()>& step,
                     const std::function<double()>& progress)
{
    ProgressDialog dialog(window, label);
    QElapsedTimer running;
    running.start();
    for (;;) {
        // Until the dialog is up nothing stops input to the windows, so none is taken.
        QCoreApplication::processEvents(dialog.isVisible() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
        if (dialog.Cancelled() || Application->Terminated())
            return false;
        QElapsedTimer slice;
        slice.start();
        bool more = true;
        while (more && slice.elapsed() < SliceMs)
            more = step();
        if (!more)
            return true;
        dialog.SetProgress(progress());
        if (!dialog.isVisible() && running.elapsed() >= ShowAfterMs)
            dialog.show();
    }
}

} // namespace transfer
