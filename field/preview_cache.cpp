#include "field/preview_cache.h"

#include <cstdlib>

namespace corvelle {

CPreviewImageCache::CPreviewImageCache(uint32_t bytes, Clock time) : capacity(bytes), clock(std::move(time)) {}

CPreviewImageCache::~CPreviewImageCache() {
    for (PreviewCacheEntry& e : entries) std::free(e.data);
}

bool CPreviewImageCache::Find(uint32_t key, uint32_t* index) const {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].key == key) {
            if (index) *index = static_cast<uint32_t>(i);
            return true;
        }
    }
    return false;
}

bool CPreviewImageCache::GetAt(uint32_t index, uint32_t* key, const uint8_t** data, uint32_t* size) const {
    if (index >= entries.size()) return false;
    const PreviewCacheEntry& e = entries[index];
    if (key) *key = e.key;
    if (data) *data = e.data;
    if (size) *size = e.size;
    return true;
}

void CPreviewImageCache::RemoveAt(uint32_t index) {
    if (index >= entries.size()) return;
    std::free(entries[index].data);
    used -= entries[index].size;
    entries.erase(entries.begin() + index);
}

void CPreviewImageCache::Remove(uint32_t key) {
    uint32_t index = 0;
    if (Find(key, &index)) RemoveAt(index);
}

bool CPreviewImageCache::Add(uint32_t key, uint8_t* data, uint32_t size) {
    if (data == nullptr) return false;
    if (size > capacity) {
        std::free(data);
        return false;
    }
    Remove(key);
    while (used + size > capacity && !entries.empty()) {
        uint32_t oldest = 0;
        for (uint32_t i = 1; i < entries.size(); ++i)
            if (entries[i].stamp < entries[oldest].stamp) oldest = i;
        RemoveAt(oldest);
    }
    entries.push_back(PreviewCacheEntry{key, data, size, clock()});
    used += size;
    return true;
}

}  // namespace corvelle
