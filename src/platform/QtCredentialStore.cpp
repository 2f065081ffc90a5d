#include "platform/CredentialStore.h"

#include <QInputDialog>
#include <QLineEdit>

#include <qt6keychain/keychain.h>

namespace platform {
namespace {

// Every secret of the program is filed under this service name.
const QString ServiceName = QStringLiteral("Quillory");

CredentialStore::Status StatusOf(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::NoError: return CredentialStore::Status::Found;
    case QKeychain::EntryNotFound: return CredentialStore::Status::NotFound;
    default: return CredentialStore::Status::Unavailable;
    }
}

class QtCredentialStore final : public CredentialStore {
public:
    void read(const QString& key, Done done) override
    {
        auto* job = new QKeychain::ReadPasswordJob(ServiceName);
        job->setKey(key);
        // Never the plain-text file the library falls back to without a store.
        job->setInsecureFallback(false);
        QObject::connect(job, &QKeychain::Job::finished, [done = std::move(done)](QKeychain::Job* finished) {
            const auto* reading = static_cast<QKeychain::ReadPasswordJob*>(finished);
            const Status status = StatusOf(*finished);
            done(status, status == Status::Found ? reading->textData() : QString());
        });
        job->start();
    }

    void write(const QString& key, const QString& secret, Done done) override
    {
        auto* job = new QKeychain::WritePasswordJob(ServiceName);
        job->setKey(key);
        job->setInsecureFallback(false);
        job->setTextData(secret);
        QObject::connect(job, &QKeychain::Job::finished,
                         [done = std::move(done)](QKeychain::Job* finished) { done(StatusOf(*finished), {}); });
        job->start();
    }

    void remove(const QString& key, Done done) override
    {
        auto* job = new QKeychain::DeletePasswordJob(ServiceName);
        job->setKey(key);
        job->setInsecureFallback(false);
        QObject::connect(job, &QKeychain::Job::finished,
                         [done = std::move(done)](QKeychain::Job* finished) { done(StatusOf(*finished), {}); });
        job->start();
    }

    std::optional<QString> ask(QWidget* parent, const QString& caption, const QString& text) override
    {
        bool ok = false;
        const QString answer = QInputDialog::getText(parent, caption, text, QLineEdit::Password, QString(), &ok);
        if (!ok)
            return std::nullopt;
        return answer;
    }
};

} // namespace

template <>
CredentialStore& Service<CredentialStore>::defaultInstance()
{
    static QtCredentialStore instance;
    return instance;
}

} // namespace platform
