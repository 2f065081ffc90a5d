#pragma once

#include "sync/DavXml.h"
#include "sync/Discovery.h"
#include "sync/SyncStore.h"
#include "sync/net/DavTransport.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

// One sync of the book with one address book on the server:
//
// 1. pull: the changes since the stored sync-token (sync-collection), or
//    the whole listing when the token is refused or there is none; the
//    changed cards fetched 100 at a time (addressbook-multiget) and merged
//    into the book, each batch in one transaction; the cards gone from the
//    server applied and the new token stored in the last transaction, so
//    that a token is never ahead of the changes it stands for;
// 2. push: every record changed here since: a new card (PUT If-None-Match *
//    at an href fixed and stored before the request), a patched card (PUT
//    If-Match), a deletion (DELETE If-Match; a 404 is done); a 412 leaves
//    the record to be merged with the server's newer card;
// 3. pull again when anything went up: it brings back the server's copies
//    of what was sent (servers rewrite cards) as the base of the next merge,
//    and a token that already includes them, so that the next sync with
//    nothing changed is one request.
//
// A deletion of more than a quarter of the book (at least 20 records), on
// either side, and an empty listing from a server whose cards the book
// knows, stop the run before anything is written until the user agrees.
// All of it runs on the window's thread between network answers; each
// database step handles at most one batch.
namespace booksync {

struct SyncOptions {
    bool allowMassDelete = false;
};

struct SyncReport {
    Outcome outcome = Outcome::Done;
    bool needsConfirmation = false; // stopped before a mass deletion or after an empty listing
    int pendingDeletions = 0;       // what the confirmation is about
    bool emptyServer = false;
    int created = 0;       // records new here
    int updated = 0;       // records changed here
    int deletedHere = 0;
    int restored = 0;      // records deleted here that came back, edited on the server
    int uploaded = 0;      // cards sent (new or patched)
    int deletedThere = 0;
    int conflicts = 0;     // fields waiting for the user
    int unreadable = 0;    // cards the server holds that could not be read
    int requests = 0;
    QStringList categories; // categories of the records that came in
    QString message;        // in Chinese
    QByteArray fingerprint; // Untrusted
};

class SyncRun : public QObject {
    Q_OBJECT
public:
    // Cards asked for in one multiget, and merged in one transaction (one
    // turn of the window's event loop).
    static constexpr int FetchSize = 1000;
    static constexpr int BatchSize = 100;

    SyncRun(net::DavTransport& transport, QString connectionString, QUrl book, SyncOptions options = {},
            QObject* parent = nullptr);
    ~SyncRun() override;

    // done is called once, on this thread.
    void Start(std::function<void(const SyncReport&)> done);

private:
    void Pull();
    void List(const QString& token);
    void ListByPropfind();
    void ListingDone(const QString& newToken);
    void FetchNext();
    void ApplyCards(std::shared_ptr<std::vector<DavEntry>> entries, std::size_t from);
    void ApplyCard(SyncStore& store, const std::string& href, const std::string& etag, const std::string& card);
    void FinishPull();
    void Push();
    void PushNext();
    void Pushed(long long number, long long seenDirty, const std::string& card, bool forget);
    void Fail(const net::DavResponse& response);
    void FailLocal(const QString& why);
    void Stop(SyncReport report);
    void Finish();

    // A local record without a card that matches a new card: the same name
    // and the same values, or a number, address or QQ in common.
    std::optional<long long> PartnerOf(SyncStore& store, const Record& card);

    std::string BookPath() const;
    QUrl UrlOf(const std::string& path) const;

    net::DavTransport& transport_;
    QString connectionString_;
    QUrl book_;
    SyncOptions options_;
    std::function<void(const SyncReport&)> done_;
    SyncReport report_;
    int startRequests_ = 0;
    std::shared_ptr<const void> keyHold_;
    int round_ = 0;
    bool pushedThisRound_ = false;

    // The listing under way.
    QString token_;
    bool full_ = false;
    std::unordered_map<std::string, std::string> changed_; // href → ETag
    std::set<std::string> gone_;
    QString newToken_;
    std::vector<std::string> toFetch_;
    std::size_t fetched_ = 0;
    std::unordered_map<std::string, SyncStore::Known> known_;
    bool partnersLoaded_ = false;
    std::unordered_map<std::string, std::vector<long long>> partners_; // by trimmed 姓名

    std::vector<long long> toPush_;
    std::size_t pushedIndex_ = 0;
};

} // namespace booksync
