// Saving and restoring the game in progress (see saved_game.h for the slot
// values and the blob layout).
//
// A blob comes from outside the program: the registry may hold an older
// version of a game, a damaged or a hand-edited value. Restoring therefore
// parses and checks the whole blob against the loaded definition before the
// engine takes any of it; a slot that fails is deleted and the caller deals
// a new game.
#include "engine/saved_game.h"

#include <cstring>
#include <ctime>

#include "engine/game_engine.h"
#include "engine/registry.h"

namespace corvelle {
namespace {

const char16_t kSolId[] = u"solId";
const char16_t kSize[] = u"size";
const char16_t kData[] = u"data";
const char16_t kFailed[] = u"failed";
const char16_t kDefinitionHash[] = u"definitionHash";

// ---------------------------------------------------------------- writing

class BlobWriter {
public:
    explicit BlobWriter(size_t reserve) { bytes.reserve(reserve); }
    void U8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) { U8(v); U8(v >> 8); }
    void U32(uint32_t v) { U16(v); U16(v >> 16); }
    std::vector<uint8_t> bytes;
};

// ---------------------------------------------------------------- reading

class BlobReader {
public:
    BlobReader(const uint8_t* data, size_t size) : p(data), end(data + size) {}
    bool Has(size_t n) const { return static_cast<size_t>(end - p) >= n; }
    uint8_t U8() { return *p++; }
    uint16_t U16() { const uint16_t v = static_cast<uint16_t>(p[0] | p[1] << 8); p += 2; return v; }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() {
        const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        p += 4;
        return v;
    }
    void Skip(size_t n) { p += n; }
    size_t Left() const { return static_cast<size_t>(end - p); }

private:
    const uint8_t* p;
    const uint8_t* end;
};

bool Fail(const char** error, const char* reason) {
    if (error)
        *error = reason;
    return false;
}

// Fixed part of the blob for the loaded definition, links and history aside.
uint64_t FixedSize(const CGameEngine& e) {
    return 15u + 8ull * e.cardCount + 32ull * e.pileCount + 4ull * e.counterCount;
}

uint64_t MaxBlobSize(const CGameEngine& e) {
    return FixedSize(e) + 4ull * 0xFFFF + 16ull * kMaxSavedHistory;
}

// FNV-1a, 64 bits.
class Fingerprint {
public:
    void Add(const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 0x100000001B3ull;
        }
    }
    void AddU32(uint32_t v) {
        const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
        Add(b, 4);
    }
    // The records have no padding (records.h), so their bytes are their fields.
    template <typename T>
    void AddArray(const std::vector<T>& v) {
        AddU32(static_cast<uint32_t>(v.size()));
        if (!v.empty())
            Add(v.data(), v.size() * sizeof(T));
    }
    uint64_t hash = 0xCBF29CE484222325ull;
};

}  // namespace

std::u16string SavedGameSlotPath(unsigned slot) {
    return ProgramSubKey(u"gameState" + std::u16string(1, static_cast<char16_t>(u'0' + slot % 10)));
}

uint64_t DefinitionFingerprint(const CGameEngine& e) {
    Fingerprint f;
    f.AddU32(e.id);
    f.AddU32(e.denseGrid);
    f.AddArray(e.cards);
    f.AddArray(e.piles);
    f.AddArray(e.actions);
    f.AddArray(e.links);
    f.AddArray(e.placements);
    f.AddArray(e.flips);
    f.AddArray(e.locks);
    f.AddArray(e.exposures);
    f.AddArray(e.eventTypes);
    f.AddArray(e.eventActions);
    f.AddU32(static_cast<uint32_t>(e.programs.size()));
    for (const auto& program : e.programs)
        f.AddArray(program);
    f.AddArray(e.conditions);
    f.AddArray(e.eventConditions);
    f.AddArray(e.counterDefs);
    f.AddArray(e.eventCounters);
    return f.hash;
}

