// The move history: a flat list of HistoryRecords, grouped into user steps by
// the groupStart flag of each step's first record.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/records.h"

namespace corvelle {

class CEngineOwner;

class CMoveHistory {
public:
    explicit CMoveHistory(CEngineOwner* owner);

    // Appends a record (growing the room 10 records at a time) and resets the
    // owner's hint counter; returns the record's index.
    uint32_t Push(const HistoryRecord& record);
    bool RemoveAt(uint32_t index);
    bool GetAt(uint32_t index, HistoryRecord& out) const;
    uint32_t GetCount() const { return count; }
    uint32_t GetCapacity() const { return static_cast<uint32_t>(records.size()); }
    const HistoryRecord* GetRecords() const { return records.data(); }

private:
    CEngineOwner* owner;
    uint32_t count = 0;
    std::vector<HistoryRecord> records;
};

}  // namespace corvelle
