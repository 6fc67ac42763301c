// Saved games: slot choice, the restore guard, exact restores, and damaged
// slots, which must be dropped without touching the other slots.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/saved_game.h"
#include "game_state_util.h"
#include "support/registry_sandbox.h"
#include "support/sample_games.h"

namespace corvelle {
namespace {

using test::TestOwner;

GameDefinitionData Game(uint16_t id, int piles = 8) {
    GameDefinitionData g = test::MakeSimpleGame(piles);
    g.id = id;
    g.counterDefs = {CounterDef{3, 0}, CounterDef{1, 0}};
    g.actions.push_back(ActionDef{ActionMoveCards, SourceFromTop, 0, 0, 1, 1, DestFromTop, 0, 0, 0});
    return g;
}

// Everything a slot holds: value name -> (type, bytes).
using SlotValues = std::map<std::u16string, std::pair<uint32_t, std::vector<uint8_t>>>;

SlotValues ReadSlot(unsigned slot) {
    SlotValues out;
    CRegistryKey key;
    if (!key.Open(SavedGameSlotPath(slot)))
        return out;
    std::vector<std::u16string> names;
    key.ListValues(names);
    for (const auto& name : names) {
        uint32_t type = 0;
        std::vector<uint8_t> bytes;
        key.QueryValue(name.c_str(), type, bytes, 1u << 26);
        out[name] = {type, bytes};
    }
    return out;
}

bool SlotExists(unsigned slot) {
    CRegistryKey key;
    return key.Open(SavedGameSlotPath(slot));
}

uint8_t FailedFlag(unsigned slot) {
    CRegistryKey key;
    uint8_t failed = 0xEE;
    if (key.Open(SavedGameSlotPath(slot)))
        key.ReadBinaryExact(u"failed", &failed, 1);
    return failed;
}

void ExpectConsistentState(const CGameEngine& e) {
    EXPECT_TRUE(test::Consistent(e));
    EXPECT_NE(e.history, nullptr);
}

class SavedGameTest : public test::RegistrySandbox {
public:
    void Use(uint16_t id, int piles = 8) {
        ASSERT_TRUE(test::LoadInto(engine, Game(id, piles)));
        uint32_t number = id;
        ASSERT_TRUE(engine.NewDeal(number));
    }

    // A few changes of every kind the blob carries, with their history.
    void Play() {
        CGameEngine& e = engine;
        // Top card of pile 0 onto pile 7.
        const uint16_t card = e.TopCard(0);
        const uint16_t before = e.pileStates[7].count;
        e.cardStates[card].pile = 7;
        e.cardStates[card].position = static_cast<int16_t>(before);
        e.pileStates[0].count--;
        e.pileStates[7].count++;
        e.history->Push(HistoryRecord{HistoryPlayerMove, 1, 0, 0, 0, 7, before, 0});
        e.history->Push(HistoryRecord{HistoryActionExecuted, 0, 0, 1, 1, 0, 0, 0});
        e.cardStates[3].exposed ^= 1;
        e.history->Push(HistoryRecord{HistoryExposedToggled, 0, 0, 3, 0, 0, 0, 0});
        e.counters[0].value--;
        e.history->Push(HistoryRecord{HistoryCounterUsed, 1, 0, 0, 0, 0, 0, 0});
        e.cardStates[10].faceUp = 0;
        e.cardStates[11].movable = 0;
        e.pileStates[2].dropProgram = 0;
        e.pileStates[3].enabled = 0;
        e.pileStates[4].attribute = 0x1234;
        e.moveLinks.push_back(MoveLink{2, 5});
        e.moveLinks.push_back(MoveLink{kAnyPile, 6});
        owner.elapsed = 754;
    }

    // Replaces the slot's "data" (and "size" to match) with `blob`, as a
    // hand or an older version writes it: without the save's check, so
    // that the blob's own checks decide.
    void WriteBlob(unsigned slot, const std::vector<uint8_t>& blob) {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(SavedGameSlotPath(slot)));
        key.WriteDword(u"size", static_cast<uint32_t>(blob.size()));
        key.WriteBinary(u"data", blob.data(), blob.size());
        key.DeleteValue(u"saveCheck");
    }

    // The slot as a version that wrote only some of its values leaves it.
    void DropValues(unsigned slot, std::initializer_list<const char16_t*> names) {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(SavedGameSlotPath(slot)));
        for (const char16_t* name : names) key.DeleteValue(name);
    }

    std::vector<uint8_t> StoredBlob(unsigned slot) { return ReadSlot(slot)[u"data"].second; }

    TestOwner owner;
    CGameEngine engine{&owner};
};

