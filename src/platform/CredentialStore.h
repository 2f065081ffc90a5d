#pragma once

#include "platform/Service.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// The desktop's secret store (a secret service on the session bus), for the
// contact server's password, and the question the program asks when there
// is none. Reads and writes answer later, on the window's thread, so that a
// slow or locked store never holds the window.
class CredentialStore {
public:
    enum class Status {
        Found,       // read: the secret; write and remove: done
        NotFound,    // read: the store holds nothing under the key
        Unavailable, // no secret store on this desktop, or it refused
    };
    using Done = std::function<void(Status status, const QString& secret)>;

    virtual ~CredentialStore() = default;
    virtual void read(const QString& key, Done done) = 0;
    virtual void write(const QString& key, const QString& secret, Done done) = 0;
    virtual void remove(const QString& key, Done done) = 0;

    // Asks the user for a password in a modal box; nothing when cancelled.
    virtual std::optional<QString> ask(QWidget* parent, const QString& caption, const QString& text) = 0;
};

inline CredentialStore& credentials() { return Service<CredentialStore>::get(); }

} // namespace platform
