#include "store/engine/ReadAheadFiles.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace store {
namespace {

constexpr int Window = 64 * 1024;

// Our file, with the engine's own file right behind it.
struct ReadAheadFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool database;   // the main database file: the only one read ahead
    bool logged;     // seen with a write-ahead log: never read ahead again
    int lock;        // the lock this connection holds on it
    char* window;    // what was read ahead, allocated at the first use
    sqlite3_int64 windowStart;
    int windowBytes; // 0 while nothing is held
    sqlite3_int64 nextSequential; // where a read continuing the last one starts
};
static_assert(sizeof(ReadAheadFile) % 8 == 0, "the engine's file behind ours must stay aligned");

sqlite3_vfs* engineFiles = nullptr;

ReadAheadFile* Of(sqlite3_file* file) { return reinterpret_cast<ReadAheadFile*>(file); }
sqlite3_file* Real(sqlite3_file* file) { return Of(file)->real; }

void Forget(ReadAheadFile* file) { file->windowBytes = 0; }

bool Holds(const ReadAheadFile* file, sqlite3_int64 offset, int bytes)
{
    return file->windowBytes > 0 && offset >= file->windowStart
        && offset + bytes <= file->windowStart + file->windowBytes;
}

// Reads the window from `offset` on. Near the end of the file the engine's
// layer fills the rest with zeros and says so; what lies before the end is
// still good.
bool FillWindow(ReadAheadFile* file, sqlite3_int64 offset)
{
    if (!file->window) {
        file->window = static_cast<char*>(sqlite3_malloc(Window));
        if (!file->window)
            return false;
    }
    sqlite3_file* real = file->real;
    const int rc = real->pMethods->xRead(real, file->window, Window, offset);
    if (rc == SQLITE_OK) {
        file->windowBytes = Window;
    } else if (rc == SQLITE_IOERR_SHORT_READ) {
        sqlite3_int64 size = 0;
        if (real->pMethods->xFileSize(real, &size) != SQLITE_OK || size <= offset)
            return false;
        file->windowBytes = static_cast<int>(std::min<sqlite3_int64>(size - offset, Window));
    } else {
        return false;
    }
    file->windowStart = offset;
    return true;
}

int Close(sqlite3_file* file)
{
    ReadAheadFile* self = Of(file);
    sqlite3_free(self->window);
    self->window = nullptr;
    return self->real->pMethods->xClose(self->real);
}

int Read(sqlite3_file* file, void* buffer, int bytes, sqlite3_int64 offset)
{
    ReadAheadFile* self = Of(file);
    const bool sequential = offset == self->nextSequential;
    self->nextSequential = offset + bytes;
    if (self->database && !self->logged && self->lock >= SQLITE_LOCK_SHARED && bytes <= Window / 4) {
        if (!Holds(self, offset, bytes) && sequential) {
            Forget(self);
            FillWindow(self, offset);
        }
        if (Holds(self, offset, bytes)) {
            std::memcpy(buffer, self->window + (offset - self->windowStart), static_cast<std::size_t>(bytes));
            return SQLITE_OK;
        }
    }
    return self->real->pMethods->xRead(self->real, buffer, bytes, offset);
}

int Write(sqlite3_file* file, const void* buffer, int bytes, sqlite3_int64 offset)
{
    Forget(Of(file));
    return Real(file)->pMethods->xWrite(Real(file), buffer, bytes, offset);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size)
{
    Forget(Of(file));
    return Real(file)->pMethods->xTruncate(Real(file), size);
}

int Sync(sqlite3_file* file, int flags) { return Real(file)->pMethods->xSync(Real(file), flags); }

int FileSize(sqlite3_file* file, sqlite3_int64* size) { return Real(file)->pMethods->xFileSize(Real(file), size); }

int Lock(sqlite3_file* file, int level)
{
    const int rc = Real(file)->pMethods->xLock(Real(file), level);
    if (rc == SQLITE_OK)
        Of(file)->lock = std::max(Of(file)->lock, level);
    return rc;
}

