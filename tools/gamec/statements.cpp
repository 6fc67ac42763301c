// Reading a game's statements: one handler per keyword, the pile options,
// the lines of an event and its actions.
#include <algorithm>
#include <cctype>
#include <sstream>

#include "engine/game_engine.h"
#include "tools/gamec/game_compiler.h"
#include "tools/referee/rules_model.h"

namespace corvelle::gamec {
namespace {

const char* const kCategoryWords[] = {"other", "addition", "canfield", "castle", "fan", "forty-thieves",
                                      "freecell", "klondike", "spider", "terrace", "yukon"};

bool IsSolverWord(const std::string& word) {
    return !word.empty() && word.size() <= 40 && std::isalpha(static_cast<unsigned char>(word[0])) &&
           std::all_of(word.begin(), word.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '_' || c == '-'; });
}

}  // namespace

bool IsName(const std::string& name) {
    return !name.empty() && std::isalpha(static_cast<unsigned char>(name[0])) &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
           });
}

bool CheckSolverOptions(const std::vector<std::string>& options, std::string& error) {
    const char* const usage =
        "'solver' takes Freecell Solver's -g GAME, -l PRESET, --max-iters N (N 1..100000000) and "
        "--empty-stacks-filled-by kings|none|all, or none";
    if (options.empty()) {
        error = usage;
        return false;
    }
    for (size_t i = 0; i < options.size(); i += 2) {
        long iterations = 0;
        const bool known = i + 1 < options.size() &&
                           (((options[i] == "-g" || options[i] == "-l") && IsSolverWord(options[i + 1])) ||
                            (options[i] == "--max-iters" && ParseInteger(options[i + 1], 1, 100000000, iterations)) ||
                            (options[i] == "--empty-stacks-filled-by" &&
                             (options[i + 1] == "kings" || options[i + 1] == "none" || options[i + 1] == "all")));
        if (!known) {
            error = usage;
            return false;
        }
    }
    return true;
}

const std::map<std::string, GameCompiler::StatementHandler>& GameCompiler::Statements() {
    static const std::map<std::string, StatementHandler> handlers = {
        {"game", &GameCompiler::GameStatement},
        {"family", &GameCompiler::FamilyStatement},
        {"id", &GameCompiler::IdStatement},
        {"category", &GameCompiler::CategoryStatement},
        {"also-category", &GameCompiler::CategoryStatement},
        {"difficulty", &GameCompiler::DifficultyStatement},
        {"time", &GameCompiler::TimeStatement},
        {"related", &GameCompiler::RelatedStatement},
        {"dense-grid", &GameCompiler::DenseGridStatement},
        {"winnable", &GameCompiler::WinnableStatement},
        {"solver", &GameCompiler::SolverStatement},
        {"solver-layout", &GameCompiler::SolverLayoutStatement},
        {"referee", &GameCompiler::RefereeStatement},
        {"rules", &GameCompiler::RulesStatement},
        {"deck", &GameCompiler::DeckStatement},
        {"decks", &GameCompiler::DecksStatement},
        {"pile", &GameCompiler::PileStatement},
        {"piles", &GameCompiler::PilesStatement},
        {"remove", &GameCompiler::RemoveStatement},
        {"link", &GameCompiler::LinkStatement},
        {"counter", &GameCompiler::CounterStatement},
        {"event", &GameCompiler::EventStatement},
        {"end", &GameCompiler::EndStatement},
    };
    return handlers;
}

void GameCompiler::Statement(const Line& statement) {
    if (openEvent) {
        EventLine(statement);
        return;
    }
    const auto it = Statements().find(statement.tok[0]);
    if (it == Statements().end()) Fail(statement, "unknown statement '" + statement.tok[0] + "'");
    else (this->*it->second)(statement);
}

bool GameCompiler::TakesValues(const Line& statement, size_t count) {
    if (statement.tok.size() == count + 1) return true;
    return Fail(statement, "'" + statement.tok[0] + "' takes " + std::to_string(count) + " value(s)");
}

