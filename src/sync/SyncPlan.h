#pragma once

#include "transfer/RecordColumns.h"

#include <optional>
#include <vector>

// What a sync does with one record, decided from three versions of it: the
// base (the card as last synced, read as a record), the local record and the
// server's card. Pure: no file, no network.
namespace booksync {

using transfer::Record;

// Three ways, field by field: a field changed on one side only takes that
// side's value; a field changed on both sides alike is no conflict; changed
// on both sides differently it keeps the local value and is a conflict. With
// no base (a record and a card met for the first time) an empty field counts
// as unchanged.
struct FieldMerge {
    Record merged;
    std::vector<int> conflicts; // the columns changed differently on both sides
    bool changesLocal = false;  // merged differs from the local record
    bool changesRemote = false; // merged (conflicts aside) differs from the server's card
};
FieldMerge MergeFields(const std::optional<Record>& base, const Record& local, const Record& remote);

// The server's card changed, or appeared.
enum class RemoteStep {
    Merge,     // the record exists here: merge the three versions
    Restore,   // deleted here, edited there: an edit beats a delete, the record comes back
    KeepGone,  // deleted here, unchanged there: the deletion goes to the server
    Create,    // a card new to this book: a new record
};
RemoteStep OnRemoteChange(bool known, bool deletedHere, bool sameAsBase);

// The server's card is gone.
enum class GoneStep {
    Forget,       // deleted on both sides, or never here
    DeleteHere,   // unchanged here since the last sync: it goes here too
    KeepAsNew,    // changed here: an edit beats a delete, it goes up again as a new card
};
GoneStep OnRemoteGone(bool deletedHere, bool changedHere);

// A local change to send.
enum class PushStep {
    Nothing,     // the card already says it, or a conflict waits for the user
    Create,      // PUT If-None-Match: * at the UID's href
    Update,      // PUT If-Match the stored ETag
    Delete,      // DELETE (If-Match when the ETag is known)
    Forget,      // deleted here before it ever reached the server
};
PushStep OnLocalChange(bool deletedHere, bool hasHref, bool confirmed, bool hasConflicts, bool cardChanges);

// A deletion of more than a quarter of the book, and of at least this many
// records, waits for the user's yes.
inline constexpr int MassDeleteFloor = 20;
bool IsMassDelete(int deletions, int bookSize);

} // namespace booksync
