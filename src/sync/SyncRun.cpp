#include "sync/SyncRun.h"

#include "sync/CardMap.h"
#include "sync/CardPatch.h"
#include "sync/SyncPlan.h"
#include "store/engine/DatabaseError.h"
#include "transfer/FileFormatError.h"
#include "transfer/RecordBuilder.h"

#include <QDateTime>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace booksync {
namespace {

namespace col = transfer::col;
using net::DavRequest;
using net::DavResponse;
using net::Failure;

constexpr char XmlType[] = "application/xml; charset=utf-8";
constexpr char CardType[] = "text/vcard; charset=utf-8";
// Pull and push at most this often in one run: a card that keeps changing
// under a push is left for the next sync.
constexpr int MaxRounds = 3;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

bool SharesAnEntry(const Record& a, const Record& b)
{
    for (int column : {col::QQ, col::Mobile, col::Phone, col::Fax, col::Email}) {
        const std::vector<std::string_view> left = EntriesOf(a[column]);
        for (const std::string_view entry : EntriesOf(b[column]))
            if (std::find(left.begin(), left.end(), entry) != left.end())
                return true;
    }
    return false;
}

std::string NameKey(const Record& record) { return std::string(transfer::Trimmed(record[col::Name])); }

} // namespace

SyncRun::SyncRun(net::DavTransport& transport, QString connectionString, QUrl book, SyncOptions options, QObject* parent)
    : QObject(parent), transport_(transport), connectionString_(std::move(connectionString)), book_(std::move(book)),
      options_(options)
{
}

SyncRun::~SyncRun() = default;

std::string SyncRun::BookPath() const { return Utf8(book_.path(QUrl::FullyDecoded)); }

QUrl SyncRun::UrlOf(const std::string& path) const { return UrlOfPath(book_, QString::fromStdString(path)); }

void SyncRun::Start(std::function<void(const SyncReport&)> done)
{
    done_ = std::move(done);
    startRequests_ = transport_.RequestsSent();
    try {
        keyHold_ = SyncStore::HoldKey(connectionString_);
        SyncStore store(connectionString_);
        token_ = store.ReadAccount().token;
    } catch (const std::exception& error) {
        FailLocal(QString::fromUtf8(error.what()));
        return;
    }
    Pull();
}

void SyncRun::Pull()
{
    ++round_;
    pushedThisRound_ = false;
    full_ = token_.isEmpty();
    changed_.clear();
    gone_.clear();
    toFetch_.clear();
    fetched_ = 0;
    List(token_);
}

void SyncRun::List(const QString& token)
{
    transport_.Send({"REPORT", book_, bodies::SyncCollection(token), XmlType, "0", {}, false,
                     net::DavTransport::ListingSilenceLimitMs},
                    [this, token](const DavResponse& response) {
                        if (response.failure != Failure::None || response.status == 401) {
                            Fail(response);
                            return;
                        }
                        const Multistatus answer = response.status == 207 ? ParseMultistatus(response.body, book_) : Multistatus();
                        if (!answer.valid) {
                            // A refused or unknown token: the whole listing, from no token.
                            if (!token.isEmpty()) {
                                full_ = true;
                                changed_.clear();
                                gone_.clear();
                                List(QString());
                            } else {
                                ListByPropfind();
                            }
                            return;
                        }
                        const std::string book = BookPath();
                        for (const DavEntry& entry : answer.entries) {
                            const std::string href = Utf8(entry.href);
                            if (href == book || href.size() <= book.size() || !href.starts_with(book))
                                continue;
                            if (entry.status == 404) {
                                gone_.insert(href);
                                changed_.erase(href);
                            } else if (entry.status >= 200 && entry.status < 300) {
                                changed_[href] = Utf8(entry.etag);
                                gone_.erase(href);
                            }
                        }
                        if (answer.truncated && !answer.syncToken.isEmpty() && answer.syncToken != token) {
                            List(answer.syncToken);
                            return;
                        }
                        ListingDone(answer.syncToken);
                    });
}

