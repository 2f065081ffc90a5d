#pragma once

#include <QString>

// Where files lie: links followed, one file told from another by what it is
// rather than by how its path is spelled.
namespace platform {

// The file a path names once the symbolic links at its end are followed: a
// link's target (read from the link's folder when relative), its target in
// turn, and so on; the path itself when it is no link. The target need not
// exist. The folders on the way are left as they are: only the last part
// decides where the file lies. Throws FileError (ELOOP) after 40 links.
QString FollowLinks(const QString& path);

// FollowLinks, or the path itself (made absolute) where its links go round in
// a circle: such a path names no file but itself. Never throws.
QString WhereLinksLead(const QString& path);

// Whether two paths name one file: the same file on disk when both exist
// (whatever links, spellings or second names lead there); otherwise the same
// name in the same folder once the links at their ends are followed.
bool SameFile(const QString& first, const QString& second);

// The folder of a path (without its last part) and that last part.
QString FolderOf(const QString& path);
QString NameOf(const QString& path);

// Whether the folder takes new files: false when it is missing or the system
// would refuse this process a file in it (its rights, a read-only file system).
bool FolderTakesFiles(const QString& folder);

} // namespace platform
