#pragma once

#include <QString>

#include <memory>

namespace platform {

// An exclusive lock held on a file: released when destroyed, and by the
// system when the process ends however it ends, so a crashed holder never
// blocks anyone.
class FileLock {
public:
    enum class Outcome {
        Held,          // the lock is ours
        HeldElsewhere, // another process (or another lock of this one) holds it
        Unavailable,   // the file cannot be opened or locked at all
    };

    // Takes the lock of the file at path without waiting. With create, a
    // missing file is made with the given rights (the umask narrows them).
    static FileLock Take(const QString& path, bool create = false, unsigned mode = 0644);

    Outcome Result() const { return outcome_; }

private:
    struct Descriptor;
    Outcome outcome_ = Outcome::Unavailable;
    std::shared_ptr<Descriptor> held_;
};

} // namespace platform