bool GameCompiler::Number(const Line& statement, const std::string& word, long min, long max, const std::string& what,
                          long& value) {
    if (ParseInteger(word, min, max, value)) return true;
    const std::string shown = word.size() <= 24 ? word : word.substr(0, 21) + "...";
    return Fail(statement, what + " is a number " + std::to_string(min) + ".." + std::to_string(max) + ", not '" + shown + "'");
}

bool GameCompiler::Number(const Line& statement, const std::string& word, long min, long max, const std::string& what,
                          int& value) {
    long v = 0;
    if (!Number(statement, word, min, max, what, v)) return false;
    value = static_cast<int>(v);
    return true;
}

bool GameCompiler::CheckName(const Line& statement, const std::string& name) {
    if (IsName(name)) return true;
    return Fail(statement, "'" + (name.size() <= 24 ? name : name.substr(0, 21) + "...") +
                               "' is no name: a name is a letter, then letters, digits, '-' or '_'");
}

void GameCompiler::GameStatement(const Line& statement) {
    if (!TakesValues(statement, 1)) return;
    gameName = statement.tok[1];
    headerLine = statement.line;
    for (char c : gameName)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            Fail(statement, "a game's name holds no tab or other control character");
            return;
        }
}

void GameCompiler::FamilyStatement(const Line&) {
    // a family alone is not a game
}

void GameCompiler::IdStatement(const Line& statement) {
    long id = 0;
    if (TakesValues(statement, 1) && ParseInteger(statement.tok[1], 0, kMaxGames - 1, id)) {
        gameId = static_cast<int>(id);
        idLine = statement.line;
    } else {
        Fail(statement, "id is a number 0..799");
    }
}

void GameCompiler::CategoryStatement(const Line& statement) {
    if (!TakesValues(statement, 1)) return;
    const std::string& word = statement.tok[1];
    int category = -1;
    for (int k = 0; k < kCategoryCount; ++k)
        if (Lower(word) == kCategoryWords[k]) category = k;
    if (category < 0) {
        Fail(statement, "unknown category '" + word + "'");
        return;
    }
    if (statement.tok[0] == "category") gameCategory = category;
    else extraCategories.push_back(static_cast<uint8_t>(category));
}

void GameCompiler::DifficultyStatement(const Line& statement) {
    if (!TakesValues(statement, 1)) return;
    const int skill = WordIndex(statement.tok[1], {"easy", "medium", "hard"});
    if (skill >= 0) gameSkill = skill;
    else Fail(statement, "difficulty is easy, medium or hard");
}

void GameCompiler::TimeStatement(const Line& statement) {
    if (!TakesValues(statement, 1)) return;
    const int timeClass = WordIndex(statement.tok[1], {"<3m", "3-5m", "5-10m", ">10m"});
    if (timeClass >= 0) gameTime = timeClass;
    else Fail(statement, "time is <3m, 3-5m, 5-10m or >10m");
}

void GameCompiler::RelatedStatement(const Line& statement) {
    related.insert(related.end(), statement.tok.begin() + 1, statement.tok.end());
}

void GameCompiler::DenseGridStatement(const Line&) {
    dense = true;
}

void GameCompiler::WinnableStatement(const Line& statement) {
    // winnable within [FIRST..]N [budget M]
    const auto& words = statement.tok;
    const std::string usage = "'winnable' reads: winnable within [FIRST..]N [budget NODES], game numbers 1.." +
                              std::to_string(kMaxWinNumber) + ", NODES 1.." + std::to_string(kMaxSearchBudget);
    const size_t dots = words.size() >= 3 ? words[2].find("..") : std::string::npos;
    long first = 1, last = 0, budget = 0;
    if (words.size() < 3 || words[1] != "within" ||
        (dots != std::string::npos && (!ParseInteger(words[2].substr(0, dots), 1, kMaxWinNumber, first) ||
                                       !ParseInteger(words[2].substr(dots + 2), 1, kMaxWinNumber, last))) ||
        (dots == std::string::npos && !ParseInteger(words[2], 1, kMaxWinNumber, last)) || last < first) {
        Fail(statement, usage);
        return;
    }
    winFirst = static_cast<int>(first);
    winRange = static_cast<int>(last);
    if (words.size() == 5 && words[3] == "budget" && ParseInteger(words[4], 1, kMaxSearchBudget, budget)) searchBudget = static_cast<int>(budget);
    else if (words.size() != 3) Fail(statement, usage);
}

