#include "store/engine/PageCache.h"

#include "store/engine/MappedMemory.h"

#include <sqlite3.h>

#include <cstdint>
#include <new>
#include <vector>

namespace store {
namespace {

// One cached page. The engine sees only `base`; the page's bytes and the
// engine's extra bytes follow this header in the same allocation.
struct Page {
    sqlite3_pcache_page base; // first, so a page handed back converts to its Page
    unsigned key = 0;
    Page* hashNext = nullptr;
    // Links in the list of released pages, newest first; null while in use.
    Page* prev = nullptr;
    Page* next = nullptr;
    bool released = false;
    bool pooled = false; // in a SlotPool's memory rather than the engine's heap
};
static_assert(sizeof(Page) % 8 == 0, "the page bytes after the header must stay aligned");

Page* AsPage(sqlite3_pcache_page* page) { return reinterpret_cast<Page*>(page); }

// Room for the pages of a large cache: slots of one size cut from huge-page
// memory, which every scan then runs through without refilling the address
// caches page by page. A slot given back is the next one taken. The memory
// goes back to the system once no slot is in use.
class SlotPool {
public:
    explicit SlotPool(std::size_t slotSize) : slotSize_(slotSize) {}

    void* Take()
    {
        if (freeSlots_) {
            void* slot = freeSlots_;
            freeSlots_ = *static_cast<void**>(slot);
            ++inUse_;
            return slot;
        }
        if (slabs_.empty() || slabs_.back().Size() - carved_ < slotSize_) {
            MappedMemory slab = MappedMemory::Allocate(MappedMemory::Granule);
            if (!slab)
                return nullptr;
            slabs_.push_back(std::move(slab));
            carved_ = 0;
        }
        void* slot = slabs_.back().Data() + carved_;
        carved_ += slotSize_;
        ++inUse_;
        return slot;
    }

    void Give(void* slot)
    {
        *static_cast<void**>(slot) = freeSlots_;
        freeSlots_ = slot;
        if (--inUse_ == 0) {
            slabs_.clear();
            freeSlots_ = nullptr;
            carved_ = 0;
        }
    }

    std::size_t SlotsPerSlab() const { return MappedMemory::Granule / slotSize_; }

private:
    const std::size_t slotSize_;
    std::vector<MappedMemory> slabs_;
    std::size_t carved_ = 0; // bytes handed out from the newest slab
    void* freeSlots_ = nullptr;
    std::size_t inUse_ = 0;
};

class Cache {
public:
    Cache(int pageSize, int extraSize, bool purgeable)
        : pageSize_(pageSize), extraSize_(extraSize), purgeable_(purgeable), buckets_(64, nullptr),
          pool_(SlotSize(pageSize, extraSize))
    {
        released_.prev = released_.next = &released_;
    }
    ~Cache() { FreeIf([](const Page&) { return true; }); }
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;

    void SetCapacity(int pages)
    {
        capacity_ = pages > 0 ? static_cast<unsigned>(pages) : 0;
        // A cache sized for at least two slabs' worth of pages is one the
        // program scans: beyond its first pages it takes slots from the pool,
        // and it holds whole slabs, since a slab counts whole however few of
        // its slots are taken. Smaller caches (temporary tables, a second
        // connection) stay on the heap.
        const auto perSlab = static_cast<unsigned>(pool_.SlotsPerSlab());
        pooled_ = purgeable_ && capacity_ >= HeapPages + 2 * perSlab;
        if (pooled_)
            capacity_ = HeapPages + (capacity_ - HeapPages) / perSlab * perSlab;
        TrimReleased(capacity_);
    }
    int PageCount() const { return static_cast<int>(count_); }

    Page* Fetch(unsigned key, int createFlag)
    {
        if (Page* page = Find(key)) {
            if (page->released)
                Unlink(page);
            return page;
        }
        if (createFlag == 0)
            return nullptr;
        // The only step that may fail comes before anything changes.
        if (count_ >= buckets_.size())
            Rehash(buckets_.size() * 2);
        const bool full = purgeable_ && count_ >= capacity_;
        // With every page in use, "create if easy" declines, so that the engine
        // first writes out changed pages it may then reuse.
        if (full && createFlag == 1 && releasedCount_ == 0)
            return nullptr;
        Page* page = nullptr;
        if (full && releasedCount_ > 0) {
            // The most recently released slot: the pages held longer stay.
            page = released_.next;
            Unlink(page);
            RemoveFromHash(page);
        } else {
            page = Allocate();
            if (!page)
                return nullptr;
        }
        page->key = key;
        // The engine takes a page whose first extra pointer is null as new.
        *static_cast<void**>(page->base.pExtra) = nullptr;
        Insert(page);
        return page;
    }

    void Release(Page* page, bool discard)
    {
        if (discard || (purgeable_ && count_ > capacity_)) {
            RemoveFromHash(page);
            Free(page);
            return;
        }
        page->released = true;
        page->prev = &released_;
        page->next = released_.next;
        released_.next->prev = page;
        released_.next = page;
        ++releasedCount_;
    }

    void Rekey(Page* page, unsigned newKey)
    {
        RemoveFromHash(page);
        page->key = newKey;
        Insert(page);
    }

    void Truncate(unsigned limit)
    {
        FreeIf([limit](const Page& page) { return page.key >= limit; });
    }

    void Shrink() { TrimReleased(0); }

private:
    static std::size_t SlotSize(int pageSize, int extraSize)
    {
        const std::size_t bytes = sizeof(Page) + static_cast<std::size_t>(pageSize) + static_cast<std::size_t>(extraSize);
        return (bytes + alignof(Page) - 1) / alignof(Page) * alignof(Page);
    }