std::vector<uint8_t> SerializeSavedGame(const CGameEngine& e, uint32_t elapsedSeconds) {
    const uint32_t historyCount = e.history ? e.history->GetCount() : 0;
    BlobWriter w(FixedSize(e) + 4u * e.moveLinks.size() + 16u * historyCount);
    w.U32(elapsedSeconds);
    for (const CardState& c : e.cardStates) {
        w.U8(c.faceUp);
        w.U8(c.movable);
        w.U8(c.exposed);
        w.U8(c.reserved);
        w.U16(c.pile);
        w.U16(static_cast<uint16_t>(c.position));
    }
    for (const PileState& p : e.pileStates) {
        w.U16(static_cast<uint16_t>(p.x));
        w.U16(static_cast<uint16_t>(p.y));
        w.U32(p.fan);
        w.U8(p.acceptsDrops);
        w.U8(p.reserved1);
        w.U16(p.count);
        w.U16(p.dropProgram);
        w.U16(p.pickupProgram);
        w.U32(p.manualExposure);
        w.U8(p.enabled);
        w.U8(p.reserved2[0]);
        w.U8(p.reserved2[1]);
        w.U8(p.reserved2[2]);
        w.U32(p.attribute);
        w.U32(p.attributeHigh);
    }
    // The link count is the list's own length, so count and records agree.
    const size_t links = e.moveLinks.size() < 0xFFFF ? e.moveLinks.size() : 0xFFFF;
    w.U16(static_cast<uint32_t>(links));
    for (size_t i = 0; i < links; ++i) {
        w.U16(e.moveLinks[i].sourcePile);
        w.U16(e.moveLinks[i].destPile);
    }
    for (const CounterState& c : e.counters) {
        w.U16(c.value);
        w.U16(c.exhaustedEvent);
    }
    w.U32(0);   // reserved
    w.U8(e.finished);
    w.U32(historyCount);
    for (uint32_t i = 0; i < historyCount; ++i) {
        const HistoryRecord& r = e.history->Records()[i];
        w.U32(r.kind);
        w.U8(r.groupStart);
        w.U8(r.reserved1);
        w.U16(r.index);
        w.U16(r.value);
        w.U16(r.destPile);
        w.U16(r.destCountBefore);
        w.U16(r.reserved2);
    }
    return std::move(w.bytes);
}

