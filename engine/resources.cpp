#include "engine/resources.h"

#include <cstdlib>
#include <cstring>

#include <zlib.h>

#include "engine/byte_order.h"
#include "engine/records.h"

namespace corvelle {

int GetGameCount() {
    uint32_t size = 0;
    const uint8_t* ids = LoadAppResource(kResSolId, L"SOLID", &size);
    if (!ids)
        return 0;
    const int count = static_cast<int>(size / 2);
    return count > kMaxGames ? kMaxGames : count;
}

uint8_t* InflateFromStream(const uint8_t* stream, uint32_t streamSize, uint32_t skip, uint32_t length) {
    if (!stream || length == 0)
        return nullptr;
    auto* buffer = static_cast<uint8_t*>(std::malloc(length));
    if (!buffer)
        return nullptr;

    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    // The stream structure's size is the one this zlib was built with; a
    // fixed size from another architecture would make inflateInit fail.
    if (inflateInit(&zs) != Z_OK) {
        std::free(buffer);
        return nullptr;
    }
    zs.next_in = const_cast<Bytef*>(stream);
    zs.avail_in = streamSize;

    bool ok = true;
    // Skip the records before the wanted one into scratch space on the stack
    // (or the result buffer when that is larger): wide output windows keep
    // zlib on its fast path.
    uint8_t stackScratch[32768];
    uint8_t* scratch = length > sizeof stackScratch ? buffer : stackScratch;
    const uint32_t scratchSize = length > sizeof stackScratch ? length : sizeof stackScratch;
    while (ok && skip != 0) {
        const uint32_t chunk = skip < scratchSize ? skip : scratchSize;
        zs.next_out = scratch;
        zs.avail_out = chunk;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const uint32_t produced = chunk - zs.avail_out;
        // Z_OK with no progress means the input ran out before the record.
        if (rc != Z_OK || produced == 0)
            ok = false;
        else
            skip -= produced;
    }
    if (ok) {
        zs.next_out = buffer;
        zs.avail_out = length;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        // The record must be complete: a stream that ends early is damaged.
        ok = (rc == Z_OK || rc == Z_STREAM_END) && zs.avail_out == 0;
    }
    inflateEnd(&zs);
    if (!ok) {
        std::free(buffer);
        return nullptr;
    }
    return buffer;
}

uint8_t* InflateGameRecord(uint16_t position, uint32_t* length) {
    if (length)
        *length = 0;
    const int gameCount = GetGameCount();
    if (position >= gameCount)
        return nullptr;
    const int group = position / kGamesPerGroup;
    uint32_t streamSize = 0, sizesSize = 0;
    const uint8_t* stream = LoadAppResource(static_cast<uint16_t>(kResSolDbFirst + group), L"SOLDB", &streamSize);
    const uint8_t* sizes = LoadAppResource(kResSolSize, L"SOLSIZE", &sizesSize);
    if (!stream || !sizes || sizesSize < 2u * (position + 1u))
        return nullptr;
    auto sizeAt = [sizes](int p) -> uint32_t { return LoadLE<uint16_t>(sizes + 2 * p); };
    uint32_t skip = 0;
    for (int p = group * kGamesPerGroup; p < position; ++p)
        skip += sizeAt(p);
    const uint32_t recordLength = sizeAt(position);
    uint8_t* record = InflateFromStream(stream, streamSize, skip, recordLength);
    if (record && length)
        *length = recordLength;
    return record;
}

void StableSort(void* base, int32_t count, uint32_t width, SortCompare compare, void* context) {
    auto* bytes = static_cast<uint8_t*>(base);
    auto* scratch = static_cast<uint8_t*>(std::malloc(width));
    if (!scratch)
        return;
    for (int32_t i = 1; i < count; ++i) {
        uint8_t* cur = bytes + static_cast<size_t>(i) * width;
        uint8_t* prev = cur - width;
        if (compare(prev, cur, context) <= 0)
            continue;
        // Bisect the sorted prefix [0, i - 1] for the insertion point: after
        // every record that is not greater than cur, so equal keys keep their
        // input order.
        int32_t lo = 0, hi = i - 1;
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            if (compare(cur, bytes + static_cast<size_t>(mid) * width, context) < 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
        int32_t ins = lo;
        if (compare(cur, bytes + static_cast<size_t>(lo) * width, context) >= 0)
            ins = lo + 1;
        uint8_t* at = bytes + static_cast<size_t>(ins) * width;
        std::memcpy(scratch, cur, width);
        std::memmove(at + width, at, static_cast<size_t>(cur - at));
        std::memcpy(at, scratch, width);
    }
    std::free(scratch);
}

void SortArray(void* base, int32_t count, uint32_t width, SortCompare compare, void* context) {
    if (width != 0 && count >= 2)
        StableSort(base, count, width, compare, context);
}

int32_t ScaleAlign(int32_t a, int32_t b, int32_t c, int32_t mode) {
    switch (mode) {
    case 1:
        // c = 0 has no meaningful result; every caller passes kLayoutReference.
        return c == 0 ? a : static_cast<int32_t>(static_cast<int64_t>(a) * b / c);
    case 2:
        return a + (b - c) / 2;
    case 3:
        return a + b - c;
    default:
        return a;
    }
}

}  // namespace corvelle