TEST_F(SavedGameTest, AGameNeverSavedIsNotFoundAndRestoringFreesTheOldState) {
    Use(1);
    EXPECT_EQ(engine.FindSavedGameSlot(1), kSavedGameSlots);
    EXPECT_FALSE(engine.LoadSavedGame(false));
    EXPECT_TRUE(engine.cardStates.empty());
    EXPECT_EQ(engine.history, nullptr);
}

TEST_F(SavedGameTest, SlotsGoToTheOldestStampTheHighestSlotOnATie) {
    Use(1);
    engine.SaveGame();
    EXPECT_EQ(engine.FindSavedGameSlot(1), 9);   // all stamps 0: slot 9 first
    EXPECT_NE(owner.stamps[9], 0u);
    Use(2);
    engine.SaveGame();
    EXPECT_EQ(engine.FindSavedGameSlot(2), 8);
    Use(1);
    engine.SaveGame();                            // the same game keeps its slot
    EXPECT_EQ(engine.FindSavedGameSlot(1), 9);

    // Fill all ten, then give two slots the same smallest stamp.
    for (uint16_t id = 3; id <= 10; ++id) {
        Use(id);
        engine.SaveGame();
    }
    for (uint16_t id = 1; id <= 10; ++id)
        EXPECT_NE(engine.FindSavedGameSlot(id), kSavedGameSlots) << id;
    const uint32_t stamps[10] = {50, 7, 90, 7, 80, 0xFFFFFFF0u, 60, 70, 40, 30};
    std::memcpy(owner.stamps, stamps, sizeof stamps);
    const SlotValues untouched = ReadSlot(1);
    const uint16_t replacedId = [&] {
        uint16_t id = 0;
        CRegistryKey key;
        key.Open(SavedGameSlotPath(3));
        key.ReadBinaryExact(u"solId", &id, 2);
        return id;
    }();
    Use(11);
    engine.SaveGame();
    EXPECT_EQ(engine.FindSavedGameSlot(11), 3);
    EXPECT_EQ(engine.FindSavedGameSlot(replacedId), kSavedGameSlots);
    EXPECT_EQ(ReadSlot(1), untouched);
}

TEST_F(SavedGameTest, ARestoreReproducesTheGameExactly) {
    Use(1);
    Play();
    const auto cards = engine.cardStates;
    const auto piles = engine.pileStates;
    const auto links = engine.moveLinks;
    const auto counters = engine.counters;
    const std::vector<HistoryRecord> history(engine.history->GetRecords(),
                                             engine.history->GetRecords() + engine.history->GetCount());
    engine.finished = 1;
    engine.shuffleState = 0xA5C3E1F7u;
    engine.SaveGame();

    const SlotValues slot = ReadSlot(9);
    EXPECT_EQ(slot.at(u"solId"), (std::pair<uint32_t, std::vector<uint8_t>>{kRegBinary, {1, 0}}));
    EXPECT_EQ(slot.at(u"failed"), (std::pair<uint32_t, std::vector<uint8_t>>{kRegBinary, {0}}));
    EXPECT_EQ(slot.at(u"size").first, kRegDword);
    const size_t expected = 15 + 8 * 52 + 32 * 8 + 4 * links.size() + 4 * 2 + 16 * history.size();
    EXPECT_EQ(slot.at(u"data").second.size(), expected);
    EXPECT_EQ(slot.at(u"data").first, kRegBinary);

    uint32_t other = 77;
    ASSERT_TRUE(engine.NewDeal(other));
    owner.elapsed = 0;
    owner.hintIndex = 3;
    ASSERT_TRUE(engine.LoadSavedGame(false));
    EXPECT_EQ(owner.elapsed, 754u);
    EXPECT_EQ(owner.hintIndex, 0);
    ASSERT_EQ(engine.cardStates.size(), cards.size());
    EXPECT_EQ(std::memcmp(engine.cardStates.data(), cards.data(), cards.size() * sizeof(CardState)), 0);
    EXPECT_EQ(std::memcmp(engine.pileStates.data(), piles.data(), piles.size() * sizeof(PileState)), 0);
    ASSERT_EQ(engine.GetMoveLinkCount(), links.size());
    EXPECT_EQ(std::memcmp(engine.moveLinks.data(), links.data(), links.size() * sizeof(MoveLink)), 0);
    EXPECT_EQ(std::memcmp(engine.counters.data(), counters.data(), counters.size() * sizeof(CounterState)), 0);
    EXPECT_EQ(engine.finished, 1);
    EXPECT_EQ(engine.shuffleState, 0xA5C3E1F7u);
    ASSERT_EQ(engine.history->GetCount(), history.size());
    EXPECT_EQ(std::memcmp(engine.history->GetRecords(), history.data(), history.size() * sizeof(HistoryRecord)), 0);
    ExpectConsistentState(engine);
}