bool ParseSavedGame(const CGameEngine& e, const uint8_t* data, size_t size, SavedGameData& out, const char** error) {
    const size_t c = e.cardCount, p = e.pileCount, k = e.counterCount;
    if (!e.HasDefinition() || e.cards.size() != c || e.piles.size() != p || e.counterDefs.size() != k)
        return Fail(error, "no game definition loaded");
    if (!data || size < FixedSize(e))
        return Fail(error, "shorter than the game's fixed part");

    BlobReader r(data, size);
    out.elapsedSeconds = r.U32();

    out.cardStates.resize(c);
    for (CardState& card : out.cardStates) {
        card.faceUp = r.U8();
        card.movable = r.U8();
        card.exposed = r.U8();
        card.reserved = r.U8();
        card.pile = r.U16();
        card.position = r.I16();
    }
    out.pileStates.resize(p);
    for (PileState& pile : out.pileStates) {
        pile.x = r.I16();
        pile.y = r.I16();
        pile.fan = r.U32();
        pile.acceptsDrops = r.U8();
        pile.reserved1 = r.U8();
        pile.count = r.U16();
        pile.dropProgram = r.U16();
        pile.pickupProgram = r.U16();
        pile.manualExposure = r.U32();
        pile.enabled = r.U8();
        pile.reserved2[0] = r.U8();
        pile.reserved2[1] = r.U8();
        pile.reserved2[2] = r.U8();
        pile.attribute = r.U32();
        pile.attributeHigh = r.U32();
    }
    const uint16_t linkCount = r.U16();
    // What must follow the links: counters, reserved, finished, history count.
    const size_t tail = 4 * k + 9;
    if (r.Left() < 4u * linkCount + tail)
        return Fail(error, "shorter than its move links need");
    out.moveLinks.resize(linkCount);
    for (MoveLink& link : out.moveLinks) {
        link.sourcePile = r.U16();
        link.destPile = r.U16();
    }
    out.counters.resize(k);
    for (CounterState& counter : out.counters) {
        counter.value = r.U16();
        counter.exhaustedEvent = r.U16();
    }
    r.Skip(4);
    out.finished = r.U8();
    const uint32_t historyCount = r.U32();
    if (historyCount > kMaxSavedHistory || r.Left() != 16ull * historyCount)
        return Fail(error, "length does not match its history count");
    out.history.resize(historyCount);
    for (HistoryRecord& h : out.history) {
        h.kind = r.U32();
        h.groupStart = r.U8();
        h.reserved1 = r.U8();
        h.index = r.U16();
        h.value = r.U16();
        h.destPile = r.U16();
        h.destCountBefore = r.U16();
        h.reserved2 = r.U16();
    }

    // Cards and piles: every card on a pile, the positions of each pile
    // exactly 0 .. count - 1, and each count the number of its cards.
    std::vector<uint32_t> firstSlot(p + 1, 0);
    for (size_t i = 0; i < p; ++i)
        firstSlot[i + 1] = firstSlot[i] + out.pileStates[i].count;
    if (firstSlot[p] != c)
        return Fail(error, "pile counts do not add up to the cards");
    std::vector<uint8_t> taken(c, 0);
    for (const CardState& card : out.cardStates) {
        if (card.pile >= p)
            return Fail(error, "card on a pile that does not exist");
        if (card.position < 0 || card.position >= out.pileStates[card.pile].count)
            return Fail(error, "card position outside its pile");
        uint8_t& slot = taken[firstSlot[card.pile] + static_cast<uint32_t>(card.position)];
        if (slot)
            return Fail(error, "two cards at one position");
        slot = 1;
    }
    for (const PileState& pile : out.pileStates) {
        if (pile.fan > FanUp)
            return Fail(error, "pile with an unknown fan");
        if (pile.dropProgram >= e.programCount || pile.pickupProgram >= e.programCount)
            return Fail(error, "pile names a rule program that does not exist");
    }
    for (const MoveLink& link : out.moveLinks)
        if ((link.sourcePile >= p && link.sourcePile != kAnyPile) || (link.destPile >= p && link.destPile != kAnyPile))
            return Fail(error, "move link names a pile that does not exist");
    for (const CounterState& counter : out.counters)
        if (counter.exhaustedEvent >= e.eventCount)
            return Fail(error, "counter names an event that does not exist");
    if (out.finished > 1)
        return Fail(error, "finished flag neither 0 nor 1");

    for (size_t i = 0; i < out.history.size(); ++i) {
        const HistoryRecord& h = out.history[i];
        if (h.groupStart > 1 || (i == 0 && h.groupStart != 1))
            return Fail(error, "history does not open with a step");
        bool ok = false;
        switch (h.kind) {
        case HistoryPlayerMove:
            ok = h.groupStart == 1 && h.index < p && h.destPile < p && h.value < c && h.destCountBefore <= c;
            break;
        case HistoryActionExecuted:
            ok = h.index < e.actionCount;
            break;
        case HistoryExposedToggled:
            ok = h.index < c;
            break;
        case HistoryCounterUsed:
            ok = h.index < k;
            break;
        default:
            break;
        }
        if (!ok)
            return Fail(error, "history record of an unknown kind or naming nothing");
    }
    return true;
}

uint16_t CGameEngine::FindSavedGameSlot(uint16_t gameId) const {
    for (unsigned slot = 0; slot < kSavedGameSlots; ++slot) {
        CRegistryKey key;
        if (!key.Open(SavedGameSlotPath(slot)))
            continue;
        uint16_t stored = 0;
        // An id that cannot be read as its two bytes matches nothing.
        if (key.ReadBinaryExact(kSolId, &stored, sizeof stored) && stored == gameId)
            return static_cast<uint16_t>(slot);
    }
    return kSavedGameSlots;
}