// A server without sync-collection: the book's cards and their ETags.
void SyncRun::ListByPropfind()
{
    full_ = true;
    transport_.Send({"PROPFIND", book_, bodies::EtagPropfind(), XmlType, "1", {}, false,
                     net::DavTransport::ListingSilenceLimitMs},
                    [this](const DavResponse& response) {
        const Multistatus answer = response.status == 207 ? ParseMultistatus(response.body, book_) : Multistatus();
        if (!answer.valid) {
            Fail(response);
            return;
        }
        const std::string book = BookPath();
        for (const DavEntry& entry : answer.entries) {
            const std::string href = Utf8(entry.href);
            if (!entry.isCollection && href.starts_with(book) && href.size() > book.size())
                changed_[href] = Utf8(entry.etag);
        }
        ListingDone(QString());
    });
}

void SyncRun::ListingDone(const QString& newToken)
{
    newToken_ = newToken;
    if (!full_ && changed_.empty() && gone_.empty()) {
        FinishPull(); // nothing changed there: nothing of the book to read
        return;
    }
    try {
        SyncStore store(connectionString_);
        known_ = store.ItemsByHref();
        if (full_) {
            // Whatever the book knows to be on the server and the listing lacks is gone there.
            for (const auto& [href, known] : known_)
                if (known.etag && !changed_.contains(href))
                    gone_.insert(href);
        }
        int deletions = 0;
        for (const std::string& href : gone_) {
            const auto known = known_.find(href);
            if (known == known_.end())
                continue;
            const std::optional<Item> item = store.ReadItem(known->second.number);
            if (item && !item->deleted && item->dirty == 0)
                ++deletions;
        }
        const bool emptyServer = full_ && changed_.empty()
            && std::any_of(known_.begin(), known_.end(), [](const auto& entry) { return entry.second.etag.has_value(); });
        if (!options_.allowMassDelete && (emptyServer || IsMassDelete(deletions, store.RecordCount()))) {
            SyncReport report = report_;
            report.needsConfirmation = true;
            report.emptyServer = emptyServer;
            report.pendingDeletions = deletions;
            report.message = emptyServer
                ? QStringLiteral("服务器上的通讯录是空的, 同步会删除本机的%1条记录, 等待确认.").arg(deletions)
                : QStringLiteral("服务器上删除了%1条记录, 同步会在本机也删除它们, 等待确认.").arg(deletions);
            Stop(report);
            return;
        }
        for (const auto& [href, etag] : changed_) {
            const auto known = known_.find(href);
            if (known == known_.end() || !known->second.etag || *known->second.etag != etag || etag.empty())
                toFetch_.push_back(href);
        }
        std::sort(toFetch_.begin(), toFetch_.end());
    } catch (const std::exception& error) {
        FailLocal(QString::fromUtf8(error.what()));
        return;
    }
    FetchNext();
}

void SyncRun::FetchNext()
{
    if (fetched_ >= toFetch_.size()) {
        FinishPull();
        return;
    }
    QStringList batch;
    const std::size_t end = std::min(toFetch_.size(), fetched_ + FetchSize);
    for (std::size_t i = fetched_; i < end; ++i)
        batch << QString::fromStdString(toFetch_[i]);
    fetched_ = end;
    transport_.Send({"REPORT", book_, bodies::Multiget(batch), XmlType, "1", {}, false,
                     net::DavTransport::ListingSilenceLimitMs},
                    [this](const DavResponse& response) {
        Multistatus answer = response.status == 207 ? ParseMultistatus(response.body, book_) : Multistatus();
        if (!answer.valid) {
            Fail(response);
            return;
        }
        ApplyCards(std::make_shared<std::vector<DavEntry>>(std::move(answer.entries)), 0);
    });
}

// One batch of the cards fetched, in one transaction; the next batch after a
// turn of the event loop.
void SyncRun::ApplyCards(std::shared_ptr<std::vector<DavEntry>> entries, std::size_t from)
{
    const std::size_t end = std::min(entries->size(), from + BatchSize);
    try {
        SyncStore store(connectionString_);
        SyncStore::Transaction transaction(store);
        for (std::size_t i = from; i < end; ++i) {
            const DavEntry& entry = (*entries)[i];
            const std::string href = Utf8(entry.href);
            if (entry.status == 404) {
                gone_.insert(href); // deleted between the listing and now
                continue;
            }
            if (entry.hasAddressData && entry.status >= 200 && entry.status < 300)
                ApplyCard(store, href, Utf8(entry.etag), entry.addressData.toStdString());
        }
        transaction.Commit();
    } catch (const std::exception& error) {
        FailLocal(QString::fromUtf8(error.what()));
        return;
    }
    if (end < entries->size())
        QTimer::singleShot(0, this, [this, entries, end] { ApplyCards(entries, end); });
    else
        FetchNext();
}

