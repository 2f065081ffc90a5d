#include "store/engine/EngineSetup.h"

#include "store/engine/PageCache.h"
#include "store/engine/ReadAheadFiles.h"

#include <sqlite3.h>

namespace store {

// Should something have started the engine already, it keeps its defaults,
// which are merely slower.
const char* PrepareEngine()
{
    static const char* const files = []() -> const char* {
        sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
        sqlite3_config(SQLITE_CONFIG_PCACHE2, &ScanResistantPageCacheMethods());
        if (sqlite3_initialize() != SQLITE_OK)
            return nullptr;
        return RegisterReadAheadFiles() ? ReadAheadFilesName : nullptr;
    }();
    return files;
}

} // namespace store
