#pragma once

#include "platform/CredentialStore.h"

#include <QMap>
#include <QTimer>

#include <deque>

// Secret-store double: secrets in memory, answered later on the event loop
// as a real store answers; "unavailable" plays a desktop without a secret
// service. The password question is answered from a script (nothing:
// cancelled) and counted. Installed for its own lifetime.
class FakeCredentials final : public platform::CredentialStore {
public:
    FakeCredentials() : override_(*this) {}

    bool available = true;
    QMap<QString, QString> secrets;
    std::deque<std::optional<QString>> answers;
    int asked = 0;

    void read(const QString& key, Done done) override
    {
        Later([this, key, done] {
            if (!available)
                done(Status::Unavailable, {});
            else if (secrets.contains(key))
                done(Status::Found, secrets.value(key));
            else
                done(Status::NotFound, {});
        });
    }
    // Writes take effect at once; only the answer comes later.
    void write(const QString& key, const QString& secret, Done done) override
    {
        if (available)
            secrets[key] = secret;
        Later([this, done] { done(available ? Status::Found : Status::Unavailable, {}); });
    }
    void remove(const QString& key, Done done) override
    {
        secrets.remove(key);
        Later([this, done] { done(available ? Status::Found : Status::Unavailable, {}); });
    }
    std::optional<QString> ask(QWidget*, const QString&, const QString&) override
    {
        ++asked;
        if (answers.empty())
            return std::nullopt;
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }

private:
    static void Later(std::function<void()> work) { QTimer::singleShot(0, std::move(work)); }

    platform::Service<platform::CredentialStore>::Override override_;
};
