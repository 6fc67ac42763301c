// CPreviewImageCache: the thumbnails of previewed games, kept encoded (BMP
// files in memory) and keyed by the game's database position. The cache is
// bounded by the bytes of its images; to make room it drops the image added
// first (the smallest stamp, the earliest of equal stamps). Plain C++: the
// clock is injected so that its order is tested natively.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <vector>

namespace corvelle {

// Capacity of the application's cache: 1 MiB of encoded thumbnails.
constexpr uint32_t kPreviewCacheCapacity = 0x100000;
// The thumbnail's size in pixels.
constexpr int32_t kPreviewWidth = 170;
constexpr int32_t kPreviewHeight = 132;

struct PreviewCacheEntry {
    uint32_t key = 0;        // the game's database position
    uint8_t* data = nullptr; // encoded image from malloc, owned by the cache
    uint32_t size = 0;
    uint32_t stamp = 0;      // seconds, when it was added
};

class CPreviewImageCache {
public:
    using Clock = std::function<uint32_t()>;
    explicit CPreviewImageCache(uint32_t capacity = kPreviewCacheCapacity, Clock clock = SystemClock);
    ~CPreviewImageCache();
    CPreviewImageCache(const CPreviewImageCache&) = delete;
    CPreviewImageCache& operator=(const CPreviewImageCache&) = delete;

    // The first entry with that key.
    bool Find(uint32_t key, uint32_t* index) const;
    // False when index >= count; key may be null.
    bool GetAt(uint32_t index, uint32_t* key, const uint8_t** data, uint32_t* size) const;
    // Frees the entry's data; later entries move down.
    void RemoveAt(uint32_t index);
    // Removes the entry of `key`, if any.
    void Remove(uint32_t key);
    // Stores `data` (from malloc) under `key`, replacing the key's image and
    // dropping the oldest images while they leave too little room. An image
    // larger than the whole capacity is refused at once: nothing is dropped
    // and `data` is freed here. The cache owns `data` in either case.
    bool Add(uint32_t key, uint8_t* data, uint32_t size);

    uint32_t GetCapacity() const { return capacity; }
    uint32_t GetUsed() const { return used; }
    uint32_t GetCount() const { return static_cast<uint32_t>(entries.size()); }

    static uint32_t SystemClock() { return static_cast<uint32_t>(std::time(nullptr)); }

private:
    uint32_t capacity;
    uint32_t used = 0;
    Clock clock;
    std::vector<PreviewCacheEntry> entries;   // in the order of adding
};

}  // namespace corvelle
