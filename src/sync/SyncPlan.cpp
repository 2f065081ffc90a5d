#include "sync/SyncPlan.h"

#include "sync/CardMap.h"

namespace booksync {

FieldMerge MergeFields(const std::optional<Record>& base, const Record& local, const Record& remote)
{
    FieldMerge result;
    result.merged = local;
    for (int column = transfer::col::Category; column < transfer::col::Count; ++column) {
        const std::string& was = base ? (*base)[column] : std::string();
        const bool localChanged = !SameValue(column, local[column], was);
        const bool remoteChanged = !SameValue(column, remote[column], was);
        if (SameValue(column, local[column], remote[column]))
            continue;
        if (!localChanged) {
            result.merged[column] = remote[column];
            result.changesLocal = true;
        } else if (!remoteChanged) {
            result.changesRemote = true;
        } else {
            result.conflicts.push_back(column);
        }
    }
    return result;
}

RemoteStep OnRemoteChange(bool known, bool deletedHere, bool sameAsBase)
{
    if (!known)
        return RemoteStep::Create;
    if (deletedHere)
        return sameAsBase ? RemoteStep::KeepGone : RemoteStep::Restore;
    return RemoteStep::Merge;
}

GoneStep OnRemoteGone(bool deletedHere, bool changedHere)
{
    if (deletedHere)
        return GoneStep::Forget;
    return changedHere ? GoneStep::KeepAsNew : GoneStep::DeleteHere;
}

PushStep OnLocalChange(bool deletedHere, bool hasHref, bool confirmed, bool hasConflicts, bool cardChanges)
{
    if (deletedHere)
        return hasHref ? PushStep::Delete : PushStep::Forget;
    if (hasConflicts)
        return PushStep::Nothing;
    if (!hasHref || !confirmed)
        return PushStep::Create;
    return cardChanges ? PushStep::Update : PushStep::Nothing;
}

bool IsMassDelete(int deletions, int bookSize)
{
    return deletions >= MassDeleteFloor && deletions * 4 > bookSize;
}

} // namespace booksync
