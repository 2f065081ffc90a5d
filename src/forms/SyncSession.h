#pragma once

#include "sync/Discovery.h"
#include "sync/SyncRun.h"
#include "sync/net/DavTransport.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

// The settings page's sync, one run at a time: where the password comes
// from (what the user typed, else the desktop's secret store, else the
// book's file when the user chose that, else a question once per run of the
// program), discovery when the address or the user is new, the run itself,
// and the questions only the user can answer (a mass deletion, a
// certificate the system does not trust). A sync asked for while one runs
// runs once more after it. Everything happens between network answers on
// the window's thread.
class TSyncSession : public QObject {
    Q_OBJECT
public:
    struct Request {
        bool byUser = false;     // the button: questions may be asked, errors shown
        QString server;
        QString user;
        QString password;        // as typed; empty: the one kept
        QUrl book;               // the one picked on the page; empty: the one stored
        bool keepPasswordInBook = false;
    };

    TSyncSession(QWidget* window, QString connectionString, QObject* parent = nullptr);
    ~TSyncSession() override;

    void Sync(const Request& request);
    // The settings kept in the book's file (the last request's).
    booksync::Account Stored() const;
    bool Busy() const { return busy_; }

    // The key the password is filed under in the secret store.
    static QString SecretKey(const QString& server, const QString& user);

signals:
    void booksFound(const std::vector<booksync::AddressBook>& books, const QUrl& chosen);
    void finished(const booksync::SyncReport& report);

private:
    void WithPassword(std::function<void(std::optional<QString>)> next);
    void Discover();
    void Run(bool allowMassDelete);
    void Done(const booksync::SyncReport& report);
    void KeepTyped();
    void Report(const QString& message);

    QWidget* window_;
    QString connectionString_;
    booksync::net::DavTransport transport_;
    std::unique_ptr<booksync::Discovery> discovery_;
    std::unique_ptr<booksync::SyncRun> run_;
    Request request_;
    booksync::Account account_;
    std::optional<QString> password_; // known for this run of the program
    bool busy_ = false;
    bool asked_ = false;
    std::optional<Request> again_;
};
