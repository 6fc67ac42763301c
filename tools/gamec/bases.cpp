// The base each pile shows when empty, from its role where the game file
// does not choose one: foundations show the rank (and suit) that starts
// them, free cells a dashed outline, a pile that redeals the redeal arrow, a
// stock that does not a cross, a waste nothing.
#include <algorithm>
#include <map>
#include <set>

#include "engine/records.h"
#include "engine/rules.h"
#include "tools/gamec/game_compiler.h"

namespace corvelle::gamec {
namespace {

constexpr uint16_t kRedealPicture = 0;    // picture base values
constexpr uint16_t kNoRedealPicture = 1;

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// True when `program` lets `moving` (top card first) onto a pile holding
// `onto` (top card first; empty: an empty pile).
bool Accepts(const std::vector<uint8_t>& program, const RuleCardList& moving, RuleCardList onto = {}) {
    onto.push_back({0, 0});
    std::vector<uint8_t> code = program;
    code.push_back(OpEnd);
    return EvaluateRuleProgram(moving.data(), onto.data(), code.data(), code.size());
}

// What a drop program lets onto an empty pile: the cards that can land on
// the base, as the bottom card of one card or of a run in suit, up or down.
std::set<std::pair<uint32_t, uint32_t>> FirstCards(const std::vector<uint8_t>& program) {
    std::set<std::pair<uint32_t, uint32_t>> first;
    for (uint32_t suit = 1; suit <= 4; ++suit)
        for (uint32_t bottom = 1; bottom <= 13; ++bottom)
            for (int dir : {-1, 1})
                for (uint32_t length = dir < 0 ? 1 : 2; length <= 13; ++length) {
                    // Top card first, the bottom card last.
                    RuleCardList moving;
                    const int top = static_cast<int>(bottom) + dir * static_cast<int>(length - 1);
                    if (top < 1 || top > 13) break;
                    for (int r = top; r != static_cast<int>(bottom) - dir; r -= dir)
                        moving.push_back({suit, static_cast<uint32_t>(r)});
                    moving.push_back({0, 0});
                    if (Accepts(program, moving)) first.insert({suit, bottom});
                }
    return first;
}

// The mark of a foundation whose drop program is `program`: the rank every
// card landing on its base has (and the suit, when only one may), 0 when
// that is not one rank.
uint16_t FoundationMark(const std::vector<uint8_t>& program) {
    const auto first = FirstCards(program);
    std::set<uint32_t> ranks, suits;
    for (const auto& [suit, rank] : first) {
        ranks.insert(rank);
        suits.insert(suit);
    }
    if (ranks.size() != 1) return 0;
    return static_cast<uint16_t>(*ranks.begin() + (suits.size() == 1 ? *suits.begin() * 256 : 0));
}

// True when no card, alone or with one above it, may be dropped on the
// empty pile.
bool RefusesAllOnEmpty(const std::vector<uint8_t>& program) {
    for (uint32_t s1 = 1; s1 <= 4; ++s1)
        for (uint32_t r1 = 1; r1 <= 13; ++r1) {
            if (Accepts(program, {{s1, r1}, {0, 0}})) return false;
            for (uint32_t s2 = 1; s2 <= 4; ++s2)
                for (uint32_t r2 = 1; r2 <= 13; ++r2)
                    if (Accepts(program, {{s2, r2}, {s1, r1}, {0, 0}})) return false;
        }
    return true;
}

// A free cell: some card may go on it when empty, none on a card.
bool HoldsOneCard(const std::vector<uint8_t>& program) {
    bool takesOne = false;
    for (uint32_t s1 = 1; s1 <= 4; ++s1)
        for (uint32_t r1 = 1; r1 <= 13; ++r1) {
            takesOne = takesOne || Accepts(program, {{s1, r1}, {0, 0}});
            for (uint32_t s2 = 1; s2 <= 4; ++s2)
                for (uint32_t r2 = 1; r2 <= 13; ++r2)
                    if (Accepts(program, {{s1, r1}, {0, 0}}, {{s2, r2}})) return false;
        }
    return takesOne;
}

ActionDef MarkAction(uint16_t pile, uint16_t value) {
    ActionDef a{};
    a.kind = ActionSetPileAttribute;
    a.subKind = PileAttributeValue;
    a.sourcePile = pile;
    a.value = value;
    return a;
}

}  // namespace

void GameCompiler::AssignBases(CompiledGame& out, const std::vector<PileOpts>& finals) {
    GameDefinitionData& d = out.def;
    const size_t pileCount = d.piles.size();
    std::vector<std::vector<uint16_t>> actionsOf(d.eventTypes.size());
    for (const EventAction& ea : d.eventActions) actionsOf[ea.event].push_back(ea.action);
    // Piles whose base the game decides itself: written, or changed by its events.
    std::vector<bool> own(pileCount, false), dropChanged(pileCount, false);
    for (size_t i = 0; i < pileCount; ++i) own[i] = finals[i].base || finals[i].attribute;
    for (const ActionDef& a : d.actions) {
        if (a.kind != ActionSetPileAttribute || a.sourcePile >= pileCount) continue;
        if (a.subKind == PileAttributeValue) own[a.sourcePile] = true;
        if (a.subKind == PileDropProgram) dropChanged[a.sourcePile] = true;
    }
    // A redeal: a click (or a click on the empty pile) that brings cards
    // back into the pile clicked.
    const auto redealEvent = [&](size_t pile) -> uint16_t {
        for (uint16_t ev : {d.piles[pile].emptyClickEvent, d.piles[pile].clickEvent}) {
            if (ev == 0 || ev >= actionsOf.size()) continue;
            for (uint16_t k : actionsOf[ev])
                if (d.actions[k].kind == ActionMoveCards && d.actions[k].destPile == pile && d.actions[k].sourcePile != pile)
                    return ev;
        }
        return 0;
    };
    std::map<uint16_t, uint16_t> marks;   // drop program -> foundation mark
    const auto foundationMark = [&](uint16_t program) {
        const auto it = marks.find(program);
        return it != marks.end() ? it->second : marks[program] = FoundationMark(d.programs[program]);
    };
    std::vector<bool> markedByRole(pileCount, false);
    std::map<uint16_t, std::vector<uint16_t>> usedUp;   // counter -> redeal piles whose redeals it counts
    for (size_t i = 0; i < pileCount; ++i) {
        if (own[i]) continue;
        PileDef& p = d.piles[i];
        const std::string& name = out.pileNames[i];
        const uint16_t redeal = redealEvent(i);
        if (redeal != 0) {
            p.baseKind = BasePictured;
            p.attribute = kRedealPicture;
            for (const EventCounter& ec : d.eventCounters)
                if (ec.event == redeal) {
                    usedUp[ec.counter].push_back(static_cast<uint16_t>(i));
                    break;
                }
        } else if (name.find("foundation") != std::string::npos) {
            p.baseKind = BaseMarked;
            p.attribute = foundationMark(p.dropProgram);
            markedByRole[i] = true;
        } else if (StartsWith(name, "cell") && HoldsOneCard(d.programs[p.dropProgram])) {
            p.baseKind = BaseMarked;
            p.attribute = 0;
        } else if (name == "stock" && p.emptyClickEvent == 0) {
            p.baseKind = BasePictured;
            p.attribute = kNoRedealPicture;
        } else if (StartsWith(name, "waste") && p.emptyClickEvent == 0 && !dropChanged[i] &&
                   (!p.acceptsDrops || RefusesAllOnEmpty(d.programs[p.dropProgram]))) {
            // Nothing can be put on an empty waste, so it shows no place to
            // put anything.
            p.baseKind = BaseNone;
        }
    }
    // A foundation whose first rank the game sets as it goes (from the
    // deal) shows the rank its new drop rule starts from.
    std::map<std::pair<uint16_t, uint16_t>, uint16_t> markActions;   // (pile, mark) -> action
    const auto markAction = [&](uint16_t pile, uint16_t mark) {
        const auto it = markActions.find({pile, mark});
        if (it != markActions.end()) return it->second;
        d.actions.push_back(MarkAction(pile, mark));
        return markActions[{pile, mark}] = static_cast<uint16_t>(d.actions.size() - 1);
    };
    std::vector<EventAction> withMarks;
    for (const EventAction& ea : d.eventActions) {
        withMarks.push_back(ea);
        const ActionDef a = d.actions[ea.action];
        if (a.kind != ActionSetPileAttribute || a.subKind != PileDropProgram || a.sourcePile >= pileCount ||
            !markedByRole[a.sourcePile])
            continue;
        withMarks.push_back({ea.event, markAction(a.sourcePile, foundationMark(a.value))});
    }
    d.eventActions = std::move(withMarks);
    // A redeal place whose redeals are counted shows the cross once they
    // are used up (unless the game has its own use for that moment or puts
    // the count back).
    for (const auto& [usedCounter, piles] : usedUp) {
        // A named copy: C++17 lambdas cannot capture a structured binding.
        const auto counter = usedCounter;
        const bool reset = std::any_of(d.actions.begin(), d.actions.end(), [&](const ActionDef& a) {
            return a.kind == ActionResetCounter && a.sourcePile == counter;
        });
        if (counter >= d.counterDefs.size() || d.counterDefs[counter].exhaustedEvent != 0 || reset) continue;
        const auto ev = static_cast<uint16_t>(d.eventTypes.size());
        d.eventTypes.push_back(EventPlayerOnly);
        out.eventNames.push_back("~" + counters[counter].name + "-used-up");
        for (uint16_t pile : piles) d.eventActions.push_back({ev, markAction(pile, kNoRedealPicture)});
        d.counterDefs[counter].exhaustedEvent = ev;
    }
}

}  // namespace corvelle::gamec