void GameCompiler::SolverStatement(const Line& statement) {
    const auto& words = statement.tok;
    solver.clear();
    if (words.size() == 2 && words[1] == "none") return;
    const std::vector<std::string> options(words.begin() + 1, words.end());
    std::string error;
    if (!CheckSolverOptions(options, error)) {
        Fail(statement, error);
        return;
    }
    for (size_t i = 1; i < words.size(); ++i) solver += (i > 1 ? " " : "") + words[i];
}

void GameCompiler::SolverLayoutStatement(const Line& statement) {
    if (!TakesValues(statement, 1)) return;
    // tableau=GROUP;cells=GROUP;foundations=GROUP, each part optional
    std::stringstream parts(statement.tok[1]);
    for (std::string part; std::getline(parts, part, ';');) {
        const size_t eq = part.find('=');
        const std::string key = part.substr(0, eq);
        if (eq == std::string::npos || WordIndex(key, {"tableau", "cells", "foundations"}) < 0 ||
            !IsName(part.substr(eq + 1))) {
            Fail(statement, "'solver-layout' reads: solver-layout tableau=GROUP;cells=GROUP;foundations=GROUP");
            return;
        }
    }
    solverLayout = statement.tok[1];
}

void GameCompiler::RefereeStatement(const Line& statement) {
    if (statement.tok.size() == 2 && statement.tok[1] == "none") {
        refereeName.clear();
        return;
    }
    std::string line, error;
    for (size_t i = 1; i < statement.tok.size(); ++i) line += (i > 1 ? " " : "") + statement.tok[i];
    referee::Rules rules;
    if (statement.tok.size() < 2) {
        Fail(statement, "'referee' reads: referee RULES [NAME=VALUE...] or referee none");
    } else if (!referee::ParseRules(line, rules, error)) {
        Fail(statement, "'referee': " + error);
    } else {
        refereeName = line;
        refereeLine = statement;
    }
}

void GameCompiler::RulesStatement(const Line& statement) {
    rulesText = statement.text;
    rulesLine = statement.line;
}

void GameCompiler::DeckStatement(const Line& statement) {
    // deck [N] [suits CSDH] [cards G]
    const auto& words = statement.tok;
    const char* const usage = "'deck' reads: deck [N] [suits LETTERS] [cards GROUP]";
    long copies = 1, group = 0;
    std::string suits = "CSDH";
    size_t i = 1;
    if (i < words.size() && words[i] != "suits" && words[i] != "cards") {
        if (!ParseInteger(words[i], 1, 16, copies)) { Fail(statement, "a deck is repeated 1 to 16 times"); return; }
        ++i;
    }
    for (; i < words.size(); i += 2) {
        if (i + 1 >= words.size()) { Fail(statement, usage); return; }
        if (words[i] == "suits") suits = words[i + 1];
        else if (words[i] == "cards") { if (!Number(statement, words[i + 1], 0, kMaxCardGroup, "a card group", group)) return; }
        else { Fail(statement, usage); return; }
    }
    if (cardDefs.size() + static_cast<size_t>(copies) * suits.size() * 13 > static_cast<size_t>(kMaxCards)) {
        Fail(statement, "a game has at most " + std::to_string(kMaxCards) + " cards");
        return;
    }
    for (long c = 0; c < copies; ++c)
        for (char letter : suits) {
            const unsigned suit = SuitOfLetter(letter);
            if (!suit) { Fail(statement, std::string("unknown suit letter '") + letter + "'"); return; }
            for (int rank = 1; rank <= 13; ++rank)
                cardDefs.push_back({static_cast<uint16_t>(group), static_cast<uint8_t>(suit), static_cast<uint8_t>(rank)});
        }
}

