#include "engine/history.h"

#include "engine/engine_owner.h"

namespace corvelle {

CMoveHistory::CMoveHistory(CEngineOwner* ownerWindow) : owner(ownerWindow), records(10) {}

uint32_t CMoveHistory::Push(const HistoryRecord& record) {
    if (count == records.size())
        records.resize(count + 10);
    records[count] = record;
    const uint32_t index = count++;
    if (owner)
        owner->ResetHintIndex();
    return index;
}

bool CMoveHistory::RemoveAt(uint32_t index) {
    if (index >= count)
        return false;
    for (uint32_t i = index; i + 1 < count; ++i)
        records[i] = records[i + 1];
    --count;
    return true;
}

bool CMoveHistory::GetAt(uint32_t index, HistoryRecord& out) const {
    if (index >= count)
        return false;
    out = records[index];
    return true;
}

}  // namespace corvelle
