#pragma once

struct sqlite3_pcache_methods2;

// The engine's page cache for this program, whose reads are mostly whole-table
// scans (the list, a search, a filter) of a file that may be larger than the
// cache. The engine's own cache gives a scan no hits at all once the table is
// larger than the cache, because each scan evicts the pages the next one
// starts with. This cache instead keeps the pages it holds and reuses the
// most recently released slot for a page it has no room for, so a scan hits
// as many pages as the cache can hold and the rest is read from the file.
namespace store {

// The methods to hand the engine (SQLITE_CONFIG_PCACHE2).
const sqlite3_pcache_methods2& ScanResistantPageCacheMethods();

} // namespace store