void GameCompiler::DecksStatement(const Line& statement) {
    // decks clear
    if (statement.tok.size() == 2 && statement.tok[1] == "clear") cardDefs.clear();
    else Fail(statement, "unknown statement 'decks'");
}

void GameCompiler::PileStatement(const Line& statement) {
    const auto& words = statement.tok;
    if (words.size() < 2) { Fail(statement, "'pile' needs a name"); return; }
    const std::string& name = words[1];
    if (!CheckName(statement, name)) return;
    auto it = FindNamed(pileEntries, name);
    if (it == pileEntries.end()) {
        if (groups.count(name)) { Fail(statement, "'" + name + "' is a group of piles; use 'piles'"); return; }
        if (pileEntries.size() >= static_cast<size_t>(kMaxPiles)) { Fail(statement, "a game has at most " + std::to_string(kMaxPiles) + " piles"); return; }
        pileEntries.push_back({name, "", 0, {}});
        it = pileEntries.end() - 1;
    }
    PileOpts options;
    if (PileOptions(statement, 2, options)) Merge(it->own, options);
}

void GameCompiler::PilesStatement(const Line& statement) {
    // piles NAME [COUNT] options: NAME1..NAMECOUNT, members of group NAME
    const auto& words = statement.tok;
    if (words.size() < 2) { Fail(statement, "'piles' needs a name"); return; }
    const std::string& name = words[1];
    if (!CheckName(statement, name)) return;
    size_t i = 2;
    long count = 0;
    auto group = groups.find(name);
    if (i < words.size() && !words[i].empty() && (std::isdigit(static_cast<unsigned char>(words[i][0])) || words[i][0] == '-')) {
        if (!Number(statement, words[i], 1, kMaxGroupSize, "the number of piles in a group", count)) return;
        ++i;
        // Grow or shrink the group in place; new members follow the last one.
        int have = 0, lastIndex = -1;
        for (size_t k = 0; k < pileEntries.size(); ++k)
            if (pileEntries[k].group == name) { ++have; lastIndex = static_cast<int>(k); }
        if (pileEntries.size() - have + count > static_cast<size_t>(kMaxPiles)) {
            Fail(statement, "a game has at most " + std::to_string(kMaxPiles) + " piles");
            return;
        }
        if (group == groups.end()) group = groups.emplace(name, GroupEntry{}).first;
        for (; have > count; --have) {
            pileEntries.erase(pileEntries.begin() + lastIndex);
            --lastIndex;
        }
        for (int k = have; k < count; ++k) {
            const size_t at = lastIndex < 0 ? pileEntries.size() : static_cast<size_t>(lastIndex) + 1;
            pileEntries.insert(pileEntries.begin() + static_cast<long>(at), PileEntry{name + std::to_string(k + 1), name, k, {}});
            lastIndex = static_cast<int>(at);
        }
        group->second.size = static_cast<int>(count);
    } else if (group == groups.end()) {
        Fail(statement, "a new group of piles needs its count: piles NAME COUNT ...");
        return;
    }
    PileOpts options;
    if (PileOptions(statement, i, options)) Merge(group->second.opts, options);
}

void GameCompiler::RemoveStatement(const Line& statement) {
    const auto& words = statement.tok;
    if (words.size() != 3) { Fail(statement, "'remove' reads: remove pile|piles|event|counter|links NAME"); return; }
    const std::string& what = words[1];
    const std::string& name = words[2];
    if (what == "pile") {
        auto it = FindNamed(pileEntries, name);
        if (it == pileEntries.end()) Fail(statement, "no pile named '" + name + "'");
        else if (!it->group.empty())
            Fail(statement, "pile '" + name + "' belongs to group '" + it->group + "': remove the group or give it fewer piles");
        else pileEntries.erase(it);
    } else if (what == "piles") {
        if (!groups.erase(name)) Fail(statement, "no group named '" + name + "'");
        pileEntries.erase(std::remove_if(pileEntries.begin(), pileEntries.end(), [&](const PileEntry& p) { return p.group == name; }), pileEntries.end());
    } else if (what == "event") {
        auto it = FindNamed(events, name);
        if (it == events.end()) Fail(statement, "no event named '" + name + "'"); else events.erase(it);
    } else if (what == "counter") {
        auto it = FindNamed(counters, name);
        if (it == counters.end()) Fail(statement, "no counter named '" + name + "'"); else counters.erase(it);
    } else if (what == "links" && name == "all") {
        links.clear();
        linkLines.clear();
    } else {
        Fail(statement, "'remove' reads: remove pile|piles|event|counter NAME, or remove links all");
    }
}