TEST_F(SavedGameTest, UndoReachesBackIntoTheMovesMadeBeforeTheSave) {
    Use(1);
    const test::StateSnapshot dealt(engine);
    // A player move: the top card of pile 7 onto pile 2.
    const uint16_t card = engine.TopCard(7);
    HistoryRecord move{HistoryPlayerMove, 1, 0, 7, static_cast<uint16_t>(engine.cardStates[card].position), 2,
                       engine.pileStates[2].count, 0};
    engine.GetHistory()->Push(move);
    ActionDef run = test::Move(7, SourceFromTop, 0, 1, 2, DestFromTop);
    engine.ExecuteAction(run, nullptr);
    const test::StateSnapshot afterMove(engine);
    // A step of its own: definition action 1 (pile 0's top card to pile 1).
    ActionDef copy = engine.actions[1];
    uint16_t result = 0;
    ASSERT_TRUE(engine.ExecuteAction(copy, &result));
    engine.GetHistory()->Push(HistoryRecord{HistoryActionExecuted, 1, 0, 1, result, 0, 0, 0});
    const test::StateSnapshot afterAction(engine);
    owner.elapsed = 300;
    engine.SaveGame();

    uint32_t other = 1234;
    ASSERT_TRUE(engine.NewDeal(other));
    owner.elapsed = 0;
    ASSERT_TRUE(engine.LoadSavedGame(false));
    EXPECT_EQ(owner.elapsed, 300u);
    EXPECT_TRUE(test::StateSnapshot(engine) == afterAction);
    ASSERT_TRUE(engine.CanUndo());
    EXPECT_TRUE(engine.UndoOne());
    EXPECT_TRUE(test::StateSnapshot(engine) == afterMove);
    EXPECT_TRUE(engine.UndoOne());
    EXPECT_TRUE(test::StateSnapshot(engine) == dealt);
    EXPECT_FALSE(engine.CanUndo());
    ExpectConsistentState(engine);
}

TEST_F(SavedGameTest, AnEmptyHistoryAndNoLinksStillCarryTheirCounts) {
    Use(1);
    engine.moveLinks.clear();
    engine.SaveGame();
    EXPECT_EQ(ReadSlot(9)[u"data"].second.size(), 15u + 8 * 52 + 32 * 8 + 4 * 2);
    ASSERT_TRUE(engine.LoadSavedGame(false));
    EXPECT_EQ(engine.GetMoveLinkCount(), 0);
    EXPECT_EQ(engine.history->GetCount(), 0u);
    EXPECT_FALSE(engine.CanUndo());
}