void CGameEngine::SaveGame() {
    // Only a complete game in play is written; a blob of a freed state would
    // not fit the definition.
    if (!HasDefinition() || cardStates.size() != cardCount || pileStates.size() != pileCount ||
        counters.size() != counterCount)
        return;
    uint16_t slot = FindSavedGameSlot(id);
    uint32_t* stamps = owner ? owner->GetSaveStamps() : nullptr;
    if (slot == kSavedGameSlots) {
        // The least recently saved slot; on a tie the highest-numbered one.
        slot = 0;
        uint32_t oldest = 0xFFFFFFFFu;
        for (uint16_t i = 0; i < kSavedGameSlots; ++i) {
            const uint32_t stamp = stamps ? stamps[i] : 0;
            if (stamp <= oldest) {
                oldest = stamp;
                slot = i;
            }
        }
    }
    const std::vector<uint8_t> blob = SerializeSavedGame(*this, owner ? owner->GetElapsedSeconds() : 0);
    const uint64_t fingerprint = DefinitionFingerprint(*this);
    uint8_t hashBytes[8];
    for (int i = 0; i < 8; ++i)
        hashBytes[i] = static_cast<uint8_t>(fingerprint >> (8 * i));
    const uint8_t idBytes[2] = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8)};
    const uint8_t notFailed = 0;

    CRegistryKey key;
    if (key.Create(SavedGameSlotPath(slot))) {
        key.WriteBinary(kSolId, idBytes, 2);
        key.WriteDword(kSize, static_cast<uint32_t>(blob.size()));
        key.WriteBinary(kData, blob.data(), blob.size());
        key.WriteBinary(kDefinitionHash, hashBytes, 8);
        key.WriteBinary(kFailed, &notFailed, 1);
        key.Close();
    }
    if (stamps)
        stamps[slot] = static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr)));
}

bool CGameEngine::LoadSavedGame(bool preview) {
    FreeGameState();
    if (!HasDefinition())
        return false;
    const uint16_t slot = FindSavedGameSlot(id);
    if (slot == kSavedGameSlots)
        return false;
    const std::u16string path = SavedGameSlotPath(slot);
    CRegistryKey key;
    if (!key.Open(path))
        return false;

    // A restore that never reached a later save: the position may be what
    // brought the program down, so it is dropped, in preview too.
    uint8_t failed = 0;
    if (!key.ReadBinaryExact(kFailed, &failed, 1))
        failed = 0;
    if (failed != 0) {
        key.Close();
        DeleteRegistryTree(path);
        return false;
    }
    if (!preview) {
        const uint8_t marker = 1;
        key.WriteBinary(kFailed, &marker, 1);
    }

    uint16_t storedId = 0;
    if (!key.ReadBinaryExact(kSolId, &storedId, sizeof storedId) || storedId != id)
        return false;   // the slot changed hands meanwhile; "failed" stays set

    // Everything below is the blob itself: whatever fails removes the slot.
    bool valid = false;
    SavedGameData saved;
    uint32_t size = 0;
    std::vector<uint8_t> blob;
    if (key.ReadDword(kSize, size) && size <= MaxBlobSize(*this) && key.ReadBinary(kData, blob, size) &&
        blob.size() == size && ParseSavedGame(*this, blob.data(), blob.size(), saved)) {
        valid = true;
        uint8_t hashBytes[8];
        if (key.ReadBinaryExact(kDefinitionHash, hashBytes, 8)) {
            uint64_t stored = 0;
            for (int i = 0; i < 8; ++i)
                stored |= static_cast<uint64_t>(hashBytes[i]) << (8 * i);
            valid = stored == DefinitionFingerprint(*this);
        } else {
            // Missing is fine (a slot written without one); present but
            // unreadable is damage.
            valid = !key.HasValue(kDefinitionHash);
        }
    }
    key.Close();
    if (!valid) {
        DeleteRegistryTree(path);
        return false;
    }

    if (owner)
        owner->SetElapsedSeconds(saved.elapsedSeconds);
    cardStates = std::move(saved.cardStates);
    pileStates = std::move(saved.pileStates);
    moveLinkCount = static_cast<uint16_t>(saved.moveLinks.size());
    moveLinks = std::move(saved.moveLinks);
    counters = std::move(saved.counters);
    finished = saved.finished;
    history = std::make_unique<CMoveHistory>(owner);
    for (const HistoryRecord& record : saved.history)
        history->Push(record);
    return true;
}

}  // namespace corvelle
