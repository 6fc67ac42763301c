#include "tools/cli/cli_games.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "engine/game_engine.h"
#include "engine/player_move.h"
#include "engine/resources.h"
#include "tools/gamec/source.h"
#include "tools/play/play.h"
#include "writer/assembler.h"

namespace corvelle::cli {
namespace {

using gamec::GameEntry;

const char* const kEventTypes[] = {"auto", "repeat", "player", "start"};

struct LoadedGame {
    GameEntry entry;
    std::vector<uint8_t> record;
};

std::vector<GameEntry> ReadIndex(const std::string& db) {
    std::ifstream in(db + "/library.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return gamec::ParseLibraryIndex(ss.str());
}

// The record of database position `position`.
bool InflateRecord(int position, std::vector<uint8_t>& out) {
    uint32_t length = 0;
    uint8_t* record = InflateGameRecord(static_cast<uint16_t>(position), &length);
    if (!record) {
        std::fprintf(stderr, "corvelle-cli: the record of position %d does not inflate\n", position);
        return false;
    }
    out.assign(record, record + length);
    std::free(record);
    return true;
}

// GAME is a database position or a name (or the game file's key).
bool FindGame(const std::string& db, const std::string& game, LoadedGame& out) {
    const int count = GetGameCount();
    long position = -1;
    if (game.empty() || game[0] == '-' || !gamec::ParseInteger(game, 0, 65535, position)) position = -1;
    const std::vector<GameEntry> index = ReadIndex(db);
    for (const GameEntry& g : index)
        if (g.name == game || g.key == game) position = g.position;
    if (position < 0 || position >= count) {
        std::fprintf(stderr, "corvelle-cli: no game '%s'\n", game.c_str());
        return false;
    }
    if (!InflateRecord(position, out.record)) return false;
    out.entry = GameEntry{};
    out.entry.position = static_cast<int>(position);
    for (const GameEntry& g : index)
        if (g.position == position) out.entry = g;
    return true;
}

bool Load(CGameEngine& e, const LoadedGame& g) {
    if (!e.LoadGameDefinition(g.record.data(), g.record.size())) {
        std::fprintf(stderr, "corvelle-cli: the engine refuses the record\n");
        return false;
    }
    return true;
}

std::string PileName(const LoadedGame& g, size_t pile) {
    return pile < g.entry.pileNames.size() ? g.entry.pileNames[pile] : "pile" + std::to_string(pile);
}

void PrintLayout(const CGameEngine& e, const LoadedGame& g) {
    for (uint16_t p = 0; p < e.GetPileCount(); ++p) {
        std::printf("%u %s:", p, PileName(g, p).c_str());
        for (int k = 0; k < e.pileStates[p].count; ++k) {
            const uint16_t c = e.CardAt(p, k);
            std::printf(" %s%c%c", e.cardStates[c].faceUp ? "" : "#", RankLetter(e.cards[c].rank), SuitLetter(e.cards[c].suit));
        }
        std::printf("\n");
    }
}

// A whole decimal number within min..max: digits only, no sign, no wrap.
bool Number(const std::string& s, uint32_t min, uint32_t max, uint32_t& v) {
    if (s.empty() || s[0] == '-') return false;
    long x = 0;
    if (!gamec::ParseInteger(s, min, max, x)) return false;
    v = static_cast<uint32_t>(x);
    return true;
}

// An option's value: a whole number within min..max, else a usage error.
bool OptionNumber(const std::string& option, const std::string& value, uint32_t min, uint32_t max, uint32_t& v) {
    if (Number(value, min, max, v)) return true;
    std::fprintf(stderr, "corvelle-cli: %s takes a number %u..%u, not '%s'\n", option.c_str(), min, max, value.c_str());
    return false;
}

int Usage(const char* what) {
    std::fprintf(stderr, "usage: corvelle-cli %s\n", what);
    return 2;
}

bool Begin(const std::string& db, const std::vector<std::string>& args, size_t need, const char* usage,
           LoadedGame& g, CGameEngine& e) {
    if (args.size() < need) {
        Usage(usage);
        return false;
    }
    if (!FindGame(db, args[0], g) || !Load(e, g)) return false;
    if (need >= 2) {
        uint32_t number = 0;
        if (!Number(args[1], 1, 4294967295u, number)) {
            std::fprintf(stderr, "corvelle-cli: the game number is 1..4294967295\n");
            return false;
        }
        StartGame(e, number);
    }
    return true;
}

}  // namespace

const char* GameCommandsHelp() {
    return "  show GAME           the compiled record: header, piles, programs (disassembled), events\n"
           "  deal GAME NUMBER    the layout: one line per pile, 'INDEX NAME: CARDS' bottom to top;\n"
           "                      a card is rank A 2-9 T J Q K and suit C D H S, '#' before a face-down card\n"
           "  play GAME NUMBER    reads steps from standard input, one per line: 'FROM TO [COUNT]'\n"
           "                      (pile indexes; COUNT cards from the top of FROM, default 1) or 'click PILE',\n"
           "                      'undo' takes back one step; prints 'ok' or 'refused: REASON' per line,\n"
           "                      then the layout, 'finished' or 'in play', and 'hints N'\n"
           "  hints GAME NUMBER   the hints of the dealt position, one per line in the format of play\n"
           "  solve GAME NUMBER [--budget N]\n"
           "                      bounded search for a win; prints 'won in N steps (P positions)' and\n"
           "                      the steps in the format of play, or 'no win found (P positions)'\n"
           "  check [GAME] [--soak N] [--deals N] [--solver N|off] [--referee N|off]\n"
           "                      checks every game (or one): 1,000 deals with the invariants, a win\n"
           "                      within its game numbers (replayed as play plays it, from a fresh\n"
           "                      deal), random play with undo, fc-solve where set;\n"
           "                      prints 'GAME: ok' or 'GAME: FAILED' with the reasons\n"
           "GAME is a database position, a game's name or its file name.\n";
}

int ShowCommand(const std::string& db, const std::vector<std::string>& args) {
    LoadedGame g;
    CGameEngine e;
    if (!Begin(db, args, 1, "show GAME", g, e)) return 1;
    std::printf("name %s\nid %u\ncategory %s\ndifficulty %u\ntime %u\ndense %u\ncards %u\n", e.name, e.id,
                kCategoryNames[e.category], e.skill, e.timeClass, e.denseGrid, e.GetCardCount());
    for (uint32_t c : e.extraCategories) std::printf("also-category %s\n", kCategoryNames[c]);
    for (uint16_t p = 0; p < e.GetPileCount(); ++p) {
        const PileDef& d = e.piles[p];
        std::printf("pile %u %s: x %d y %d anchors %u %u fan %u extent %u base %u mark %u deal %u %s accepts %u pick %u drop %u "
                    "click %u empty-click %u on-drop %u manual %u enabled %u group %u\n",
                    p, PileName(g, p).c_str(), d.x, d.y, d.xAnchor, d.yAnchor, d.fan, d.fanExtent, d.baseKind,
                    d.attribute, d.dealCount, d.dealFaceUp ? "up" : "down", d.acceptsDrops, d.pickupProgram, d.dropProgram,
                    d.clickEvent, d.emptyClickEvent, d.dropEvent, d.manualExposure, d.enabled, d.cardGroup);
    }
    for (const MoveLink& l : e.links)
        std::printf("link %s -> %s\n", l.sourcePile == kAnyPile ? "any" : PileName(g, l.sourcePile).c_str(),
                    l.destPile == kAnyPile ? "any" : PileName(g, l.destPile).c_str());
    for (const CardPlacement& p : e.placements) std::printf("place card %u on %s at %u\n", p.card, PileName(g, p.pile).c_str(), p.position);
    for (const PilePosition& p : e.flips) std::printf("flip %s %d\n", PileName(g, p.pile).c_str(), p.position);
    for (const PilePosition& p : e.locks) std::printf("lock %s %d\n", PileName(g, p.pile).c_str(), p.position);
    for (uint16_t i = 0; i < e.GetProgramCount(); ++i) {
        std::printf("program %u:\n", i);
        std::istringstream text(DisassembleRuleProgram(e.programs[i].GetCode().data(), e.programs[i].GetCode().size() - 1));
        for (std::string line; std::getline(text, line);) std::printf("    %s\n", line.c_str());
    }
    for (uint16_t ev = 0; ev < e.GetEventCount(); ++ev) {
        std::printf("event %u %s\n", ev, kEventTypes[e.eventTypes[ev] & 3]);
        for (const EventCondition& ec : e.eventConditions)
            if (ec.event == ev) {
                const RuleCondition& c = e.conditions[ec.condition];
                std::printf("    if program %u on %s", c.program, PileName(g, c.pileA).c_str());
                if (c.pileB != kNone) std::printf(" vs %s", PileName(g, c.pileB).c_str());
                std::printf("\n");
            }
        for (const EventCounter& ec : e.eventCounters)
            if (ec.event == ev) std::printf("    uses counter %u\n", ec.counter);
        for (const EventAction& ea : e.eventActions)
            if (ea.event == ev) {
                const ActionDef& a = e.actions[ea.action];
                std::printf("    action %u: kind %u source %u mode %u position %d count %u dest %u mode %u sub %u value %u\n",
                            ea.action, a.kind, a.sourcePile, a.sourceMode, a.sourcePosition, a.count, a.destPile,
                            a.destMode, a.subKind, a.value);
            }
    }
    for (uint16_t i = 0; i < e.GetCounterCount(); ++i)
        std::printf("counter %u: initial %u then event %u\n", i, e.counterDefs[i].initialValue, e.counterDefs[i].exhaustedEvent);
    return 0;
}

int DealCommand(const std::string& db, const std::vector<std::string>& args) {
    LoadedGame g;
    CGameEngine e;
    if (!Begin(db, args, 2, "deal GAME NUMBER", g, e)) return 1;
    PrintLayout(e, g);
    return 0;
}

int PlayCommand(const std::string& db, const std::vector<std::string>& args) {
    LoadedGame g;
    CGameEngine e;
    if (!Begin(db, args, 2, "play GAME NUMBER < STEPS", g, e)) return 1;
    for (std::string line; std::getline(std::cin, line);) {
        if (line.find('\0') != std::string::npos) {
            std::printf("refused: a NUL byte in the step\n");
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string x; words >> x;) w.push_back(x);
        if (w.empty() || w[0][0] == '#') continue;
        if (w[0] == "undo" && w.size() == 1) {
            std::printf(UndoStep(e) ? "ok\n" : "refused: nothing to undo\n");
            continue;
        }
        gamec::Step step;
        std::string reason;
        if (!gamec::ParseStep(line, step)) {
            std::printf("refused: cannot read '%s'\n", line.c_str());
            continue;
        }
        if (step.from >= e.GetPileCount() || (!step.click && step.to >= e.GetPileCount())) {
            std::printf("refused: no such pile\n");
            continue;
        }
        if (gamec::ApplyStep(e, step, &reason)) std::printf("ok\n");
        else std::printf("refused: %s\n", reason.c_str());
    }
    PrintLayout(e, g);
    std::printf("%s\nhints %zu\n", e.finished ? "finished" : "in play", gamec::ListHints(e).size());
    return 0;
}

int HintsCommand(const std::string& db, const std::vector<std::string>& args) {
    LoadedGame g;
    CGameEngine e;
    if (!Begin(db, args, 2, "hints GAME NUMBER", g, e)) return 1;
    for (const gamec::Step& s : gamec::ListHints(e)) std::printf("%s\n", s.ToString().c_str());
    return 0;
}

int SolveCommand(const std::string& db, const std::vector<std::string>& args) {
    LoadedGame g;
    CGameEngine e;
    if (!Begin(db, args, 2, "solve GAME NUMBER [--budget N]", g, e)) return 1;
    long budget = g.entry.budget;
    uint32_t asked = 0;
    if (args.size() == 4 && args[2] == "--budget") {
        if (!OptionNumber("--budget", args[3], 1, 1000000000, asked)) return 2;
        budget = asked;
    } else if (args.size() != 2) {
        return Usage("solve GAME NUMBER [--budget N]");
    }
    const gamec::SearchResult r = gamec::SearchForWin(e, g.entry.pileNames, budget);
    if (!r.won) {
        std::printf("no win found (%ld positions)\n", r.nodes);
        return 0;
    }
    std::printf("won in %zu steps (%ld positions)\n", r.steps.size(), r.nodes);
    for (const gamec::Step& s : r.steps) std::printf("%s\n", s.ToString().c_str());
    return 0;
}

int CheckCommand(const std::string& db, const std::vector<std::string>& args) {
    gamec::CheckOptions options;
    std::string only;
    for (size_t i = 0; i < args.size(); ++i) {
        uint32_t v = 0;
        if (args[i] == "--soak" && i + 1 < args.size()) {
            if (!OptionNumber("--soak", args[++i], 0, 10000000, v)) return 2;
            options.soakSteps = static_cast<int>(v);
        } else if (args[i] == "--deals" && i + 1 < args.size()) {
            if (!OptionNumber("--deals", args[++i], 1, 1000000, v)) return 2;
            options.dealNumbers = static_cast<int>(v);
        } else if (args[i] == "--solver" && i + 1 < args.size()) {
            if (args[i + 1] == "off") {
                options.runSolver = false;
                ++i;
            } else {
                if (!OptionNumber("--solver", args[++i], 0, 100000, v)) return 2;
                options.solverNumbers = static_cast<int>(v);
            }
        } else if (args[i] == "--referee" && i + 1 < args.size()) {
            if (args[++i] == "off") {
                options.refereeNumbers = 0;
            } else {
                if (!OptionNumber("--referee", args[i], 1, 1000, v)) return 2;
                options.refereeNumbers = static_cast<int>(v);
            }
        } else if (only.empty() && args[i].compare(0, 2, "--") != 0) {
            only = args[i];
        } else {
            return Usage("check [GAME] [--soak N] [--deals N] [--solver N|off] [--referee N|off]");
        }
    }
    std::vector<GameEntry> games = ReadIndex(db);
    if (games.empty() || static_cast<int>(games.size()) != GetGameCount()) {
        std::fprintf(stderr, "corvelle-cli: the database and its library.txt do not agree\n");
        return 1;
    }
    int failed = 0, checked = 0;
    for (const GameEntry& entry : games) {
        if (!only.empty() && only != entry.name && only != entry.key && only != std::to_string(entry.position)) continue;
        std::vector<uint8_t> record;
        if (!InflateRecord(entry.position, record)) return 1;
        std::vector<std::string> log;
        const std::vector<std::string> failures = gamec::CheckGame(entry, record.data(), record.size(), options, log);
        ++checked;
        std::printf("%s: %s\n", entry.name.c_str(), failures.empty() ? "ok" : "FAILED");
        for (const std::string& l : log) std::printf("    %s\n", l.c_str());
        for (const std::string& f : failures) std::printf("    failure: %s\n", f.c_str());
        failed += !failures.empty();
        std::fflush(stdout);
    }
    if (!checked) {
        std::fprintf(stderr, "corvelle-cli: no game '%s'\n", only.c_str());
        return 1;
    }
    return failed ? 1 : 0;
}

}  // namespace corvelle::cli