void GameCompiler::LinkStatement(const Line& statement) {
    const auto& words = statement.tok;
    if (words.size() != 4 || words[2] != "->") { Fail(statement, "'link' reads: link FROM -> TO"); return; }
    if ((words[1] != "any" && !CheckName(statement, words[1])) || (words[3] != "any" && !CheckName(statement, words[3]))) return;
    links.push_back({words[1], words[3]});
    linkLines.push_back(statement);
}

void GameCompiler::CounterStatement(const Line& statement) {
    // counter NAME INITIAL [then EVENT]
    const auto& words = statement.tok;
    long initial = 0;
    if ((words.size() != 3 && words.size() != 5) || !ParseInteger(words[2], 0, 65535, initial) ||
        (words.size() == 5 && words[3] != "then")) {
        Fail(statement, "'counter' reads: counter NAME INITIAL [then EVENT], INITIAL 0..65535");
        return;
    }
    if (!CheckName(statement, words[1])) return;
    CounterEntry counter{words[1], static_cast<int>(initial), words.size() == 5 ? words[4] : "", statement.line, statement.file};
    auto it = FindNamed(counters, words[1]);
    if (it == counters.end() && counters.size() >= static_cast<size_t>(kMaxCounters)) {
        Fail(statement, "a game has at most " + std::to_string(kMaxCounters) + " counters");
        return;
    }
    if (it == counters.end()) counters.push_back(counter); else *it = counter;
}

void GameCompiler::EventStatement(const Line& statement) {
    // event NAME auto|repeat|player|start ... end
    const auto& words = statement.tok;
    const int type = words.size() == 3 ? WordIndex(words[2], {"auto", "repeat", "player", "start"}) : -1;
    if (type < 0) { Fail(statement, "'event' reads: event NAME auto|repeat|player|start"); return; }
    if (words[1] == "none") { Fail(statement, "'none' names no event"); return; }
    if (!CheckName(statement, words[1])) return;
    EventEntry event;
    event.name = words[1];
    event.type = type;
    event.line = statement.line;
    event.file = statement.file;
    auto it = FindNamed(events, words[1]);
    if (it == events.end() && events.size() >= static_cast<size_t>(kMaxEvents)) {
        Fail(statement, "a game has at most " + std::to_string(kMaxEvents) + " events");
        return;
    }
    if (it == events.end()) { events.push_back(event); openEvent = &events.back(); }
    else { *it = event; openEvent = &*it; }
}

void GameCompiler::EndStatement(const Line& statement) {
    Fail(statement, "'end' without an open event");
}

