#pragma once

#include "platform/Service.h"

#include <QString>

#include <memory>

namespace platform {

// A held single-instance lock; released when destroyed (and by the system
// when the process ends).
class InstanceLockHandle {
public:
    virtual ~InstanceLockHandle() = default;
};

// The per-user named lock that lets only one copy of the program run.
class InstanceLockService {
public:
    virtual ~InstanceLockService() = default;
    // Takes the lock of this name; null when another holder has it or the
    // name cannot be locked at all.
    virtual std::unique_ptr<InstanceLockHandle> acquire(const QString& name) = 0;
};

inline InstanceLockService& instanceLocks() { return Service<InstanceLockService>::get(); }

} // namespace platform