// The blob as a writer of the stored layout alone makes it: every record
// byte for byte, every reserved byte 0 (the four after the counters too).
std::vector<uint8_t> PlainBlob(const CGameEngine& e, uint32_t elapsed) {
    std::vector<uint8_t> out;
    const auto put = [&out](const void* p, size_t n) {
        out.insert(out.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    };
    put(&elapsed, 4);
    for (CardState c : e.cardStates) {
        c.reserved = 0;
        put(&c, sizeof c);
    }
    for (PileState p : e.pileStates) {
        p.reserved1 = 0;
        std::memset(p.reserved2, 0, sizeof p.reserved2);
        put(&p, sizeof p);
    }
    const uint16_t links = e.GetMoveLinkCount();
    put(&links, 2);
    put(e.moveLinks.data(), 4u * links);
    put(e.counters.data(), 4 * e.counters.size());
    out.insert(out.end(), 4, 0);
    out.push_back(e.finished);
    const uint32_t h = e.history->GetCount();
    put(&h, 4);
    for (uint32_t i = 0; i < h; ++i) {
        HistoryRecord r = e.history->GetRecords()[i];
        r.reserved1 = 0;
        r.reserved2 = 0;
        put(&r, sizeof r);
    }
    return out;
}

TEST_F(SavedGameTest, AGameWrittenWithItsReservedBytesZeroRestoresShufflesAndUndoes) {
    // A click on pile 7 shuffles it.
    GameDefinitionData g = Game(1);
    g.eventTypes.push_back(EventPlayerOnly);
    g.actions.push_back(test::PileAttr(7, PileShuffle, 0));
    g.eventActions.push_back(EventAction{1, static_cast<uint16_t>(g.actions.size() - 1)});
    g.piles[7].clickEvent = 1;
    ASSERT_TRUE(test::LoadInto(engine, g));
    ASSERT_TRUE(StartGame(engine, 5));
    const std::vector<CardState> dealt = engine.cardStates;
    ASSERT_TRUE(PlayMove(engine, engine.TopCard(0), 7));
    const std::vector<CardState> played = engine.cardStates;
    const std::vector<int> pile = test::PileCards(engine, 7);

    // The slot as such a writer leaves it: no definition fingerprint.
    engine.SaveGame();
    WriteBlob(9, PlainBlob(engine, 42));
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(SavedGameSlotPath(9)));
        key.DeleteValue(u"definitionHash");
    }
    ASSERT_TRUE(StartGame(engine, 6));
    ASSERT_TRUE(engine.LoadSavedGame(false));
    ExpectConsistentState(engine);
    EXPECT_EQ(owner.elapsed, 42u);
    EXPECT_EQ(engine.shuffleState, 0u);
    EXPECT_EQ(test::PileCards(engine, 7), pile);

    // The shuffle draws from the generator state 0 and undo gives it back,
    // so that the same click shuffles the same way again.
    ASSERT_TRUE(PlayClick(engine, 7));
    const std::vector<int> shuffled = test::PileCards(engine, 7);
    EXPECT_NE(shuffled, pile);
    EXPECT_TRUE(test::Consistent(engine));
    ASSERT_TRUE(UndoStep(engine));
    EXPECT_EQ(test::PileCards(engine, 7), pile);
    EXPECT_EQ(engine.shuffleState, 0u);
    ASSERT_TRUE(PlayClick(engine, 7));
    EXPECT_EQ(test::PileCards(engine, 7), shuffled);

    // Undo runs back through the shuffle and the move made before the save.
    ASSERT_TRUE(UndoStep(engine));
    EXPECT_EQ(std::memcmp(engine.cardStates.data(), played.data(), played.size() * sizeof(CardState)), 0);
    ASSERT_TRUE(UndoStep(engine));
    EXPECT_FALSE(engine.CanUndo());
    EXPECT_EQ(std::memcmp(engine.cardStates.data(), dealt.data(), dealt.size() * sizeof(CardState)), 0);
}

TEST_F(SavedGameTest, TheFailedGuardDropsARestoreThatNeverReachedASave) {
    Use(1);
    Play();
    engine.SaveGame();
    EXPECT_EQ(FailedFlag(9), 0);
    ASSERT_TRUE(engine.LoadSavedGame(true));   // a preview leaves the flag alone
    EXPECT_EQ(FailedFlag(9), 0);
    ASSERT_TRUE(engine.LoadSavedGame(false));
    EXPECT_EQ(FailedFlag(9), 1);               // set before anything is restored
    engine.SaveGame();
    EXPECT_EQ(FailedFlag(9), 0);               // and cleared by the save

    ASSERT_TRUE(engine.LoadSavedGame(false));
    // The program ends here without saving; the next restore, preview or not,
    // drops the slot and the caller deals anew.
    EXPECT_FALSE(engine.LoadSavedGame(true));
    EXPECT_FALSE(SlotExists(9));
    EXPECT_EQ(engine.FindSavedGameSlot(1), kSavedGameSlots);
    EXPECT_TRUE(engine.cardStates.empty());
}

TEST_F(SavedGameTest, SavingWithoutAGameInPlayWritesNothing) {
    ASSERT_TRUE(test::LoadInto(engine, Game(1)));
    engine.SaveGame();
    EXPECT_EQ(engine.FindSavedGameSlot(1), kSavedGameSlots);
    CGameEngine empty(&owner);
    empty.SaveGame();
    EXPECT_FALSE(empty.LoadSavedGame(false));
}

// ------------------------------------------------------------ damaged slots

// One kind of damage: an edit of the blob (written back with a matching
// "size"), or a change of the slot's values given its stored blob.
struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>& blob)> blob;
    std::function<void(unsigned slot, const std::vector<uint8_t>& blob)> slot;
};

// Offsets for the test game (52 cards, 8 piles, 2 counters) and l links.
constexpr size_t kCards = 4, kPiles = kCards + 8 * 52, kLinkCount = kPiles + 32 * 8, kLinks = kLinkCount + 2;
size_t Counters(size_t l) { return kLinks + 4 * l; }
size_t Finished(size_t l) { return Counters(l) + 8 + 4; }
size_t HistoryCount(size_t l) { return Finished(l) + 1; }
size_t History(size_t l) { return HistoryCount(l) + 4; }
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { b[at] = static_cast<uint8_t>(v); b[at + 1] = static_cast<uint8_t>(v >> 8); }
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { Put16(b, at, static_cast<uint16_t>(v)); Put16(b, at + 2, static_cast<uint16_t>(v >> 16)); }
size_t LinksIn(const std::vector<uint8_t>& b) { return b[kLinkCount] | b[kLinkCount + 1] << 8; }