bool GameCompiler::PileOptions(const Line& l, size_t i, PileOpts& o) {
    const auto& t = l.tok;
    o.line = l.line;
    o.file = l.file;
    auto need = [&](size_t n) {
        if (i + n >= t.size()) {
            Fail(l, "'" + t[i] + "' needs " + std::to_string(n) + " value(s)");
            return false;
        }
        return true;
    };
    // Positions, steps and fan lengths are measured in the layout reference.
    const long ref = kLayoutReference;
    auto num = [&](const std::string& s, long min, long max, const char* what, int& v) {
        return Number(l, s, min, max, what, v);
    };
    for (; i < t.size(); ++i) {
        const std::string& w = t[i];
        int v = 0;
        if (w == "at") {
            int xa = 0, ya = 0;
            size_t j = i + 1;
            if (j < t.size() && (xa = WordIndex(t[j], {"left", "prop", "centre", "right"})) >= 0) ++j; else xa = 0;
            if (j >= t.size()) return Fail(l, "'at' reads: at [left|centre|right|prop] X [top|middle|bottom|prop] Y");
            if (!num(t[j], -ref, ref, "a pile position", v)) return false;
            o.xAnchor = xa; o.x = v; ++j;
            if (j < t.size() && (ya = WordIndex(t[j], {"top", "prop", "middle", "bottom"})) >= 0) ++j; else ya = 0;
            if (j >= t.size()) return Fail(l, "'at' reads: at [left|centre|right|prop] X [top|middle|bottom|prop] Y");
            if (!num(t[j], -ref, ref, "a pile position", v)) return false;
            o.yAnchor = ya; o.y = v;
            i = j;
        } else if (w == "step") {
            if (!need(2) || !num(t[i + 1], -ref, ref, "a step between piles", v)) return false;
            o.dx = v;
            if (!num(t[i + 2], -ref, ref, "a step between piles", v)) return false;
            o.dy = v;
            i += 2;
        } else if (w == "fan") {
            if (!need(1)) return false;
            static constexpr FanKind kFans[] = {FanNone, FanRight, FanLeft, FanDown, FanUp};
            const int f = WordIndex(t[i + 1], {"none", "right", "left", "down", "up"});
            if (f < 0) return Fail(l, "fan is none, right, left, down or up");
            o.fan = kFans[f];
            ++i;
            if (i + 1 < t.size() && t[i + 1] == "max") {
                if (!need(2) || !num(t[i + 2], 0, ref, "a fan's length", v)) return false;
                o.fanMax = v;
                i += 2;
            }
        } else if (w == "deal") {
            if (!need(1)) return false;
            const std::string& d = t[i + 1];
            std::vector<long> counts;
            long a = 0, b = 0;
            const size_t dots = d.find("..");
            if (d == "rest") {
                o.dealRest = true;
                counts = {0};
            } else if (dots != std::string::npos) {
                if (!Number(l, d.substr(0, dots), 0, kMaxCards, "a deal count", a) ||
                    !Number(l, d.substr(dots + 2), 0, kMaxCards, "a deal count", b))
                    return false;
                if (a > b || b - a >= kMaxGroupSize)
                    return Fail(l, "a deal range FIRST..LAST gives one count per pile of a group: 1 to " +
                                       std::to_string(kMaxGroupSize) + " counts, rising");
                for (long k = a; k <= b; ++k) counts.push_back(k);
                o.dealRest = false;
            } else {
                std::stringstream ss(d);
                for (std::string part; std::getline(ss, part, ',');) {
                    if (!ParseInteger(part, 0, kMaxCards, a))
                        return Fail(l, "'deal' takes N, FIRST..LAST, N,N,... or rest, each count 0.." + std::to_string(kMaxCards));
                    if (counts.size() == static_cast<size_t>(kMaxGroupSize))
                        return Fail(l, "a deal list gives at most " + std::to_string(kMaxGroupSize) + " counts");
                    counts.push_back(a);
                }
                if (counts.empty()) return Fail(l, "'deal' takes N, FIRST..LAST, N,N,... or rest");
                o.dealRest = false;
            }
            o.deal = counts;
            ++i;
            if (i + 1 < t.size() && (t[i + 1] == "up" || t[i + 1] == "down")) {
                o.faceUp = t[i + 1] == "up";
                ++i;
            }
        } else if (w == "top-up" || w == "mark" || w == "layer" || w == "cards") {
            if (!need(1)) return false;
            const bool read = w == "top-up" ? num(t[i + 1], 0, kMaxCards, "a top-up count", v)
                            : w == "mark"   ? num(t[i + 1], 0, 65535, "a mark", v)
                            : w == "layer"  ? num(t[i + 1], 0, 255, "a layer", v)
                                            : num(t[i + 1], 0, kMaxCardGroup, "a card group", v);
            if (!read) return false;
            auto& field = w == "top-up" ? o.topUp : w == "mark" ? o.attribute : w == "layer" ? o.layer : o.cardGroup;
            field = v;
            ++i;
        } else if (w == "base") {
            if (!need(1)) return false;
            const int b = WordIndex(t[i + 1], {"plain", "none", "marked", "picture"});
            if (b < 0) return Fail(l, "base is plain, none, marked or picture");
            o.base = b;
            ++i;
        } else if (w == "drop" || w == "pick" || w == "click" || w == "empty-click" || w == "on-drop") {
            if (!need(1)) return false;
            auto& field = w == "drop" ? o.drop : w == "pick" ? o.pick : w == "click" ? o.click
                        : w == "empty-click" ? o.emptyClick : o.onDrop;
            field = t[i + 1];
            ++i;
        } else if (w == "manual-exposure") {
            o.manual = 1;
        } else if (w == "disabled") {
            o.enabled = 0;
        } else if (w == "out-of-play") {
            o.acceptsDrops = 0;
        } else if (w == "in-play") {
            o.acceptsDrops = 1;
        } else if (w == "lock-all") {
            o.lockAll = true;
        } else if (w == "place") {
            if (!need(1)) return false;
            std::vector<std::string> cards;
            std::stringstream ss(t[i + 1]);
            for (std::string part; std::getline(ss, part, ',');) cards.push_back(part);
            o.place = cards;
            ++i;
        } else {
            return Fail(l, "unknown pile option '" + w + "'");
        }
    }
    return true;
}

