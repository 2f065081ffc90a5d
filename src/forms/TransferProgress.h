#pragma once

#include "transfer/TaskControl.h"

#include <QString>

#include <functional>

class QWidget;

namespace transfer {

// Records per call of a job's Step.
inline constexpr int RecordsPerStep = 100;

// Runs long work on a thread of its own while the window's thread goes on
// serving events, so that no window waits on a file however large or hostile
// it is. From half a second on a progress dialog (object name
// "TransferProgress") with the label, a bar and a button "取消" shows how far
// the work has got; it keeps every other window of the program from input
// (until it shows, user input waits), and closing it cancels too. A cancel,
// or the program beginning to end, makes the work's next TaskControl check
// throw; the dialog stays until it has. Answers false when the work was
// cancelled; an error the work throws is thrown here. The work must touch no
// widget and nothing the window's thread uses meanwhile.
bool RunInBackground(QWidget* window, const QString& label, const std::function<void(TaskControl&)>& work);

// The same for work in steps: step does a little and answers whether more
// remains; progress tells how much is done, from 0 to 1. Both run on the
// work's thread.
bool RunWithProgress(QWidget* window, const QString& label, const std::function<bool()>& step,
                     const std::function<double()>& progress);

} // namespace transfer