void WriteValue(unsigned slot, const char16_t* name, uint32_t type, const std::vector<uint8_t>& bytes) {
    // Write any type: a DWORD-typed value through WriteDword, others as binary
    // and then retyped where the registry allows it.
    CRegistryKey key;
    ASSERT_TRUE(key.Open(SavedGameSlotPath(slot)));
    if (type == kRegDword) {
        uint32_t v = 0;
        std::memcpy(&v, bytes.data(), std::min<size_t>(4, bytes.size()));
        key.WriteDword(name, v);
    } else {
        key.WriteBinary(name, bytes.data(), bytes.size());
    }
}

const Damage kDamages[] = {
    {"truncated", [](std::vector<uint8_t>& x) { x.resize(x.size() - 16); }},
    {"extra bytes", [](std::vector<uint8_t>& x) { x.push_back(0); }},
    {"shorter than the fixed part", [](std::vector<uint8_t>& x) { x.resize(20); }},
    {"card on a missing pile", [](std::vector<uint8_t>& x) { Put16(x, kCards + 8 * 5 + 4, 8); }},
    {"card on the scratch pile index 0xFFFF", [](std::vector<uint8_t>& x) { Put16(x, kCards + 8 * 5 + 4, 0xFFFF); }},
    {"negative position", [](std::vector<uint8_t>& x) { Put16(x, kCards + 8 * 40 + 6, 0xFFFF); }},
    {"two cards at one position", [](std::vector<uint8_t>& x) {
         // Give the second card found on pile 7 the position of the first.
         size_t first = 52;
         for (size_t c = 0; c < 52; ++c) {
             if (x[kCards + 8 * c + 4] != 7)
                 continue;
             if (first == 52) {
                 first = c;
                 continue;
             }
             x[kCards + 8 * c + 6] = x[kCards + 8 * first + 6];
             x[kCards + 8 * c + 7] = x[kCards + 8 * first + 7];
             break;
         }
     }},
    {"pile count disagrees", [](std::vector<uint8_t>& x) { Put16(x, kPiles + 32 * 1 + 10, 2); }},
    {"pile counts swapped", [](std::vector<uint8_t>& x) {
         // Totals still add up but positions no longer fit their piles.
         Put16(x, kPiles + 32 * 1 + 10, 0);
         Put16(x, kPiles + 32 * 2 + 10, 2);
     }},
    {"unknown fan", [](std::vector<uint8_t>& x) { Put32(x, kPiles + 32 * 3 + 4, 9); }},
    {"card flag 2", [](std::vector<uint8_t>& x) { x[kCards + 8 * 7] = 2; }},
    {"pile flag 2", [](std::vector<uint8_t>& x) { x[kPiles + 32 * 2 + 20] = 2; }},
    {"drop program out of range", [](std::vector<uint8_t>& x) { Put16(x, kPiles + 32 * 3 + 12, 2); }},
    {"pickup program out of range", [](std::vector<uint8_t>& x) { Put16(x, kPiles + 32 * 3 + 14, 0x7FFF); }},
    {"link count too large", [](std::vector<uint8_t>& x) { Put16(x, kLinkCount, 0xFFFF); }},
    {"link to a missing pile", [](std::vector<uint8_t>& x) { Put16(x, kLinks + 2, 8); }},
    {"counter event out of range", [](std::vector<uint8_t>& x) { Put16(x, Counters(LinksIn(x)) + 2, 1); }},
    {"finished flag 2", [](std::vector<uint8_t>& x) { x[Finished(LinksIn(x))] = 2; }},
    {"history count huge", [](std::vector<uint8_t>& x) { Put32(x, HistoryCount(LinksIn(x)), 0x10000001u); }},
    {"history kind unknown", [](std::vector<uint8_t>& x) { Put32(x, History(LinksIn(x)) + 16, 4); }},
    {"history move from a missing pile", [](std::vector<uint8_t>& x) { Put16(x, History(LinksIn(x)) + 6, 8); }},
    {"history move to a missing pile", [](std::vector<uint8_t>& x) { Put16(x, History(LinksIn(x)) + 10, 0xFFFF); }},
    {"history action out of range", [](std::vector<uint8_t>& x) { Put16(x, History(LinksIn(x)) + 16 + 6, 2); }},
    {"history card out of range", [](std::vector<uint8_t>& x) { Put16(x, History(LinksIn(x)) + 32 + 6, 52); }},
    {"history counter out of range", [](std::vector<uint8_t>& x) { Put16(x, History(LinksIn(x)) + 48 + 6, 2); }},
    {"history opens without a step", [](std::vector<uint8_t>& x) { x[History(LinksIn(x)) + 4] = 0; }},
    {"history opens with a record that starts no step", [](std::vector<uint8_t>& x) {
         // Without its player move the history opens with the action record
         // that followed it: valid in itself, but not the start of a step.
         const size_t count = HistoryCount(LinksIn(x));
         Put32(x, count, x[count] - 1u);
         x.erase(x.begin() + static_cast<long>(count + 4), x.begin() + static_cast<long>(count + 4 + 16));
     }},
    {"size is binary", nullptr, [](unsigned s, const std::vector<uint8_t>& b) {
         WriteValue(s, u"size", kRegBinary, {static_cast<uint8_t>(b.size()), static_cast<uint8_t>(b.size() >> 8), 0, 0});
     }},
    {"size is huge", nullptr, [](unsigned s, const std::vector<uint8_t>&) {
         WriteValue(s, u"size", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF});
     }},
    {"size differs from data", nullptr, [](unsigned s, const std::vector<uint8_t>& b) {
         const uint32_t n = static_cast<uint32_t>(b.size() - 1);
         WriteValue(s, u"size", kRegDword, {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0, 0});
     }},
    {"size missing", nullptr, [](unsigned s, const std::vector<uint8_t>&) {
         CRegistryKey key;
         key.Open(SavedGameSlotPath(s));
         key.DeleteValue(u"size");
     }},
    {"data is a DWORD", nullptr, [](unsigned s, const std::vector<uint8_t>&) {
         WriteValue(s, u"data", kRegDword, {1, 2, 3, 4});
         WriteValue(s, u"size", kRegDword, {4, 0, 0, 0});
     }},
    {"data missing", nullptr, [](unsigned s, const std::vector<uint8_t>&) {
         CRegistryKey key;
         key.Open(SavedGameSlotPath(s));
         key.DeleteValue(u"data");
     }},
    {"definition fingerprint differs", nullptr, [](unsigned s, const std::vector<uint8_t>&) {
         WriteValue(s, u"definitionHash", kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8});
     }},
    {"definition fingerprint damaged", nullptr, [](unsigned s, const std::vector<uint8_t>&) {
         WriteValue(s, u"definitionHash", kRegBinary, {1, 2, 3});
     }},
};