    Page* Allocate()
    {
        // The first pages come from the heap: all an empty book needs.
        const bool pooled = pooled_ && heapPages_ >= HeapPages;
        void* memory = pooled ? pool_.Take() : sqlite3_malloc64(SlotSize(pageSize_, extraSize_));
        if (!memory)
            return nullptr;
        if (!pooled)
            ++heapPages_;
        Page* page = new (memory) Page;
        page->pooled = pooled;
        page->base.pBuf = reinterpret_cast<char*>(page) + sizeof(Page);
        page->base.pExtra = static_cast<char*>(page->base.pBuf) + pageSize_;
        return page;
    }

    void Free(Page* page)
    {
        if (page->released)
            Unlink(page);
        const bool pooled = page->pooled;
        page->~Page();
        if (pooled) {
            pool_.Give(page);
        } else {
            sqlite3_free(page);
            --heapPages_;
        }
    }

    std::size_t Bucket(unsigned key) const { return key & (buckets_.size() - 1); }

    Page* Find(unsigned key) const
    {
        for (Page* page = buckets_[Bucket(key)]; page; page = page->hashNext) {
            if (page->key == key)
                return page;
        }
        return nullptr;
    }

    // The bucket table has room: Fetch grew it, and Rekey removed the page first.
    void Insert(Page* page)
    {
        Page*& head = buckets_[Bucket(page->key)];
        page->hashNext = head;
        head = page;
        ++count_;
    }

    void RemoveFromHash(Page* page)
    {
        for (Page** link = &buckets_[Bucket(page->key)]; *link; link = &(*link)->hashNext) {
            if (*link == page) {
                *link = page->hashNext;
                --count_;
                return;
            }
        }
    }

    void Rehash(std::size_t size)
    {
        std::vector<Page*> old(size, nullptr);
        old.swap(buckets_);
        for (Page* chain : old) {
            while (chain) {
                Page* next = chain->hashNext;
                Page*& head = buckets_[Bucket(chain->key)];
                chain->hashNext = head;
                head = chain;
                chain = next;
            }
        }
    }

    void Unlink(Page* page)
    {
        page->prev->next = page->next;
        page->next->prev = page->prev;
        page->prev = page->next = nullptr;
        page->released = false;
        --releasedCount_;
    }

    // Frees released pages, the longest released first, until at most
    // `limit` pages are held;
    // the pages of an in-memory database are its only copy and always stay.
    void TrimReleased(unsigned limit)
    {
        if (!purgeable_)
            return;
        while (count_ > limit && releasedCount_ > 0) {
            Page* oldest = released_.prev;
            RemoveFromHash(oldest);
            Free(oldest);
        }
    }

    template <typename Predicate>
    void FreeIf(Predicate matches)
    {
        for (Page*& head : buckets_) {
            for (Page** link = &head; *link;) {
                Page* page = *link;
                if (!matches(*page)) {
                    link = &page->hashNext;
                    continue;
                }
                *link = page->hashNext;
                --count_;
                Free(page);
            }
        }
    }

    static constexpr unsigned HeapPages = 64;

    const int pageSize_;
    const int extraSize_;
    const bool purgeable_;
    unsigned capacity_ = 0;
    bool pooled_ = false;     // pages beyond the first HeapPages come from pool_
    unsigned heapPages_ = 0; // pages in use that came from the heap
    std::vector<Page*> buckets_; // a power of two in size
    unsigned count_ = 0;
    // Sentinel of the circular list of released pages: `next` is the most
    // recently released, `prev` the longest released.
    Page released_;
    unsigned releasedCount_ = 0;
    SlotPool pool_;
};

Cache* AsCache(sqlite3_pcache* cache) { return reinterpret_cast<Cache*>(cache); }

int Init(void*) { return SQLITE_OK; }
void Shutdown(void*) {}

sqlite3_pcache* Create(int pageSize, int extraSize, int purgeable)
{
    void* memory = sqlite3_malloc(sizeof(Cache));
    if (!memory)
        return nullptr;
    try {
        return reinterpret_cast<sqlite3_pcache*>(new (memory) Cache(pageSize, extraSize, purgeable != 0));
    } catch (const std::bad_alloc&) {
        sqlite3_free(memory);
        return nullptr;
    }
}

void Cachesize(sqlite3_pcache* cache, int pages) { AsCache(cache)->SetCapacity(pages); }

int Pagecount(sqlite3_pcache* cache) { return AsCache(cache)->PageCount(); }

sqlite3_pcache_page* Fetch(sqlite3_pcache* cache, unsigned key, int createFlag)
{
    try {
        Page* page = AsCache(cache)->Fetch(key, createFlag);
        return page ? &page->base : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr; // the bucket table could not grow: as if out of memory
    }
}

void Unpin(sqlite3_pcache* cache, sqlite3_pcache_page* page, int discard)
{
    AsCache(cache)->Release(AsPage(page), discard != 0);
}

void Rekey(sqlite3_pcache* cache, sqlite3_pcache_page* page, unsigned, unsigned newKey)
{
    AsCache(cache)->Rekey(AsPage(page), newKey);
}

void Truncate(sqlite3_pcache* cache, unsigned limit) { AsCache(cache)->Truncate(limit); }

void Destroy(sqlite3_pcache* cache)
{
    Cache* owned = AsCache(cache);
    owned->~Cache();
    sqlite3_free(owned);
}

void Shrink(sqlite3_pcache* cache) { AsCache(cache)->Shrink(); }

const sqlite3_pcache_methods2 Methods = {
    1, nullptr, Init, Shutdown, Create, Cachesize, Pagecount, Fetch, Unpin, Rekey, Truncate, Destroy, Shrink,
};

} // namespace

const sqlite3_pcache_methods2& ScanResistantPageCacheMethods() { return Methods; }

} // namespace store
