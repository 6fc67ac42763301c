// The checks that keep a compiled game from misbehaving: clicks that might
// change nothing, start events that finish the game, piles out of play that
// still take cards, and layouts that overlap or leave the reference.
#include <set>
#include <sstream>

#include "engine/covering.h"
#include "engine/game_engine.h"
#include "tools/gamec/game_compiler.h"

namespace corvelle::gamec {
namespace {

// Blocks whose truth implies that their pile holds at least one card.
bool ImpliesNotEmpty(const std::string& expr) {
    if (expr.find('|') != std::string::npos || expr.find('!') != std::string::npos) return false;
    std::stringstream ss(expr);
    for (std::string term; std::getline(ss, term, '&');) {
        const std::string name = term.substr(0, term.find('('));
        if (name == "not-empty" || name == "one" || name == "top-rank" || name == "top-face-down" ||
            name == "top-face-up" || name == "complete-run")
            return true;
        if ((name == "count" || name == "at-least") && term.find("(0)") == std::string::npos) return true;
    }
    return false;
}

}  // namespace

void GameCompiler::CheckGuarantees(const CompiledGame& out, const std::vector<PileOpts>& finals) {
    const GameDefinitionData& d = out.def;
    std::vector<std::vector<ActionDef>> actionsByEvent(events.size() + 1);
    for (const EventAction& ea : d.eventActions) actionsByEvent[ea.event].push_back(d.actions[ea.action]);
    const auto actionsOf = [&](int ev) { return actionsByEvent[ev]; };
    // A finishing automatic event whose only conditions are 'empty' on a set
    // of piles proves that, while the game runs, one of them holds a card.
    std::vector<std::set<int>> provenNotAllEmpty;
    for (size_t e = 1; e < events.size() + 1; ++e) {
        const EventEntry& ev = events[e - 1];
        if (ev.type != EventAfterStep && ev.type != EventAfterStepRepeating) continue;
        const auto acts = actionsOf(static_cast<int>(e));
        if (std::none_of(acts.begin(), acts.end(), [](const ActionDef& a) { return a.kind == ActionFinishGame; })) continue;
        if (!ev.counter.empty()) continue;
        std::set<int> s;
        bool onlyEmpty = !ev.conditions.empty();
        for (const Condition& c : ev.conditions) {
            if (c.expr != "empty" || !c.pileB.empty()) onlyEmpty = false;
            for (const auto& [name, idx] : pileIndex)
                if (name == c.pileA) s.insert(idx);
            for (size_t i = 0; i < pileEntries.size(); ++i)
                if (pileEntries[i].group == c.pileA) s.insert(static_cast<int>(i));
        }
        if (onlyEmpty) provenNotAllEmpty.push_back(s);
    }
    for (size_t e = 0; e < events.size(); ++e) {
        const EventEntry& ev = events[e];
        const int index = static_cast<int>(e) + 1;
        const auto acts = actionsOf(index);
        if (ev.type == EventAtStart)
            for (const ActionDef& a : acts)
                if (a.kind == ActionFinishGame) Fail(ev.file, ev.line, "event '" + ev.name + "' would finish the game at its start");
        // Which piles click it, and in which state.
        for (size_t i = 0; i < d.piles.size(); ++i) {
            const PileDef& p = d.piles[i];
            for (int kind = 0; kind < 3; ++kind) {
                const uint16_t named = kind == 0 ? p.clickEvent : kind == 1 ? p.emptyClickEvent : p.dropEvent;
                if (named != index) continue;
                if (ev.type != EventPlayerOnly) {
                    Fail(ev.file, ev.line, "event '" + ev.name + "' is run by pile '" + out.pileNames[i] + "' and must be of type player");
                    continue;
                }
                if (kind == 2) continue;
                if (!p.acceptsDrops && !ev.name.empty())
                    Fail(finals[i].file, finals[i].line, "pile '" + out.pileNames[i] + "' is out of play and cannot be clicked");
                std::set<int> known;   // piles known to hold cards when the event runs
                if (kind == 0) known.insert(static_cast<int>(i));
                for (const Condition& c : ev.conditions)
                    if (ImpliesNotEmpty(c.expr)) {
                        Line l{c.file, c.line, {}, {}};
                        const auto a = Piles(c.pileA, l);
                        known.insert(a.begin(), a.end());
                    }
                std::set<int> movedFrom;
                bool sure = false;
                for (const ActionDef& a : acts) {
                    if (a.kind == ActionFinishGame) sure = true;
                    if (a.kind == ActionSetPileAttribute && a.subKind == PileShuffle && known.count(a.sourcePile)) sure = true;
                    if (a.kind == ActionMoveCards && a.sourcePile != a.destPile) {
                        movedFrom.insert(a.sourcePile);
                        if (known.count(a.sourcePile) && (a.sourceMode == SourceFromPosition ? a.sourcePosition == 0 : a.count > 0) &&
                            a.sourceMode != SourceRange)
                            sure = true;
                    }
                }
                for (const auto& s : provenNotAllEmpty)
                    if (!s.empty() && std::includes(movedFrom.begin(), movedFrom.end(), s.begin(), s.end())) sure = true;
                if (!sure)
                    Fail(ev.file, ev.line, "event '" + ev.name + "' is a " + (kind == 0 ? "click" : "click on the empty pile") +
                                               " of '" + out.pileNames[i] + "', but its conditions do not make sure that its actions change anything");
            }
        }
        // Closing a pile must also close its drop rule, so that hints never
        // offer a drop on a pile out of play.
        for (const ActionDef& a : acts)
            if (a.kind == ActionSetPileAttribute && a.subKind == PileAcceptsDrops && a.value == 0) {
                const bool closesRule = std::any_of(acts.begin(), acts.end(), [&](const ActionDef& b) {
                    return b.kind == ActionSetPileAttribute && b.subKind == PileDropProgram && b.sourcePile == a.sourcePile &&
                           programNames[b.value] == "never";
                });
                if (!closesRule)
                    Fail(ev.file, ev.line, "event '" + ev.name + "' closes pile '" + out.pileNames[a.sourcePile] +
                                               "' but leaves its drop rule open (add: set-drop " + out.pileNames[a.sourcePile] + " never)");
            }
    }
    for (size_t i = 0; i < d.piles.size(); ++i) {
        const PileDef& p = d.piles[i];
        if (p.acceptsDrops || programNames[p.dropProgram] == "never") continue;
        const bool linked = std::any_of(d.links.begin(), d.links.end(), [&](const MoveLink& m) {
            return m.destPile == i || m.destPile == kAnyPile;
        });
        if (linked)
            Fail(finals[i].file, finals[i].line,
                 "pile '" + out.pileNames[i] + "' is out of play but its drop rule and links still accept cards");
    }
}

void GameCompiler::CheckLayout(const CompiledGame& out, const std::vector<PileOpts>& finals) {
    const int cw = GridCardSizeFor(dense).width, ch = GridCardSizeFor(dense).height;
    struct Rect { int l, t, r, b; };
    std::vector<Rect> rects;
    const GameDefinitionData& d = out.def;
    for (size_t i = 0; i < d.piles.size(); ++i) {
        const PileDef& p = d.piles[i];
        const PileOpts& o = finals[i];
        // The stored place is the first card's centre on the 160-unit
        // reference, whatever the anchor.
        const int left = p.x - cw / 2, top = p.y - ch / 2;
        Rect r{left, top, left + cw, top + ch};
        const int extent = o.fanMax.value_or(-1);
        switch (p.fan) {
        case FanRight: r.r = extent >= 0 ? r.r + extent : kLayoutReference; break;
        case FanLeft: r.l = extent >= 0 ? r.l - extent : 0; break;
        case FanDown: r.b = extent >= 0 ? r.b + extent : kLayoutReference; break;
        case FanUp: r.t = extent >= 0 ? r.t - extent : 0; break;
        default: break;
        }
        if (r.l < 0 || r.t < 0 || r.r > kLayoutReference || r.b > kLayoutReference) {
            Fail(o.file, o.line, "pile '" + out.pileNames[i] + "' lies outside the " + std::to_string(kLayoutReference) + " x " +
                                 std::to_string(kLayoutReference) + " layout (" + std::to_string(r.l) + "," +
                                 std::to_string(r.t) + " to " + std::to_string(r.r) + "," + std::to_string(r.b) + ")");
        }
        if (p.acceptsDrops) {
            for (size_t k = 0; k < rects.size(); ++k) {
                const Rect& q = rects[k];
                // A pile may lie over part of a pile whose cards it covers
                // by the game's own rules (the rows of a pyramid), when it
                // is drawn in a higher layer (the order within one layer is
                // not fixed).
                const bool covers =
                    (PileCovers(d, static_cast<uint16_t>(i), static_cast<uint16_t>(k)) && d.piles[i].drawOrder > d.piles[k].drawOrder) ||
                    (PileCovers(d, static_cast<uint16_t>(k), static_cast<uint16_t>(i)) && d.piles[k].drawOrder > d.piles[i].drawOrder);
                if (d.piles[k].acceptsDrops && r.l < q.r && q.l < r.r && r.t < q.b && q.t < r.b && !covers)
                    Fail(o.file, o.line, "pile '" + out.pileNames[i] + "' overlaps pile '" + out.pileNames[k] + "'");
            }
        }
        rects.push_back(r);
    }
}

}  // namespace corvelle::gamec
