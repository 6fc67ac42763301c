#include "engine/hint_memo.h"


namespace corvelle {
namespace {

bool SameList(const std::vector<RuleCard>& seen, const RuleCard* list, size_t entries) {
    if (seen.size() != entries)
        return false;
    for (size_t i = 0; i < entries; ++i)
        if (seen[i].suit != list[i].suit || seen[i].rank != list[i].rank)
            return false;
    return true;
}

}  // namespace

int HintMemo::Slot::Find(uint32_t from, uint32_t to, uint16_t program) const {
    for (const Answer& a : ways)
        if (a.from != 0 && a.from == from && a.to == to && a.program == program)
            return a.answer;
    return -1;
}

void HintMemo::Slot::Put(const Answer& a) {
    newer ^= 1;
    ways[newer] = a;
}

void HintMemo::Clear() {
    piles.clear();
    pickups.clear();
    drops.clear();
    nextVersion = 1;
}

void HintMemo::BeginScan(size_t pileCount) {
    // The drop answers are laid out by the number of piles.
    if (pileCount == piles.size())
        return;
    Clear();
    piles.resize(pileCount);
    pickups.resize(pileCount);
    drops.resize(pileCount);
}

void HintMemo::SeePile(uint16_t pile, const RuleCard* list, uint16_t count) {
    if (pile >= piles.size())
        return;
    PileMemo& m = piles[pile];
    const size_t entries = count + 1u;
    for (const Seen& s : m.recent) {
        if (s.version != 0 && SameList(s.list, list, entries)) {
            m.version = s.version;
            return;
        }
    }
    Seen& slot = m.recent[m.oldest];
    m.oldest = (m.oldest + 1) % kRecent;
    slot.list.assign(list, list + entries);
    // After four thousand million contents the numbers would come round
    // again and could match an old answer: start afresh instead.
    if (nextVersion == 0xFFFFFFFFu) {
        const size_t pileCount = piles.size();
        Clear();
        BeginScan(pileCount);
        return;
    }
    slot.version = nextVersion++;
    m.version = slot.version;
}

int HintMemo::Pickup(uint16_t pile, uint16_t position, uint16_t program) const {
    if (pile >= pickups.size() || position >= pickups[pile].size())
        return -1;
    return pickups[pile][position].Find(piles[pile].version, 0, program);
}

void HintMemo::SetPickup(uint16_t pile, uint16_t position, uint16_t program, bool answer) {
    if (pile >= piles.size())
        return;
    std::vector<Slot>& v = pickups[pile];
    if (position >= v.size())
        v.resize(position + 1u);
    v[position].Put(Answer{piles[pile].version, 0, program, static_cast<uint8_t>(answer)});
}

int HintMemo::Drop(uint16_t pile, uint16_t position, uint16_t dest, uint16_t program) const {
    if (pile >= drops.size() || dest >= piles.size())
        return -1;
    const size_t at = static_cast<size_t>(position) * piles.size() + dest;
    if (at >= drops[pile].size())
        return -1;
    return drops[pile][at].Find(piles[pile].version, piles[dest].version, program);
}

void HintMemo::SetDrop(uint16_t pile, uint16_t position, uint16_t dest, uint16_t program, bool answer) {
    if (pile >= piles.size() || dest >= piles.size())
        return;
    std::vector<Slot>& v = drops[pile];
    const size_t at = static_cast<size_t>(position) * piles.size() + dest;
    if (at >= v.size())
        v.resize(at + 1);
    v[at].Put(Answer{piles[pile].version, piles[dest].version, program, static_cast<uint8_t>(answer)});
}

}  // namespace corvelle
