// For each database position, the positions of the games related to it,
// built once from the "RELATEDSOLS" text of game-id pairs and the "SOLID"
// table that maps game ids to database positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvelle {

class CRelatedSolsTable {
public:
    // Builds the table from the pair text resource `resourceId` (type
    // "RELATEDSOLS") over the games of the database.
    explicit CRelatedSolsTable(uint16_t resourceId);
    // Builds it from a given text and id table (one u16 id per position).
    CRelatedSolsTable(const uint8_t* text, size_t textSize, const uint8_t* ids, size_t idsSize);
    ~CRelatedSolsTable();
    CRelatedSolsTable(const CRelatedSolsTable&) = delete;
    CRelatedSolsTable& operator=(const CRelatedSolsTable&) = delete;

    // The number of positions related to `position` (0 for a position
    // outside the database); `list` (optional) receives them, in order of
    // first appearance, or nullptr when there are none.
    uint16_t GetRelated(uint32_t position, const uint32_t** list) const;
    // Adds b to a's list unless it is there; positions outside the table
    // are ignored.
    void AddRelated(uint32_t a, uint32_t b);
    int GetGameCount() const { return gameCount; }

private:
    void Build(const uint8_t* text, size_t textSize, const uint8_t* ids, size_t idsSize);

    int gameCount = 0;
    std::vector<std::vector<uint32_t>> entries;   // one per position
};

}  // namespace corvelle
