#pragma once

#include <QString>

#include <memory>

// The files that make up the book in the program folder, and the lock that
// keeps a second running program off it.
namespace store {

// The lock file of the book whose database lies at databasePath: beside the
// file the path finally names (where a link leads it), so that every program
// folder linked to one book meets the same lock.
QString BookLockPath(const QString& databasePath);

// Whether writing at path would replace one of the book's files: the database
// (also where a link leads it), its journals and lock, "class.dat" (also its
// link's target) or a password backup ("bak_…_.udb"). Files are compared by
// what they are on disk, not by how their paths are spelled, so links, second
// names and other spellings of the folder lead to the same answer.
bool IsBookFile(const QString& path, const QString& programFolder);

// Holds the book against a second running program: a lock on the lock file
// (made when missing) and one on the database file itself, which serves a
// folder where no lock file can be made. The system lets both go when the
// process ends. A missing database is not locked.
class BookLock {
public:
    static BookLock Take(const QString& databasePath);

    // Another running program holds the book.
    bool HeldElsewhere() const { return heldElsewhere_; }

private:
    bool heldElsewhere_ = false;
    std::shared_ptr<const void> locks_;
};

} // namespace store