void SyncRun::ApplyCard(SyncStore& store, const std::string& href, const std::string& etag, const std::string& card)
{
    const std::optional<Record> remote = RecordOfCard(card);
    if (!remote) {
        ++report_.unreadable; // left on the server as it is
        return;
    }
    const auto known = known_.find(href);
    std::optional<Item> item = known == known_.end() ? std::nullopt : store.ReadItem(known->second.number);
    const std::optional<Record> local = item ? store.ReadRecord(item->number) : std::nullopt;
    const std::optional<Record> base = item && item->card ? RecordOfCard(*item->card) : std::nullopt;
    const RemoteStep step = OnRemoteChange(item.has_value(), item && (item->deleted || !local),
                                           base && SameRecord(*base, *remote));
    auto noteCategory = [&](const Record& record) {
        const QString category = QString::fromStdString(record[col::Category]);
        if (!category.isEmpty() && !report_.categories.contains(category))
            report_.categories << category;
    };
    switch (step) {
    case RemoteStep::KeepGone:
        item->card = card;
        item->etag = etag;
        store.WriteItem(*item);
        break;
    case RemoteStep::Create:
    case RemoteStep::Restore: {
        Item fresh;
        if (step == RemoteStep::Restore) {
            fresh = *item;
            store.ForgetItem(item->number);
            ++report_.restored;
        }
        const std::optional<long long> partner = step == RemoteStep::Create ? PartnerOf(store, *remote) : std::nullopt;
        if (partner) {
            const std::optional<Record> mine = store.ReadRecord(*partner);
            const FieldMerge merge = MergeFields(std::nullopt, *mine, *remote);
            if (merge.changesLocal) {
                store.UpdateRecord(*partner, merge.merged);
                ++report_.updated;
            }
            std::vector<std::pair<int, std::string>> conflicts;
            for (const int column : merge.conflicts)
                conflicts.emplace_back(column, (*remote)[column]);
            store.ReplaceConflicts(*partner, conflicts);
            report_.conflicts += static_cast<int>(conflicts.size());
            fresh.number = *partner;
            fresh.dirty = merge.changesRemote ? 1 : 0;
        } else {
            fresh.number = store.InsertRecord(*remote);
            fresh.dirty = 0;
            report_.created += step == RemoteStep::Create ? 1 : 0;
            noteCategory(*remote);
        }
        fresh.uid = UidOfCard(card);
        fresh.href = href;
        fresh.etag = etag;
        fresh.card = card;
        fresh.deleted = false;
        store.WriteItem(fresh);
        known_[href] = {fresh.number, etag};
        break;
    }
    case RemoteStep::Merge: {
        const FieldMerge merge = MergeFields(base, *local, *remote);
        if (merge.changesLocal) {
            store.UpdateRecord(item->number, merge.merged);
            ++report_.updated;
            noteCategory(merge.merged);
        }
        std::vector<std::pair<int, std::string>> conflicts;
        for (const int column : merge.conflicts)
            conflicts.emplace_back(column, (*remote)[column]);
        store.ReplaceConflicts(item->number, conflicts);
        report_.conflicts += static_cast<int>(conflicts.size());
        item->card = card;
        item->etag = etag;
        item->dirty = merge.changesRemote ? 1 : 0;
        store.WriteItem(*item);
        known_[href] = {item->number, etag};
        break;
    }
    }
}

std::optional<long long> SyncRun::PartnerOf(SyncStore& store, const Record& card)
{
    if (!partnersLoaded_) {
        partnersLoaded_ = true;
        for (const long long number : store.UnlinkedRecords())
            if (const std::optional<Record> record = store.ReadRecord(number))
                partners_[NameKey(*record)].push_back(number);
    }
    const auto found = partners_.find(NameKey(card));
    if (found == partners_.end() || found->first.empty())
        return std::nullopt;
    std::vector<long long>& candidates = found->second;
    for (auto it = candidates.begin(); it != candidates.end(); ++it) {
        const std::optional<Record> mine = store.ReadRecord(*it);
        if (mine && (SameRecord(*mine, card) || SharesAnEntry(*mine, card))) {
            const long long number = *it;
            candidates.erase(it);
            return number;
        }
    }
    return std::nullopt;
}

