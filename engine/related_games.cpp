// The related-games table. The pair text has one pair per line, "a,b" with
// two decimal game ids, lines ended by CR LF, the last one possibly without
// a line end and the text without a terminating 0. Lines that are not two
// numbers, and ids that name no game of the database, are skipped.
#include "engine/related_games.h"

#include <algorithm>

#include "engine/byte_order.h"
#include "engine/records.h"
#include "engine/resources.h"

namespace corvelle {
namespace {

// Parses a field of decimal digits (a line's CR ends it); false for an empty
// field, anything else in it, or a value above 65535.
bool ParseId(const uint8_t* begin, const uint8_t* end, uint32_t& out) {
    if (end > begin && end[-1] == '\r')
        --end;
    if (begin == end)
        return false;
    uint32_t value = 0;
    for (const uint8_t* p = begin; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<uint32_t>(*p - '0');
        if (value > 0xFFFF)
            return false;
    }
    out = value;
    return true;
}

}  // namespace

CRelatedSolsTable::CRelatedSolsTable(uint16_t resourceId) {
    uint32_t textSize = 0, idsSize = 0;
    const uint8_t* text = LoadAppResource(resourceId, L"RELATEDSOLS", &textSize);
    const uint8_t* ids = LoadAppResource(kResSolId, L"SOLID", &idsSize);
    Build(text, text ? textSize : 0, ids, ids ? idsSize : 0);
}

CRelatedSolsTable::CRelatedSolsTable(const uint8_t* text, size_t textSize, const uint8_t* ids, size_t idsSize) {
    Build(text, textSize, ids, idsSize);
}

CRelatedSolsTable::~CRelatedSolsTable() = default;

void CRelatedSolsTable::Build(const uint8_t* text, size_t textSize, const uint8_t* ids, size_t idsSize) {
    gameCount = ids ? static_cast<int>(std::min<size_t>(idsSize / 2, kMaxGames)) : 0;
    entries.assign(static_cast<size_t>(gameCount), {});
    if (!text || gameCount == 0)
        return;

    // Game id -> database position; ids that occur in no position map to
    // kNoGame and are skipped.
    std::vector<uint32_t> positionOfId(0x10000, kNoGame);
    for (int i = 0; i < gameCount; ++i) {
        const uint16_t gameId = LoadLE<uint16_t>(ids + 2 * i);
        if (positionOfId[gameId] == kNoGame)
            positionOfId[gameId] = static_cast<uint32_t>(i);
    }

    const uint8_t* const end = text + textSize;
    const uint8_t* line = text;
    while (line < end) {
        const uint8_t* lineEnd = std::find(line, end, static_cast<uint8_t>('\n'));
        const uint8_t* comma = std::find(line, lineEnd, static_cast<uint8_t>(','));
        uint32_t first = 0, second = 0;
        if (comma != lineEnd && ParseId(line, comma, first) && ParseId(comma + 1, lineEnd, second)) {
            const uint32_t a = positionOfId[first];
            const uint32_t b = positionOfId[second];
            if (a != kNoGame && b != kNoGame) {
                AddRelated(a, b);
                AddRelated(b, a);
            }
        }
        line = lineEnd == end ? end : lineEnd + 1;
    }
}

void CRelatedSolsTable::AddRelated(uint32_t a, uint32_t b) {
    if (a >= entries.size() || b >= entries.size())
        return;
    auto& list = entries[a];
    if (std::find(list.begin(), list.end(), b) == list.end() && list.size() < 0xFFFF)
        list.push_back(b);
}

uint16_t CRelatedSolsTable::GetRelated(uint32_t position, const uint32_t** list) const {
    if (list)
        *list = nullptr;
    if (position >= entries.size() || entries[position].empty())
        return 0;
    if (list)
        *list = entries[position].data();
    return static_cast<uint16_t>(entries[position].size());
}

}  // namespace corvelle