class DamagedSlotTest : public SavedGameTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(DamagedSlotTest, IsDroppedAndTheOtherSlotsStayAsTheyWere) {
    const Damage& damage = kDamages[GetParam()];
    SCOPED_TRACE(damage.name);
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "play");
        // Game 1 in slot 9, game 2 in slot 8; slot 8 is damaged.
        Use(1);
        Play();
        engine.SaveGame();
        Use(2);
        Play();
        engine.SaveGame();
        ASSERT_EQ(engine.FindSavedGameSlot(2), 8);
        const SlotValues other = ReadSlot(9);
        std::vector<uint8_t> blob = StoredBlob(8);
        if (damage.blob) {
            damage.blob(blob);
            WriteBlob(8, blob);
        } else {
            damage.slot(8, blob);
            DropValues(8, {u"saveCheck"});   // the damage alone must refuse it
        }

        EXPECT_FALSE(engine.LoadSavedGame(preview));
        EXPECT_TRUE(engine.cardStates.empty());
        EXPECT_EQ(engine.history, nullptr);
        EXPECT_FALSE(SlotExists(8));
        EXPECT_EQ(ReadSlot(9), other);

        Use(1);
        ASSERT_TRUE(engine.LoadSavedGame(false));
        ExpectConsistentState(engine);
        engine.SaveGame();
        DeleteRegistryTree(SavedGameSlotPath(9));
        std::memset(owner.stamps, 0, sizeof owner.stamps);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, DamagedSlotTest, ::testing::Range<size_t>(0, std::size(kDamages)),
                         [](const ::testing::TestParamInfo<size_t>& param) {
                             std::string name;
                             for (const char* c = kDamages[param.param].name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(SavedGameTest, AnIdThatCannotBeReadMatchesNothing) {
    Use(1);
    engine.SaveGame();
    WriteValue(9, u"solId", kRegBinary, {1});
    EXPECT_EQ(engine.FindSavedGameSlot(1), kSavedGameSlots);
    WriteValue(9, u"solId", kRegDword, {1, 0, 0, 0});
    EXPECT_EQ(engine.FindSavedGameSlot(1), kSavedGameSlots);
    EXPECT_FALSE(engine.LoadSavedGame(false));
}

TEST_F(SavedGameTest, ABlobOfAnotherShapeOfTheGameIsRefused) {
    // The same id, saved while the game had nine piles.
    Use(1, 9);
    engine.SaveGame();
    Use(1, 8);
    EXPECT_FALSE(engine.LoadSavedGame(false));
    EXPECT_FALSE(SlotExists(9));
    std::memset(owner.stamps, 0, sizeof owner.stamps);
    // Without a fingerprint (a slot written by an older version) the blob's
    // own checks still refuse it.
    Use(1, 9);
    engine.SaveGame();
    DropValues(9, {u"definitionHash", u"saveCheck"});
    Use(1, 8);
    EXPECT_FALSE(engine.LoadSavedGame(false));
    std::memset(owner.stamps, 0, sizeof owner.stamps);
    // And a slot without a fingerprint of the right shape restores.
    Use(1, 8);
    Play();
    engine.SaveGame();
    DropValues(9, {u"definitionHash", u"saveCheck", u"gameNumber"});
    EXPECT_TRUE(engine.LoadSavedGame(false));
}

// What the slot holds that a restore reproduces.
struct Position {
    std::vector<uint8_t> blob;   // the state as saved, elapsed seconds included
    uint32_t gameNumber = 0;
    bool operator==(const Position& o) const { return blob == o.blob && gameNumber == o.gameNumber; }
};

// A process killed between any two registry writes of a save: the slot it
// leaves restores the position saved before or the one being saved, or
// nothing, never a mixture of the two.
TEST_F(SavedGameTest, ASaveCutShortBetweenAnyTwoWritesIsNeverRestored) {
#ifdef _WIN32
    GTEST_SKIP() << "cutting writes short is the host registry's";
#else
    const auto position = [&](uint16_t id, uint32_t number, bool play) {
        Use(id);
        if (play) Play();
        owner.gameNumber = number;
        owner.elapsed = 100 + number;
        return Position{SerializeSavedGame(engine, owner.elapsed), number};
    };
    // What LoadSavedGame restores for game `id`, or nothing.
    const auto restored = [&](uint16_t id) -> std::optional<Position> {
        Use(id);
        owner.gameNumber = 0xDEAD;
        if (!engine.LoadSavedGame(false)) return std::nullopt;
        EXPECT_TRUE(test::Consistent(engine));
        return Position{SerializeSavedGame(engine, owner.elapsed), owner.gameNumber};
    };
    // Saves `id` at `position` with the process killed after `writes` writes.
    const auto saveCut = [&](uint16_t id, uint32_t number, bool play, int writes) {
        position(id, number, play);
        SetRegistryWriteLimit(writes);
        engine.SaveGame();
        SetRegistryWriteLimit(-1);
    };
    struct Start {
        const char* name;
        std::function<void()> make;   // the slots before the save that is cut
        uint16_t id;                  // the game saved
    };
    const Start starts[] = {
        {"the same game saved before", [&] { saveCut(1, 11, false, -1); }, 1},
        {"the same game saved by an older version",
         [&] {
             saveCut(1, 11, false, -1);
             DropValues(9, {u"saveCheck", u"gameNumber", u"definitionHash"});
         },
         1},
        {"an empty slot", [] {}, 1},
        {"another game's slot taken over",
         [&] {
             saveCut(2, 22, false, -1);
             std::fill(std::begin(owner.stamps), std::end(owner.stamps), 0xFFFFFFFFu);
             owner.stamps[9] = 1;   // slot 9, game 2's, is the oldest
         },
         1},
    };
    for (const Start& start : starts) {
        SCOPED_TRACE(start.name);
        int complete = -1;
        for (int writes = 0; writes < 40 && complete < 0; ++writes) {
            SCOPED_TRACE(writes);
            DeleteRegistryTree(ProgramKeyPath());
            std::fill(std::begin(owner.stamps), std::end(owner.stamps), 0u);
            start.make();
            const std::optional<Position> before1 = restored(1);
            start.make();
            const std::optional<Position> before2 = restored(2);
            start.make();
            const Position after = position(1, 33, true);
            saveCut(1, 33, true, writes);
            const SlotValues cut = ReadSlot(9);
            const std::optional<Position> now1 = restored(1);
            if (now1 && *now1 == after) {
                complete = writes;
            } else if (now1) {
                EXPECT_TRUE(before1 && *now1 == *before1) << "a slot cut short was restored";
            }
            // Game 2's slot, where it was taken over: its old game or nothing.
            DeleteRegistryTree(ProgramKeyPath());
            if (!cut.empty()) {
                CRegistryKey key;
                ASSERT_TRUE(key.Create(SavedGameSlotPath(9)));
                for (const auto& [name, value] : cut) key.WriteValue(name.c_str(), value.first, value.second.data(),
                                                                      value.second.size());
            }
            const std::optional<Position> now2 = restored(2);
            if (now2) {
                EXPECT_TRUE(before2 && *now2 == *before2) << "game 2 restored from a slot cut short";
            }
        }
        EXPECT_GT(complete, 4) << "the save's writes were not all cut";
    }
#endif
}

TEST_F(SavedGameTest, TheDefinitionFingerprintKeepsItsValue) {
    // Slots already stored carry this value: a fingerprint computed another
    // way would drop every one of them as a game that has changed.
    CGameEngine e;
    ASSERT_TRUE(test::LoadInto(e, Game(1)));
    EXPECT_EQ(DefinitionFingerprint(e), 0xC4CB7A12455D9160ull);
}

// ------------------------------------------------------------------- fuzzing

TEST_F(SavedGameTest, FuzzedBlobsAreRefusedOrConsistent) {
    Use(1);
    Play();
    const std::vector<uint8_t> valid = SerializeSavedGame(engine, 99);
    std::mt19937 random(20240611);
    size_t cases = 0, accepted = 0, throughRegistry = 0;

    const auto check = [&](const std::vector<uint8_t>& blob) {
        ++cases;
        SavedGameData parsed;
        if (!ParseSavedGame(engine, blob.data(), blob.size(), parsed))
            return;
        ++accepted;
        // What is accepted writes back to the same bytes.
        CGameEngine copy(nullptr);
        ASSERT_TRUE(test::LoadInto(copy, Game(1)));
        copy.cardStates = parsed.cardStates;
        copy.pileStates = parsed.pileStates;
        copy.moveLinks = parsed.moveLinks;
        copy.counters = parsed.counters;
        copy.finished = parsed.finished;
        copy.shuffleState = parsed.shuffleState;
        copy.history = std::make_unique<CMoveHistory>(nullptr);
        for (const auto& r : parsed.history)
            copy.history->Push(r);
        std::vector<uint8_t> again = SerializeSavedGame(copy, parsed.elapsedSeconds);
        ASSERT_EQ(again, blob);
        ExpectConsistentState(copy);
    };

    // Truncations at every length.
    for (size_t n = 0; n < valid.size(); ++n)
        check(std::vector<uint8_t>(valid.begin(), valid.begin() + static_cast<long>(n)));
    // Every single bit flipped.
    for (size_t bit = 0; bit < valid.size() * 8; ++bit) {
        std::vector<uint8_t> blob = valid;
        blob[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        check(blob);
    }
    // Several bits flipped at once, and runs of random bytes written over it.
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> blob = valid;
        const int flips = 2 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f)
            blob[random() % blob.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
        if (i % 2) {
            const size_t at = random() % blob.size();
            const size_t n = std::min<size_t>(1 + random() % 24, blob.size() - at);
            for (size_t k = 0; k < n; ++k)
                blob[at + k] = static_cast<uint8_t>(random());
        }
        check(blob);
    }
    // Random bytes of random lengths, some of exactly the valid length.
    for (int i = 0; i < 5000; ++i) {
        std::vector<uint8_t> blob(i % 3 == 0 ? valid.size() : random() % (valid.size() + 64));
        for (auto& b : blob)
            b = static_cast<uint8_t>(random());
        check(blob);
    }
    // A share of damaged blobs through the whole restore, with a valid slot
    // of another game beside it.
    Use(2);
    Play();
    engine.SaveGame();
    const SlotValues other = ReadSlot(9);
    Use(1);
    Play();
    for (int i = 0; i < 400; ++i) {
        uint32_t number = 1;
        ASSERT_TRUE(engine.NewDeal(number));
        Play();
        owner.stamps[9] = 0xFFFFFFFFu;   // keeps game 2's slot out of the choice
        engine.SaveGame();
        const uint16_t slot = engine.FindSavedGameSlot(1);
        ASSERT_NE(slot, 9);
        std::vector<uint8_t> blob = valid;
        switch (i % 3) {
        case 0: blob.resize(random() % blob.size()); break;
        case 1: blob[random() % blob.size()] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
        default:
            for (int k = 0; k < 8; ++k)
                blob[random() % blob.size()] = static_cast<uint8_t>(random());
        }
        WriteBlob(slot, blob);
        ++throughRegistry;
        if (engine.LoadSavedGame(i % 2 == 0))
            ExpectConsistentState(engine);
        else
            EXPECT_FALSE(SlotExists(slot));
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(ReadSlot(9), other);
    std::printf("saved-game fuzz: %zu blobs parsed (%zu accepted), %zu restored through the registry\n", cases,
                accepted, throughRegistry);
    RecordProperty("cases", static_cast<int>(cases + throughRegistry));
}

}  // namespace
}  // namespace corvelle