void SyncRun::FinishPull()
{
    try {
        SyncStore store(connectionString_);
        SyncStore::Transaction transaction(store);
        for (const std::string& href : gone_) {
            const auto known = known_.find(href);
            if (known == known_.end())
                continue;
            std::optional<Item> item = store.ReadItem(known->second.number);
            known_.erase(known);
            if (!item)
                continue;
            const std::optional<Record> local = store.ReadRecord(item->number);
            const std::optional<Record> base = item->card ? RecordOfCard(*item->card) : std::nullopt;
            const bool changedHere = local && item->dirty > 0 && (!base || !SameRecord(*local, *base));
            switch (OnRemoteGone(item->deleted || !local, changedHere)) {
            case GoneStep::Forget: store.ForgetItem(item->number); break;
            case GoneStep::DeleteHere:
                store.DeleteRecord(item->number);
                store.ForgetItem(item->number);
                ++report_.deletedHere;
                break;
            case GoneStep::KeepAsNew:
                item->uid.clear();
                item->href.clear();
                item->etag.reset();
                item->card.reset();
                item->dirty = std::max<long long>(item->dirty, 1);
                store.WriteItem(*item);
                break;
            }
        }
        // Only now, with every change it stands for in the book.
        store.WriteToken(newToken_);
        transaction.Commit();
        token_ = newToken_;
    } catch (const std::exception& error) {
        FailLocal(QString::fromUtf8(error.what()));
        return;
    }
    Push();
}

void SyncRun::Push()
{
    try {
        SyncStore store(connectionString_);
        toPush_ = store.DirtyItems();
        pushedIndex_ = 0;
        int deletions = 0;
        for (const long long number : toPush_) {
            const std::optional<Item> item = store.ReadItem(number);
            if (item && item->deleted && !item->href.empty())
                ++deletions;
        }
        if (!options_.allowMassDelete && IsMassDelete(deletions, store.RecordCount() + deletions)) {
            SyncReport report = report_;
            report.needsConfirmation = true;
            report.pendingDeletions = deletions;
            report.message = QStringLiteral("本机删除了%1条记录, 同步会在服务器上也删除它们, 等待确认.").arg(deletions);
            Stop(report);
            return;
        }
    } catch (const std::exception& error) {
        FailLocal(QString::fromUtf8(error.what()));
        return;
    }
    PushNext();
}

void SyncRun::PushNext()
{
    while (pushedIndex_ < toPush_.size()) {
        const long long number = toPush_[pushedIndex_++];
        DavRequest request;
        long long seenDirty = 0;
        std::string body;
        bool forget = false;
        try {
            SyncStore store(connectionString_);
            std::optional<Item> item = store.ReadItem(number);
            if (!item)
                continue;
            seenDirty = item->dirty;
            const std::optional<Record> local = item->deleted ? std::nullopt : store.ReadRecord(number);
            bool cardChanges = false;
            if (local && item->card) {
                const std::optional<Record> base = RecordOfCard(*item->card);
                try {
                    body = base ? PatchCard(*item->card, *base, *local) : *item->card;
                } catch (const transfer::FileFormatError&) {
                    // A card too broken to patch is written anew, under its own UID.
                    const std::string uid = UidOfCard(*item->card);
                    body = NewCard(*local, uid.empty() ? item->uid : uid);
                }
                cardChanges = body != *item->card;
            }
            switch (OnLocalChange(item->deleted || !local, !item->href.empty(), item->etag.has_value(),
                                  store.HasConflicts(number), cardChanges)) {
            case PushStep::Nothing: store.ClearDirty(number, seenDirty); continue;
            case PushStep::Forget: store.ForgetItem(number); continue;
            case PushStep::Create:
                if (item->href.empty()) {
                    // The href is fixed before the request: a create whose answer
                    // is lost is sent again to the same place, where it meets itself.
                    item->uid = Utf8(QUuid::createUuid().toString(QUuid::WithoutBraces));
                    item->href = BookPath() + item->uid + ".vcf";
                    item->etag.reset();
                    item->card.reset();
                    store.WriteItem(*item);
                }
                body = NewCard(*local, item->uid.empty() ? Utf8(QUuid::createUuid().toString(QUuid::WithoutBraces)) : item->uid);
                request = {"PUT", UrlOf(item->href), QByteArray::fromStdString(body), CardType, {}, {}, true};
                break;
            case PushStep::Update:
                request = {"PUT", UrlOf(item->href), QByteArray::fromStdString(body), CardType, {}, QByteArray::fromStdString(*item->etag), false};
                break;
            case PushStep::Delete:
                request = {"DELETE", UrlOf(item->href), {}, {}, {}, {}, false};
                if (item->etag && !item->etag->empty())
                    request.ifMatch = QByteArray::fromStdString(*item->etag);
                forget = true;
                break;
            }
        } catch (const std::exception& error) {
            FailLocal(QString::fromUtf8(error.what()));
            return;
        }
        transport_.Send(request, [this, number, seenDirty, body, forget](const DavResponse& response) {
            if (response.failure != Failure::None || response.status == 401) {
                Fail(response);
                return;
            }
            if (response.Ok() || (forget && response.status == 404))
                Pushed(number, seenDirty, body, forget);
            else if (response.status == 412)
                pushedThisRound_ = true; // pull again at once, to merge and send once more
            // 412: the server's card changed meanwhile; the next pull merges it and
            // the record goes up again. Other refusals leave the record for later.
            PushNext();
        });
        return;
    }
    // Everything sent: bring back what the server made of it.
    if (pushedThisRound_ && round_ < MaxRounds) {
        Pull();
        return;
    }
    Finish();
}