int Unlock(sqlite3_file* file, int level)
{
    ReadAheadFile* self = Of(file);
    // Whatever the outcome, the lock may be gone: another writer may come.
    if (level < SQLITE_LOCK_SHARED)
        Forget(self);
    const int rc = self->real->pMethods->xUnlock(self->real, level);
    self->lock = std::min(self->lock, level);
    return rc;
}

int CheckReservedLock(sqlite3_file* file, int* result)
{
    return Real(file)->pMethods->xCheckReservedLock(Real(file), result);
}

int FileControl(sqlite3_file* file, int op, void* argument)
{
    // Some controls change the file; none needs what was read ahead.
    Forget(Of(file));
    return Real(file)->pMethods->xFileControl(Real(file), op, argument);
}

int SectorSize(sqlite3_file* file) { return Real(file)->pMethods->xSectorSize(Real(file)); }

int DeviceCharacteristics(sqlite3_file* file) { return Real(file)->pMethods->xDeviceCharacteristics(Real(file)); }

int ShmMap(sqlite3_file* file, int page, int pageSize, int extend, void volatile** memory)
{
    Of(file)->logged = true;
    Forget(Of(file));
    return Real(file)->pMethods->xShmMap(Real(file), page, pageSize, extend, memory);
}

int ShmLock(sqlite3_file* file, int offset, int count, int flags)
{
    return Real(file)->pMethods->xShmLock(Real(file), offset, count, flags);
}

void ShmBarrier(sqlite3_file* file) { Real(file)->pMethods->xShmBarrier(Real(file)); }

int ShmUnmap(sqlite3_file* file, int deleteFlag) { return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag); }

int Fetch(sqlite3_file* file, sqlite3_int64 offset, int bytes, void** memory)
{
    return Real(file)->pMethods->xFetch(Real(file), offset, bytes, memory);
}

int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* memory)
{
    return Real(file)->pMethods->xUnfetch(Real(file), offset, memory);
}

// One table per version of the engine's file methods, so that ours never
// offer more than the file underneath has.
const sqlite3_io_methods* MethodsFor(int version)
{
    static const sqlite3_io_methods methods[3] = {
        {1, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl, SectorSize,
         DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
        {2, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl, SectorSize,
         DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, nullptr, nullptr},
        {3, Close, Read, Write, Truncate, Sync, FileSize, Lock, Unlock, CheckReservedLock, FileControl, SectorSize,
         DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, Fetch, Unfetch},
    };
    return &methods[std::clamp(version, 1, 3) - 1];
}

int Open(sqlite3_vfs* /*vfs*/, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    ReadAheadFile* self = Of(file);
    std::memset(self, 0, sizeof(ReadAheadFile));
    self->real = reinterpret_cast<sqlite3_file*>(self + 1);
    self->database = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    self->nextSequential = -1;
    const int rc = engineFiles->xOpen(engineFiles, name, self->real, flags, outFlags);
    // The engine closes a file that has methods, also after a failed open.
    self->base.pMethods = self->real->pMethods ? MethodsFor(self->real->pMethods->iVersion) : nullptr;
    return rc;
}

} // namespace

sqlite3_vfs* RegisterReadAheadFiles()
{
    static sqlite3_vfs* const registered = []() -> sqlite3_vfs* {
        engineFiles = sqlite3_vfs_find(nullptr);
        if (!engineFiles)
            return nullptr;
        // Everything but opening a file is the engine's own.
        static sqlite3_vfs files = *engineFiles;
        files.pNext = nullptr;
        files.zName = ReadAheadFilesName;
        files.szOsFile = static_cast<int>(sizeof(ReadAheadFile)) + engineFiles->szOsFile;
        files.xOpen = Open;
        return sqlite3_vfs_register(&files, 0) == SQLITE_OK ? &files : nullptr;
    }();
    return registered;
}

} // namespace store
