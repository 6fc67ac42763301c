// Saving and restoring the game in progress (see saved_game.h for the slot
// values and the blob layout).
//
// A blob comes from outside the program: the registry may hold an older
// version of a game, a damaged or a hand-edited value. Restoring therefore
// parses and checks the whole blob against the loaded definition before the
// engine takes any of it; a slot that fails is deleted and the caller deals
// a new game.
#include "engine/saved_game.h"

#include <ctime>

#include "engine/byte_order.h"
#include "engine/game_engine.h"
#include "engine/invariants.h"
#include "engine/registry.h"

namespace corvelle {
namespace {

const char16_t kSolId[] = u"solId";
const char16_t kSize[] = u"size";
const char16_t kData[] = u"data";
const char16_t kFailed[] = u"failed";
const char16_t kDefinitionHash[] = u"definitionHash";
const char16_t kGameNumber[] = u"gameNumber";
const char16_t kSaveCheck[] = u"saveCheck";

// What "saveCheck" holds while a save is being written: no finished save's
// check has this value.
constexpr uint64_t kUnfinishedSave = 0;

// The blob is little-endian and packed whatever the compiler does with the
// structures: every record goes field by field through one field list
// (below), which BlobWriter and BlobReader walk in the two directions.

class BlobWriter {
public:
    explicit BlobWriter(size_t reserve) { bytes.reserve(reserve); }
    template <typename T>
    void operator()(const T& value) { AppendLE(bytes, value); }
    std::vector<uint8_t> bytes;
};

// Reads within bounds the caller has checked with GetLeft().
class BlobReader {
public:
    BlobReader(const uint8_t* data, size_t size) : p(data), end(data + size) {}
    template <typename T>
    void operator()(T& value) {
        value = LoadLE<T>(p);
        p += sizeof(T);
    }
    size_t GetLeft() const { return static_cast<size_t>(end - p); }

private:
    const uint8_t* p;
    const uint8_t* end;
};

template <typename IO, typename Card>
void CardFields(IO& io, Card& c) {
    io(c.faceUp); io(c.movable); io(c.exposed); io(c.reserved); io(c.pile); io(c.position);
}

template <typename IO, typename Pile>
void PileFields(IO& io, Pile& p) {
    io(p.x); io(p.y); io(p.fan); io(p.acceptsDrops); io(p.reserved1); io(p.count); io(p.dropProgram);
    io(p.pickupProgram); io(p.manualExposure); io(p.enabled);
    io(p.reserved2[0]); io(p.reserved2[1]); io(p.reserved2[2]);
    io(p.attribute); io(p.attributeHigh);
}

template <typename IO, typename Link>
void LinkFields(IO& io, Link& l) { io(l.sourcePile); io(l.destPile); }

template <typename IO, typename Counter>
void CounterFields(IO& io, Counter& c) { io(c.value); io(c.exhaustedEvent); }

template <typename IO, typename Record>
void HistoryFields(IO& io, Record& r) {
    io(r.kind); io(r.groupStart); io(r.reserved1); io(r.index); io(r.value); io(r.destPile);
    io(r.destCountBefore); io(r.reserved2);
}

// The slot's game id; an id that cannot be read as its two bytes fails.
bool ReadGameId(const CRegistryKey& key, uint16_t& id) {
    uint8_t bytes[2];
    if (!key.ReadBinaryExact(kSolId, bytes, 2))
        return false;
    id = LoadLE<uint16_t>(bytes);
    return true;
}

bool Fail(const char** error, const char* reason) {
    if (error)
        *error = reason;
    return false;
}

// Fixed part of the blob for the loaded definition, links and history aside.
uint64_t FixedSize(const CGameEngine& e) {
    return 15u + 8ull * e.cards.size() + 32ull * e.piles.size() + 4ull * e.counterDefs.size();
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
        uint8_t b[4];
        StoreLE(b, v);
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

// The check of one save over everything it writes, in the stored form of
// each value: the id, the blob, the definition's fingerprint and the deal
// number (absent when the engine has no owner to give one).
uint64_t SaveCheck(const uint8_t (&idBytes)[2], const std::vector<uint8_t>& blob, const uint8_t (&hashBytes)[8],
                   const uint32_t* gameNumber) {
    Fingerprint f;
    f.Add(idBytes, 2);
    f.AddArray(blob);
    f.Add(hashBytes, 8);
    f.AddU32(gameNumber != nullptr);
    if (gameNumber)
        f.AddU32(*gameNumber);
    return f.hash == kUnfinishedSave ? kUnfinishedSave + 1 : f.hash;
}

}  // namespace

std::u16string SavedGameSlotPath(unsigned slot) {
    return ProgramSubKey(u"gameState" + std::u16string(1, static_cast<char16_t>(u'0' + slot % 10)));
}

uint64_t DefinitionFingerprint(const CGameEngine& e) {
    Fingerprint f;
    f.AddU32(e.id);
    f.AddU32(e.denseGrid);
    ForEachRecordArray(
        e, [&](const auto& items) { f.AddArray(items); },
        [&] {
            f.AddU32(static_cast<uint32_t>(e.programs.size()));
            for (const RuleProgram& program : e.programs)
                f.AddArray(program.GetCode());
        });
    return f.hash;
}

std::vector<uint8_t> SerializeSavedGame(const CGameEngine& e, uint32_t elapsedSeconds) {
    const uint32_t historyCount = e.history ? e.history->GetCount() : 0;
    BlobWriter w(FixedSize(e) + 4u * e.moveLinks.size() + 16u * historyCount);
    w(elapsedSeconds);
    for (const CardState& c : e.cardStates)
        CardFields(w, c);
    for (const PileState& p : e.pileStates)
        PileFields(w, p);
    // The link count is the list's own length, so count and records agree.
    const uint16_t links = static_cast<uint16_t>(e.moveLinks.size() < 0xFFFF ? e.moveLinks.size() : 0xFFFF);
    w(links);
    for (uint16_t i = 0; i < links; ++i)
        LinkFields(w, e.moveLinks[i]);
    for (const CounterState& c : e.counters)
        CounterFields(w, c);
    w(e.shuffleState);
    w(e.finished);
    w(historyCount);
    for (uint32_t i = 0; i < historyCount; ++i)
        HistoryFields(w, e.history->GetRecords()[i]);
    return std::move(w.bytes);
}

bool ParseSavedGame(const CGameEngine& e, const uint8_t* data, size_t size, SavedGameData& out, const char** error) {
    const size_t c = e.cards.size(), p = e.piles.size(), k = e.counterDefs.size();
    if (!e.HasDefinition())
        return Fail(error, "no game definition loaded");
    if (!data || size < FixedSize(e))
        return Fail(error, "shorter than the game's fixed part");

    BlobReader r(data, size);
    r(out.elapsedSeconds);
    out.cardStates.resize(c);
    for (CardState& card : out.cardStates)
        CardFields(r, card);
    out.pileStates.resize(p);
    for (PileState& pile : out.pileStates)
        PileFields(r, pile);
    uint16_t linkCount = 0;
    r(linkCount);
    // What must follow the links: counters, reserved, finished, history count.
    const size_t tail = 4 * k + 9;
    if (r.GetLeft() < 4u * linkCount + tail)
        return Fail(error, "shorter than its move links need");
    out.moveLinks.resize(linkCount);
    for (MoveLink& link : out.moveLinks)
        LinkFields(r, link);
    out.counters.resize(k);
    for (CounterState& counter : out.counters)
        CounterFields(r, counter);
    r(out.shuffleState);
    r(out.finished);
    uint32_t historyCount = 0;
    r(historyCount);
    if (historyCount > kMaxSavedHistory || r.GetLeft() != 16ull * historyCount)
        return Fail(error, "length does not match its history count");
    out.history.resize(historyCount);
    for (HistoryRecord& h : out.history)
        HistoryFields(r, h);

    // Cards and piles: every card on a pile, the positions of each pile
    // exactly 0 .. count - 1, and each count the number of its cards. The
    // counts are summed first, so damaged counts allocate nothing.
    uint32_t counted = 0;
    for (const PileState& pile : out.pileStates)
        counted += pile.count;
    if (counted != c)
        return Fail(error, "pile counts do not add up to the cards");
    for (const CardState& card : out.cardStates)
        // Flags are 0 or 1, as in the game records: undo relies on it.
        if (card.faceUp > 1 || card.movable > 1 || card.exposed > 1)
            return Fail(error, "card flag neither 0 nor 1");
    if (!CheckCardPlaces(out.cardStates, out.pileStates))
        return Fail(error, "cards do not fill their piles' positions exactly");
    for (const PileState& pile : out.pileStates) {
        if (pile.fan > kLastFanKind)
            return Fail(error, "pile with an unknown fan");
        if (pile.acceptsDrops > 1 || pile.enabled > 1 || pile.manualExposure > 1)
            return Fail(error, "pile flag neither 0 nor 1");
        if (pile.dropProgram >= e.programs.size() || pile.pickupProgram >= e.programs.size())
            return Fail(error, "pile names a rule program that does not exist");
    }
    for (const MoveLink& link : out.moveLinks)
        if ((link.sourcePile >= p && link.sourcePile != kAnyPile) || (link.destPile >= p && link.destPile != kAnyPile))
            return Fail(error, "move link names a pile that does not exist");
    for (const CounterState& counter : out.counters)
        if (counter.exhaustedEvent >= e.eventTypes.size())
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
            ok = h.index < e.actions.size();
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
    const auto holds = [gameId](unsigned slot) {
        CRegistryKey key;
        uint16_t stored = 0;
        return key.Open(SavedGameSlotPath(slot)) && ReadGameId(key, stored) && stored == gameId;
    };
    // A game has one slot (a save goes where the game is found), so the slot
    // where it was found last is the one the search would find.
    if (lastSlotKnown && lastSlotGame == gameId && holds(lastSlot))
        return lastSlot;
    for (unsigned slot = 0; slot < kSavedGameSlots; ++slot) {
        if (holds(slot)) {
            lastSlot = static_cast<uint16_t>(slot);
            lastSlotGame = gameId;
            lastSlotKnown = true;
            return lastSlot;
        }
    }
    return kSavedGameSlots;
}

void CGameEngine::SaveGame() {
    // Only a complete game in play is written; a blob of a freed state would
    // not fit the definition.
    if (!HasDefinition() || cardStates.size() != cards.size() || pileStates.size() != piles.size() ||
        counters.size() != counterDefs.size())
        return;
    uint16_t slot = FindSavedGameSlot(id);
    const bool sameGame = slot != kSavedGameSlots;   // its "solId" holds the id already
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
    uint8_t hashBytes[8], idBytes[2], checkBytes[8];
    StoreLE(hashBytes, DefinitionFingerprint(*this));
    StoreLE(idBytes, id);
    const uint32_t gameNumber = owner ? owner->GetGameNumber() : 0;
    const uint8_t notFailed = 0;

    // The slot's values change one write at a time. The check is marked
    // unfinished first and written last, so that a save cut short (the
    // process killed between two writes) leaves a slot whose check does not
    // match, which no restore takes.
    CRegistryKey key;
    if (key.Create(SavedGameSlotPath(slot))) {
        StoreLE(checkBytes, kUnfinishedSave);
        key.WriteBinary(kSaveCheck, checkBytes, 8);
        if (!sameGame)
            key.WriteBinary(kSolId, idBytes, 2);
        key.WriteDword(kSize, static_cast<uint32_t>(blob.size()));
        key.WriteBinary(kData, blob.data(), blob.size());
        key.WriteBinary(kDefinitionHash, hashBytes, 8);
        if (owner)
            key.WriteDword(kGameNumber, gameNumber);
        else
            key.DeleteValue(kGameNumber);
        StoreLE(checkBytes, SaveCheck(idBytes, blob, hashBytes, owner ? &gameNumber : nullptr));
        key.WriteBinary(kSaveCheck, checkBytes, 8);
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
    if (!ReadGameId(key, storedId) || storedId != id)
        return false;   // the slot changed hands meanwhile; "failed" stays set

    // Everything below is the blob itself: whatever fails removes the slot.
    bool valid = false;
    SavedGameData saved;
    uint32_t size = 0;
    std::vector<uint8_t> blob;
    uint32_t gameNumber = 0;
    bool hasGameNumber = false;
    if (key.ReadDword(kSize, size) && size <= MaxBlobSize(*this) && key.ReadBinary(kData, blob, size) &&
        blob.size() == size && ParseSavedGame(*this, blob.data(), blob.size(), saved)) {
        valid = true;
        uint8_t hashBytes[8];
        const bool hasHash = key.ReadBinaryExact(kDefinitionHash, hashBytes, 8);
        if (hasHash) {
            valid = LoadLE<uint64_t>(hashBytes) == DefinitionFingerprint(*this);
        } else {
            // Missing is fine (a slot written without one); present but
            // unreadable is damage.
            valid = !key.HasValue(kDefinitionHash);
        }
        hasGameNumber = key.ReadDword(kGameNumber, gameNumber);
        uint8_t checkBytes[8];
        if (key.ReadBinaryExact(kSaveCheck, checkBytes, 8)) {
            // A save that did not finish, or values changed since: every
            // value the save wrote must be there as it wrote them.
            uint8_t idBytes[2];
            StoreLE(idBytes, storedId);
            valid = valid && hasHash &&
                    LoadLE<uint64_t>(checkBytes) ==
                        SaveCheck(idBytes, blob, hashBytes, hasGameNumber ? &gameNumber : nullptr);
        } else {
            // A slot saved before saves carried a check.
            valid = valid && !key.HasValue(kSaveCheck);
        }
    }
    key.Close();
    if (!valid) {
        DeleteRegistryTree(path);
        return false;
    }

    if (owner) {
        owner->SetElapsedSeconds(saved.elapsedSeconds);
        if (hasGameNumber)
            owner->SetGameNumber(gameNumber);
    }
    cardStates = std::move(saved.cardStates);
    pileStates = std::move(saved.pileStates);
    moveLinks = std::move(saved.moveLinks);
    counters = std::move(saved.counters);
    finished = saved.finished;
    shuffleState = saved.shuffleState;
    history = std::make_unique<CMoveHistory>(owner);
    for (const HistoryRecord& record : saved.history)
        history->Push(record);
    return true;
}

}  // namespace corvelle
