#include "forms/TransferProgress.h"

#include "runtime/Application.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <thread>

namespace transfer {
namespace {

constexpr int TickMs = 50;
constexpr int ShowAfterMs = 500;
constexpr int Steps = 1000;

// A label, a bar and "取消", laid out so that a skin's frame fits around them.
// A cancel (the button, Esc, closing) asks the work to stop; the dialog stays,
// keeping the other windows from input, until the work has stopped.
class ProgressDialog final : public QDialog {
public:
    ProgressDialog(QWidget* window, const QString& label, TaskControl& task) : QDialog(window), task_(task)
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
        cancel_ = new QPushButton(QStringLiteral("取消"), this);
        cancel_->setObjectName(QStringLiteral("Cancel"));
        cancel_->setAutoDefault(false);
        layout->addWidget(cancel_, 0, Qt::AlignRight);
        connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::reject);
    }

    void SetProgress(double done) { bar_->setValue(static_cast<int>(done * Steps)); }
    void reject() override
    {
        task_.Cancel();
        cancel_->setEnabled(false);
        cancel_->setText(QStringLiteral("正在取消..."));
    }

private:
    TaskControl& task_;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The work's thread, joined however the waiting ends.
class WorkThread {
public:
    WorkThread(TaskControl& task, const std::function<void(TaskControl&)>& work, QEventLoop& loop)
        : task_(task), thread_([this, &work, &loop] {
              try {
                  work(task_);
              } catch (const Cancelled&) {
                  // The window asked for it.
              } catch (...) {
                  error_ = std::current_exception();
              }
              done_ = true;
              QMetaObject::invokeMethod(&loop, [&loop] { loop.exit(0); }, Qt::QueuedConnection);
          })
    {
    }
    ~WorkThread()
    {
        if (!done_) // the wait ended early: the work stops at its next check
            task_.Cancel();
        thread_.join();
    }
    WorkThread(const WorkThread&) = delete;
    WorkThread& operator=(const WorkThread&) = delete;

    bool Done() const { return done_; }
    std::exception_ptr Error() const { return error_; }

private:
    TaskControl& task_;
    std::atomic<bool> done_{false};
    std::exception_ptr error_;
    std::thread thread_;
};

} // namespace

bool RunInBackground(QWidget* window, const QString& label, const std::function<void(TaskControl&)>& work)
{
    TaskControl task;
    ProgressDialog dialog(window, label, task);
    QEventLoop loop;
    QElapsedTimer running;
    running.start();
    QTimer tick;
    tick.setInterval(TickMs);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (Application->Terminated())
            task.Cancel();
        dialog.SetProgress(task.Progress());
        if (!dialog.isVisible() && running.elapsed() >= ShowAfterMs)
            loop.exit(1); // to show the dialog and take user input again
    });
    tick.start();
    {
        const WorkThread thread(task, work, loop);
        // Until the dialog is up nothing stops input to the windows, so none is taken.
        while (!thread.Done() && loop.exec(dialog.isVisible() ? QEventLoop::AllEvents
                                                              : QEventLoop::ExcludeUserInputEvents) != 0)
            dialog.show();
        // The thread is joined here; it has ended or ends at its next check.
        if (const std::exception_ptr error = thread.Error(); error && !task.IsCancelled())
            std::rethrow_exception(error);
    }
    return !task.IsCancelled();
}

bool RunWithProgress(QWidget* window, const QString& label, const std::function<bool()>& step,
                     const std::function<double()>& progress)
{
    return RunInBackground(window, label, [&](TaskControl& task) {
        while (step())
            task.Report(progress());
    });
}

} // namespace transfer
