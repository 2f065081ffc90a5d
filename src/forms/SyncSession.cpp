#include "forms/SyncSession.h"

#include "platform/CredentialStore.h"
#include "runtime/Dialogs.h"
#include "sync/SyncStore.h"

#include <QDateTime>
#include <QPointer>

namespace {

QByteArray PinBytes(const QString& hex) { return QByteArray::fromHex(hex.toLatin1()); }

} // namespace

TSyncSession::TSyncSession(QWidget* window, QString connectionString, QObject* parent)
    : QObject(parent), window_(window), connectionString_(std::move(connectionString))
{
}

TSyncSession::~TSyncSession() = default;

QString TSyncSession::SecretKey(const QString& server, const QString& user)
{
    return QStringLiteral("通讯录同步 %1@%2").arg(user, server);
}

booksync::Account TSyncSession::Stored() const
{
    try {
        return booksync::SyncStore::PeekAccount(connectionString_);
    } catch (const std::exception&) {
        return {};
    }
}

void TSyncSession::Sync(const Request& request)
{
    if (busy_) {
        again_ = request;
        return;
    }
    busy_ = true;
    request_ = request;
    try {
        booksync::SyncStore store(connectionString_);
        account_ = store.ReadAccount();
        const bool sameAccount = account_.server == request.server && account_.user == request.user;
        if (!sameAccount) {
            password_.reset();
            account_.pin.clear();
            account_.book.clear();
        }
        account_.server = request.server;
        account_.user = request.user;
        if (!request.book.isEmpty())
            account_.book = request.book.toString();
        store.WriteSettings(account_);
        if (!request.password.isEmpty())
            password_ = request.password;
        if (!request.keepPasswordInBook && account_.password)
            store.WritePassword(std::nullopt);
    } catch (const std::exception& error) {
        Report(QStringLiteral("本机数据库出错: %1").arg(QString::fromUtf8(error.what())));
        return;
    }
    if (request.server.isEmpty()) {
        Report(QStringLiteral("请填写服务器地址."));
        return;
    }
    WithPassword([this](std::optional<QString> password) {
        if (!password) {
            Report(QStringLiteral("没有密码, 未同步."));
            return;
        }
        password_ = password;
        transport_.SetCredentials({QUrl(account_.server), account_.user, *password, PinBytes(account_.pin)});
        if (account_.book.isEmpty())
            Discover();
        else
            Run(false);
    });
}

// A typed password is used at once and kept (KeepTyped) once the server has
// taken it; else the one known in this run, the one in the book's file when
// the user chose that, the secret store's, or the user's answer to a question
// asked once per run of the program.
void TSyncSession::WithPassword(std::function<void(std::optional<QString>)> next)
{
    const QString key = SecretKey(account_.server, account_.user);
    if (!request_.password.isEmpty()) {
        next(request_.password);
        return;
    }
    if (password_) {
        next(password_);
        return;
    }
    if (account_.password && request_.keepPasswordInBook) {
        next(account_.password);
        return;
    }
    QPointer<TSyncSession> self(this);
    platform::credentials().read(key, [self, next](platform::CredentialStore::Status status, const QString& secret) {
        if (!self)
            return;
        if (status == platform::CredentialStore::Status::Found) {
            next(secret);
            return;
        }
        // No secret store, or nothing in it: asked once per run of the
        // program, and again only when the user presses the button.
        if (self->asked_ && !self->request_.byUser) {
            next(std::nullopt);
            return;
        }
        self->asked_ = true;
        next(platform::credentials().ask(self->window_, QStringLiteral("通讯录同步"),
                                         QStringLiteral("请输入%1在服务器上的密码:").arg(self->account_.user)));
    });
}

void TSyncSession::Discover()
{
    discovery_ = std::make_unique<booksync::Discovery>(transport_, QUrl(account_.server));
    discovery_->Start([this](const booksync::DiscoveryResult& found) {
        discovery_.release()->deleteLater();
        if (found.outcome == booksync::Outcome::Untrusted && request_.byUser
            && ConfirmWarning(found.message + QStringLiteral("\n只有确认这是您自己的服务器时才信任它. 信任这个证书吗?"))) {
            account_.pin = QString::fromLatin1(found.fingerprint.toHex());
            booksync::SyncStore(connectionString_).WriteSettings(account_);
            transport_.SetCredentials({QUrl(account_.server), account_.user, *password_, found.fingerprint});
            Discover();
            return;
        }
        if (found.outcome != booksync::Outcome::Done || found.books.empty()) {
            if (found.outcome == booksync::Outcome::Unauthorized)
                password_.reset();
            Report(found.message);
            return;
        }
        account_.book = found.books.front().url.toString();
        try {
            booksync::SyncStore(connectionString_).WriteSettings(account_);
        } catch (const std::exception& error) {
            Report(QStringLiteral("本机数据库出错: %1").arg(QString::fromUtf8(error.what())));
            return;
        }
        emit booksFound(found.books, found.books.front().url);
        Run(false);
    });
}

void TSyncSession::Run(bool allowMassDelete)
{
    booksync::SyncOptions options;
    options.allowMassDelete = allowMassDelete;
    run_ = std::make_unique<booksync::SyncRun>(transport_, connectionString_, QUrl(account_.book), options);
    run_->Start([this](const booksync::SyncReport& report) {
        run_.release()->deleteLater();
        if (report.needsConfirmation) {
            // Asked at once when the user pressed the button; a sync of its own
            // accord waits, with the question on the page, for the button.
            if (request_.byUser && ConfirmWarning(report.message + QStringLiteral("\n确定要继续吗?"))) {
                Run(true);
                return;
            }
        } else if (report.outcome == booksync::Outcome::Untrusted && request_.byUser
                   && ConfirmWarning(report.message + QStringLiteral("\n只有确认这是您自己的服务器时才信任它. 信任这个证书吗?"))) {
            account_.pin = QString::fromLatin1(report.fingerprint.toHex());
            booksync::SyncStore(connectionString_).WriteSettings(account_);
            transport_.SetCredentials({QUrl(account_.server), account_.user, *password_, report.fingerprint});
            Run(false);
            return;
        } else if (report.outcome == booksync::Outcome::Unauthorized) {
            password_.reset();
        }
        Done(report);
    });
}

void TSyncSession::Report(const QString& message)
{
    booksync::SyncReport report;
    report.outcome = booksync::Outcome::Refused;
    report.message = message;
    try {
        booksync::SyncStore(connectionString_)
            .WriteResult(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), message);
    } catch (const std::exception&) {
    }
    Done(report);
}

void TSyncSession::KeepTyped()
{
    if (request_.password.isEmpty())
        return;
    platform::credentials().write(SecretKey(account_.server, account_.user), request_.password,
                                  [](platform::CredentialStore::Status, const QString&) {});
    if (request_.keepPasswordInBook) {
        try {
            booksync::SyncStore(connectionString_).WritePassword(request_.password);
        } catch (const std::exception&) {
        }
    }
}

void TSyncSession::Done(const booksync::SyncReport& report)
{
    if (report.outcome == booksync::Outcome::Done)
        KeepTyped();
    busy_ = false;
    emit finished(report);
    if (again_) {
        const Request next = *again_;
        again_.reset();
        Sync(next);
    }
}
