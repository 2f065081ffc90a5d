#pragma once

struct sqlite3_vfs;

namespace store {

// The engine's own file layer with reading ahead for database files: once a
// connection reads two pages in a row, it reads the file onwards in 64 KiB
// pieces and serves the next pages from there. A re-list that misses the page
// cache reads thousands of 1 KiB pages in file order, each a system call of
// its own otherwise.
//
// What was read ahead holds only while the connection holds at least a
// shared lock, which keeps every other writer out of a database in
// rollback-journal mode; it is dropped when the lock goes, on every write,
// truncation and file control of the connection itself, and for good once
// the file is used with a write-ahead log. Journals and other files are read
// as before.
//
// Registered once under the name ReadAheadFilesName; connections ask for it by
// that name, so the engine's default stays as it is.
inline constexpr char ReadAheadFilesName[] = "quillory-read-ahead";
sqlite3_vfs* RegisterReadAheadFiles();

} // namespace store