void GameCompiler::EventLine(const Line& l) {
    const auto& t = l.tok;
    if (t[0] == "end") {
        openEvent = nullptr;
    } else if (t[0] == "if") {
        // if EXPR on PILE [vs PILE]
        if (!((t.size() == 4 && t[2] == "on") || (t.size() == 6 && t[2] == "on" && t[4] == "vs"))) {
            Fail(l, "a condition reads: if RULE on PILE [vs PILE]");
            return;
        }
        openEvent->conditions.push_back({t[1], t[3], t.size() == 6 ? t[5] : "", l.line, l.file});
    } else if (t[0] == "uses") {
        if (t.size() != 2) Fail(l, "'uses' names one counter");
        else openEvent->counter = t[1];
    } else {
        openEvent->actions.push_back(l);
    }
}

bool GameCompiler::Action(const Line& l, std::vector<ActionDef>& out) {
    const auto& t = l.tok;
    const std::string& w = t[0];
    auto range = [&](const std::string& n, ActionDef& a) {
        long k = 0;
        if (n == "all") { a.sourceMode = SourceFromPosition; a.sourcePosition = 0; a.count = 0; return true; }
        if (!ParseInteger(n, 1, 1000, k)) return Fail(l, "a number of cards is 1..1000 or 'all'");
        a.sourceMode = SourceFromTop; a.sourcePosition = 0; a.count = static_cast<uint16_t>(k);
        return true;
    };
    if (w == "move") {
        // move N|all from P to Q [bottom]
        if (!((t.size() == 6 || (t.size() == 7 && t[6] == "bottom")) && t[2] == "from" && t[4] == "to"))
            return Fail(l, "'move' reads: move N|all from PILE to PILE [bottom]");
        ActionDef a{};
        a.kind = ActionMoveCards;
        if (!range(t[1], a)) return false;
        a.destMode = t.size() == 7 ? DestAtPosition : DestFromTop;
        const auto from = Piles(t[3], l), to = Piles(t[5], l);
        if (from.empty() || to.empty()) return false;
        if (from.size() > 1 && to.size() > 1 && from.size() != to.size())
            return Fail(l, "moving between two groups needs groups of the same size");
        const size_t n = std::max(from.size(), to.size());
        for (size_t k = 0; k < n; ++k) {
            a.sourcePile = static_cast<uint16_t>(from[from.size() > 1 ? k : 0]);
            a.destPile = static_cast<uint16_t>(to[to.size() > 1 ? k : 0]);
            if (a.sourcePile == a.destPile) return Fail(l, "a move needs two different piles");
            out.push_back(a);
        }
        return true;
    }
    if (w == "turn" || w == "lock" || w == "unlock" || w == "expose" || w == "cover") {
        // turn up|down N|all on P;  lock|unlock|expose|cover N|all on P
        const size_t base = w == "turn" ? 2 : 1;
        if (t.size() != base + 3 || t[base + 1] != "on" || (w == "turn" && t[1] != "up" && t[1] != "down"))
            return Fail(l, w == "turn" ? "'turn' reads: turn up|down N|all on PILE" : "'" + w + "' reads: " + w + " N|all on PILE");
        ActionDef a{};
        a.kind = ActionSetCardAttribute;
        if (!range(t[base], a)) return false;
        if (w == "turn") { a.subKind = CardFaceUp; a.value = t[1] == "up"; }
        else if (w == "lock" || w == "unlock") { a.subKind = CardMovable; a.value = w == "unlock"; }
        else { a.subKind = CardExposed; a.value = w == "expose"; }
        for (int p : Piles(t[base + 2], l)) { a.sourcePile = static_cast<uint16_t>(p); out.push_back(a); }
        return true;
    }
    if (w == "reverse" || w == "shuffle" || w == "open" || w == "close" || w == "enable" || w == "disable") {
        if (t.size() != 2) return Fail(l, "'" + w + "' names one pile or group");
        ActionDef a{};
        a.kind = ActionSetPileAttribute;
        a.subKind = w == "reverse" ? PileReverse : w == "shuffle" ? PileShuffle
                  : (w == "open" || w == "close") ? PileAcceptsDrops : PileEnabled;
        a.value = w == "open" || w == "enable";
        for (int p : Piles(t[1], l)) { a.sourcePile = static_cast<uint16_t>(p); out.push_back(a); }
        return true;
    }
    if (w == "set-drop" || w == "set-pick" || w == "mark") {
        if (t.size() != 3) return Fail(l, "'" + w + "' reads: " + w + " PILE " + (w == "mark" ? "VALUE" : "RULE"));
        ActionDef a{};
        a.kind = ActionSetPileAttribute;
        long v = 0;
        if (w == "mark") {
            if (!ParseInteger(t[2], 0, 65535, v)) return Fail(l, "a mark is a number 0..65535");
            a.subKind = PileAttributeValue;
        } else {
            a.subKind = w == "set-drop" ? PileDropProgram : PilePickupProgram;
            v = Program(t[2], l.file, l.line);
        }
        a.value = static_cast<uint16_t>(v);
        for (int p : Piles(t[1], l)) { a.sourcePile = static_cast<uint16_t>(p); out.push_back(a); }
        return true;
    }
    if (w == "forbid" || w == "allow") {
        if (t.size() != 4 || t[2] != "->") return Fail(l, "'" + w + "' reads: " + w + " FROM -> TO");
        ActionDef a{};
        a.kind = w == "forbid" ? ActionForbidMove : ActionAllowMove;
        for (int s : Piles(t[1], l, true))
            for (int d : Piles(t[3], l, true)) {
                a.sourcePile = static_cast<uint16_t>(s);
                a.destPile = static_cast<uint16_t>(d);
                out.push_back(a);
            }
        return true;
    }
    if (w == "finish") {
        if (t.size() != 1) return Fail(l, "'finish' stands alone");
        ActionDef a{};
        a.kind = ActionFinishGame;
        out.push_back(a);
        return true;
    }
    if (w == "reset") {
        if (t.size() != 2) return Fail(l, "'reset' names one counter");
        const auto it = FindNamed(counters, t[1]);
        if (it == counters.end()) return Fail(l, "no counter named '" + t[1] + "'");
        ActionDef a{};
        a.kind = ActionResetCounter;
        a.sourcePile = static_cast<uint16_t>(it - counters.begin());
        out.push_back(a);
        return true;
    }
    return Fail(l, "unknown action '" + w + "'");
}

}  // namespace corvelle::gamec
