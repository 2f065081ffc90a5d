#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace transfer {

// Records per call of a job's Step: a slice of the work runs several.
inline constexpr int RecordsPerStep = 100;

// Runs long work on the user-interface thread in slices of about 50 ms.
// Between slices pending events are processed, and from half a second on a
// progress dialog (object name "TransferProgress") with the label, a bar and
// a button "取消" shows how far the work has got; it keeps every other window
// of the program from input, and closing it cancels too. step does a
// little work and answers whether more remains; progress tells how much is
// done, from 0 to 1. Answers false when the user cancelled, or the program
// began to end, before the work was done.
bool RunWithProgress(QWidget* window, const QString& label, const std::function<bool()>& step,
                     const std::function<double()>& progress);

} // namespace transfer
