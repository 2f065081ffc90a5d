#pragma once

struct sqlite3;

// The tables that tie the book to a contact server, kept in the book's own
// file, and the triggers that let them see every change of table data:
//
//   sync_account   one row: the server, user, address book, sync token,
//                  a trusted certificate's fingerprint, the password only
//                  when the user chose to keep it here, the last result
//   sync_item      one row per record that is or will be on the server:
//                  编号, the card's UID, href and ETag, the card as last
//                  synced (the base of the next merge), a count of local
//                  changes since, and whether the record was deleted here
//   sync_conflict  the server's value of each field changed on both sides,
//                  kept until the user picks one
//
// The triggers fire for every writer of data, also an older build of the
// program that knows nothing of them. They use nothing newer than the
// engine's oldest supported version (SQLite 3.15 under SQLCipher 3.4): a
// trigger an engine cannot parse would make the whole file unreadable.
namespace store {

// Creates whatever of the above is missing, in one transaction. Idempotent.
// Raises EDatabaseError.
void EnsureSyncSchema(sqlite3* db);

// Whether the file holds the sync tables (without creating them).
bool HasSyncSchema(sqlite3* db);

} // namespace store
