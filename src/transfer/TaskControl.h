#pragma once

#include <algorithm>
#include <atomic>
#include <exception>

// Between long work on a thread of its own and the window that waits for it:
// the window reads how far the work has got and may cancel it; the work
// checks often enough (every record, every megabyte) that a cancel takes
// effect at once.
namespace transfer {

// Thrown out of the work by TaskControl::Check once it has been cancelled.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

class TaskControl {
public:
    // Either thread.
    void Cancel() { cancelled_ = true; }
    bool IsCancelled() const { return cancelled_; }
    // The whole work's progress, from 0 to 1.
    double Progress() const { return progress_; }

    // The work's thread.
    void Check() const
    {
        if (cancelled_)
            throw Cancelled();
    }
    // The share of the whole that the next steps fill: Report(0) to
    // Report(1) then move the progress from `from` to `to`.
    void Phase(double from, double to)
    {
        from_ = from;
        to_ = to;
        Report(0);
    }
    // Checks for a cancel, and notes how far the current phase has got.
    void Report(double done)
    {
        Check();
        progress_ = from_ + (to_ - from_) * std::clamp(done, 0.0, 1.0);
    }

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<double> progress_{0};
    double from_ = 0;
    double to_ = 1;
};

} // namespace transfer
