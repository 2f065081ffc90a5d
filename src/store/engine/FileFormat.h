#pragma once

struct sqlite3;

// The one format of every keyed file of this program, "_.udb" above all, as
// the engine's 3.x versions write it: pages of 1 KiB, each encrypted with
// AES-256-CBC under a random IV and signed with HMAC-SHA1, the key derived
// from the passphrase with PBKDF2-HMAC-SHA1 in 64,000 iterations over the
// file's 16-byte salt. Later versions default to other settings (4 KiB
// pages, SHA-512, 256,000 iterations), would refuse such a file and would
// write one the earlier versions refuse; so nothing is left to a default.
namespace store {

// States the format on a keyed database of the connection ("main", or the
// name an attached database was given) before its first page is read, and
// reads every setting back: an engine that would not take one raises
// EDatabaseError and writes nothing.
void StateFileFormat(sqlite3* db, const char* schema);

} // namespace store