void SyncRun::Pushed(long long number, long long seenDirty, const std::string& card, bool forget)
{
    pushedThisRound_ = true;
    try {
        SyncStore store(connectionString_);
        SyncStore::Transaction transaction(store);
        if (forget) {
            store.ForgetItem(number);
            ++report_.deletedThere;
        } else if (std::optional<Item> item = store.ReadItem(number)) {
            item->card = card;
            item->etag = std::string(); // on the server; its own copy comes with the next pull
            store.WriteItem(*item);
            store.ClearDirty(number, seenDirty);
            ++report_.uploaded;
        }
        transaction.Commit();
    } catch (const std::exception& error) {
        // The card is on the server; the next sync meets it there and links it.
        qWarning("sync: %s", error.what());
    }
}

void SyncRun::Fail(const DavResponse& response)
{
    SyncReport report = report_;
    report.outcome = OutcomeOf(response);
    report.fingerprint = response.fingerprint;
    report.message = DescribeFailure(response);
    Stop(report);
}

void SyncRun::FailLocal(const QString& why)
{
    SyncReport report = report_;
    report.outcome = Outcome::Refused;
    report.message = QStringLiteral("本机数据库出错: %1").arg(why);
    Stop(report);
}

void SyncRun::Finish()
{
    SyncReport report = report_;
    try {
        SyncStore store(connectionString_);
        report.conflicts = static_cast<int>(store.Conflicts().size());
    } catch (const std::exception&) {
    }
    QStringList parts;
    auto add = [&](int count, const char* text) {
        if (count > 0)
            parts << QString::fromUtf8(text).arg(count);
    };
    add(report.created, "新增%1条");
    add(report.updated, "更新%1条");
    add(report.deletedHere, "删除本机%1条");
    add(report.restored, "恢复%1条");
    add(report.uploaded, "上传%1条");
    add(report.deletedThere, "删除服务器%1条");
    report.message = parts.isEmpty() ? QStringLiteral("同步完成, 没有变化.")
                                     : QStringLiteral("同步完成: ") + parts.join(QStringLiteral(", ")) + QLatin1Char('.');
    if (report.conflicts > 0)
        report.message += QStringLiteral(" 有%1处冲突待处理.").arg(report.conflicts);
    if (report.unreadable > 0)
        report.message += QStringLiteral(" 服务器上有%1张名片无法读取, 未同步.").arg(report.unreadable);
    Stop(report);
}

void SyncRun::Stop(SyncReport report)
{
    report.requests = transport_.RequestsSent() - startRequests_;
    try {
        SyncStore store(connectionString_);
        store.WriteResult(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), report.message);
    } catch (const std::exception&) {
    }
    keyHold_.reset();
    auto done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(report);
}

} // namespace booksync
