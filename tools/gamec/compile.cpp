// From the expanded statements of a game to its GameDefinitionData, with the
// checks that keep a game from misbehaving.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "engine/game_engine.h"
#include "engine/resources.h"
#include "tools/gamec/gamec.h"
#include "tools/gamec/source.h"
#include "writer/assembler.h"

namespace corvelle::gamec {
namespace {

constexpr int kRef = 160;   // the layout reference, in grid units

const char* const kCategoryWords[] = {"other", "addition", "canfield", "castle", "fan", "forty-thieves",
                                      "freecell", "klondike", "spider", "terrace", "yukon"};

int WordIndex(const std::string& w, std::initializer_list<const char*> words) {
    int i = 0;
    for (const char* x : words) {
        if (w == x) return i;
        ++i;
    }
    return -1;
}

bool ToInt(const std::string& s, long& v) {
    if (s.empty()) return false;
    size_t used = 0;
    try {
        v = std::stol(s, &used);
    } catch (...) {
        return false;
    }
    return used == s.size();
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The entry of `entries` (piles, events, counters) called `name`, or end().
template <typename Entries>
auto FindNamed(Entries& entries, const std::string& name) {
    return std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.name == name; });
}

// Pile options as written; a group's options apply to every member, a
// member's own options win.
struct PileOpts {
    std::optional<int> xAnchor, yAnchor, x, y, dx, dy;
    std::optional<int> fan, fanMax, base, attribute, faceUp, acceptsDrops, manual, enabled, layer, cardGroup;
    std::optional<std::vector<long>> deal;    // per member (one value: every member)
    std::optional<bool> dealRest, lockAll;
    std::optional<int> topUp;
    std::optional<std::string> drop, pick, click, emptyClick, onDrop;
    std::optional<std::vector<std::string>> place;
    int line = 0;
    std::string file;
};

template <typename T>
void Over(std::optional<T>& a, const std::optional<T>& b) {
    if (b) a = b;
}
void Merge(PileOpts& a, const PileOpts& b) {
    Over(a.xAnchor, b.xAnchor); Over(a.yAnchor, b.yAnchor); Over(a.x, b.x); Over(a.y, b.y);
    Over(a.dx, b.dx); Over(a.dy, b.dy); Over(a.fan, b.fan); Over(a.fanMax, b.fanMax); Over(a.base, b.base);
    Over(a.attribute, b.attribute); Over(a.faceUp, b.faceUp); Over(a.acceptsDrops, b.acceptsDrops);
    Over(a.manual, b.manual); Over(a.enabled, b.enabled); Over(a.layer, b.layer);
    Over(a.cardGroup, b.cardGroup); Over(a.deal, b.deal); Over(a.dealRest, b.dealRest);
    Over(a.lockAll, b.lockAll); Over(a.topUp, b.topUp); Over(a.drop, b.drop); Over(a.pick, b.pick);
    Over(a.click, b.click); Over(a.emptyClick, b.emptyClick); Over(a.onDrop, b.onDrop);
    Over(a.place, b.place);
    if (b.line) { a.line = b.line; a.file = b.file; }
}

struct PileEntry {
    std::string name;
    std::string group;     // empty for a single pile
    int member = 0;        // 0-based within the group
    PileOpts own;
};
struct GroupEntry {
    int size = 0;
    PileOpts opts;
};
struct Condition {
    std::string expr, pileA, pileB;
    int line = 0;
    std::string file;
};
struct EventEntry {
    std::string name;
    int type = 0;
    std::vector<Condition> conditions;
    std::vector<Line> actions;
    std::string counter;
    int line = 0;
    std::string file;
};
struct CounterEntry {
    std::string name;
    int initial = 0;
    std::string exhausted;
    int line = 0;
    std::string file;
};

class GameCompiler {
public:
    GameCompiler(const BlockLibrary& blocks, std::vector<Diagnostic>& diags) : blocks_(blocks), diags_(diags) {}
    bool Compile(const std::vector<Line>& lines, CompiledGame& out);

private:
    bool Fail(const std::string& file, int line, const std::string& message) {
        diags_.push_back({file, line, message});
        ok_ = false;
        return false;
    }
    bool Fail(const Line& l, const std::string& message) { return Fail(l.file, l.line, message); }
    void Statement(const Line& l);
    void EventLine(const Line& l);
    bool PileOptions(const Line& l, size_t from, PileOpts& o);
    std::vector<int> Piles(const std::string& ref, const Line& l, bool allowAny = false);
    int Program(const std::string& expr, const std::string& file, int line);
    bool Finish(CompiledGame& out);
    bool BuildPiles(CompiledGame& out, std::vector<PileOpts>& finals);
    bool BuildEvents(CompiledGame& out, const std::vector<PileOpts>& finals);
    bool Action(const Line& l, std::vector<ActionDef>& out);
    void CheckGuarantees(const CompiledGame& out, const std::vector<PileOpts>& finals);
    void CheckLayout(const CompiledGame& out, const std::vector<PileOpts>& finals);

    const BlockLibrary& blocks_;
    std::vector<Diagnostic>& diags_;
    bool ok_ = true;
    std::string file_;
    int headerLine_ = 1;

    std::string name_;
    std::optional<int> id_, category_, skill_, time_;
    std::vector<uint8_t> extraCategories_;
    std::vector<std::string> related_;
    bool dense_ = false;
    int winFirst_ = 1, winRange_ = 20, budget_ = 20000;
    std::string solver_, solverLayout_;
    std::string rules_;
    int rulesLine_ = 0;
    std::vector<CardDef> cards_;
    std::vector<PileEntry> piles_;
    std::map<std::string, GroupEntry> groups_;
    std::vector<std::string> groupOrder_;
    std::vector<std::pair<std::string, std::string>> links_;
    std::vector<Line> linkLines_;
    std::vector<CounterEntry> counters_;
    std::vector<EventEntry> events_;
    EventEntry* open_ = nullptr;

    std::map<std::vector<uint8_t>, int> programIndex_;
    GameDefinitionData* def_ = nullptr;
    std::map<std::string, int> pileIndex_;
    std::map<std::string, std::string> programExpr_;   // program text -> expression, for checks
    std::vector<std::string> programNames_;
};

int GameCompiler::Program(const std::string& expr, const std::string& file, int line) {
    std::string text, error;
    if (!blocks_.CompileExpression(expr, text, error)) {
        Fail(file, line, error);
        return 0;
    }
    std::vector<uint8_t> bytes;
    AssemblerError asmError;
    if (!AssembleRuleProgram(text, bytes, &asmError)) {
        Fail(file, line, "rule '" + expr + "': " + asmError.ToString());
        return 0;
    }
    const auto it = programIndex_.find(bytes);
    if (it != programIndex_.end()) return it->second;
    const int index = static_cast<int>(def_->programs.size());
    def_->programs.push_back(bytes);
    programNames_.push_back(expr);
    programIndex_[bytes] = index;
    return index;
}

std::vector<int> GameCompiler::Piles(const std::string& ref, const Line& l, bool allowAny) {
    if (allowAny && ref == "any") return {kAnyPile};
    const auto it = pileIndex_.find(ref);
    if (it != pileIndex_.end()) return {it->second};
    std::vector<int> members;
    for (size_t i = 0; i < piles_.size(); ++i)
        if (piles_[i].group == ref) members.push_back(static_cast<int>(i));
    if (members.empty()) Fail(l, "no pile or group named '" + ref + "'");
    return members;
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
    auto num = [&](const std::string& s, int& v) {
        long x = 0;
        if (!ToInt(s, x)) return Fail(l, "'" + s + "' is not a number");
        v = static_cast<int>(x);
        return true;
    };
    for (; i < t.size(); ++i) {
        const std::string& w = t[i];
        int v = 0;
        if (w == "at") {
            int xa = 0, ya = 0;
            size_t j = i + 1;
            if (j < t.size() && (xa = WordIndex(t[j], {"left", "prop", "centre", "right"})) >= 0) ++j; else xa = 0;
            if (j >= t.size() || !num(t[j], v)) return Fail(l, "'at' reads: at [left|centre|right|prop] X [top|middle|bottom|prop] Y");
            o.xAnchor = xa; o.x = v; ++j;
            if (j < t.size() && (ya = WordIndex(t[j], {"top", "prop", "middle", "bottom"})) >= 0) ++j; else ya = 0;
            if (j >= t.size() || !num(t[j], v)) return Fail(l, "'at' reads: at [left|centre|right|prop] X [top|middle|bottom|prop] Y");
            o.yAnchor = ya; o.y = v;
            i = j;
        } else if (w == "step") {
            if (!need(2) || !num(t[i + 1], v)) return false;
            o.dx = v;
            if (!num(t[i + 2], v)) return false;
            o.dy = v;
            i += 2;
        } else if (w == "fan") {
            if (!need(1)) return false;
            const int f = WordIndex(t[i + 1], {"none", "right", "left", "down", "up"});
            if (f < 0) return Fail(l, "fan is none, right, left, down or up");
            o.fan = f;
            ++i;
            if (i + 1 < t.size() && t[i + 1] == "max") {
                if (!need(2) || !num(t[i + 2], v)) return false;
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
            } else if (dots != std::string::npos && ToInt(d.substr(0, dots), a) && ToInt(d.substr(dots + 2), b) && a <= b) {
                for (long k = a; k <= b; ++k) counts.push_back(k);
                o.dealRest = false;
            } else {
                std::stringstream ss(d);
                for (std::string part; std::getline(ss, part, ',');) {
                    if (!ToInt(part, a) || a < 0) return Fail(l, "'deal' takes N, FIRST..LAST, N,N,... or rest");
                    counts.push_back(a);
                }
                o.dealRest = false;
            }
            o.deal = counts;
            ++i;
            if (i + 1 < t.size() && (t[i + 1] == "up" || t[i + 1] == "down")) {
                o.faceUp = t[i + 1] == "up";
                ++i;
            }
        } else if (w == "top-up" || w == "mark" || w == "layer" || w == "cards") {
            if (!need(1) || !num(t[i + 1], v)) return false;
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

void GameCompiler::Statement(const Line& l) {
    const auto& t = l.tok;
    const std::string& w = t[0];
    long v = 0;
    auto arg = [&](size_t n) {
        if (t.size() != n + 1) {
            Fail(l, "'" + w + "' takes " + std::to_string(n) + " value(s)");
            return false;
        }
        return true;
    };
    if (open_) {
        EventLine(l);
        return;
    }
    if (w == "game") {
        name_ = t[1];
        headerLine_ = l.line;
    } else if (w == "family") {
        // a family alone is not a game
    } else if (w == "id") {
        if (arg(1) && ToInt(t[1], v) && v >= 0 && v < kMaxGames) id_ = static_cast<int>(v);
        else Fail(l, "id is a number 0..799");
    } else if (w == "category" || w == "also-category") {
        if (!arg(1)) return;
        int c = -1;
        for (int k = 0; k < kCategoryCount; ++k)
            if (Lower(t[1]) == kCategoryWords[k]) c = k;
        if (c < 0) {
            Fail(l, "unknown category '" + t[1] + "'");
            return;
        }
        if (w == "category") category_ = c;
        else extraCategories_.push_back(static_cast<uint8_t>(c));
    } else if (w == "difficulty") {
        const int s = arg(1) ? WordIndex(t[1], {"easy", "medium", "hard"}) : -2;
        if (s >= 0) skill_ = s; else if (s == -1) Fail(l, "difficulty is easy, medium or hard");
    } else if (w == "time") {
        const int s = arg(1) ? WordIndex(t[1], {"<3m", "3-5m", "5-10m", ">10m"}) : -2;
        if (s >= 0) time_ = s; else if (s == -1) Fail(l, "time is <3m, 3-5m, 5-10m or >10m");
    } else if (w == "related") {
        for (size_t i = 1; i < t.size(); ++i) related_.push_back(t[i]);
    } else if (w == "dense-grid") {
        dense_ = true;
    } else if (w == "winnable") {
        // winnable within [FIRST..]N [budget M]
        const size_t dots = t.size() >= 3 ? t[2].find("..") : std::string::npos;
        long first = 1;
        if (t.size() < 3 || t[1] != "within" ||
            (dots != std::string::npos && (!ToInt(t[2].substr(0, dots), first) || !ToInt(t[2].substr(dots + 2), v))) ||
            (dots == std::string::npos && !ToInt(t[2], v)) || first < 1 || v < first) {
            Fail(l, "'winnable' reads: winnable within [FIRST..]N [budget NODES]");
            return;
        }
        winFirst_ = static_cast<int>(first);
        winRange_ = static_cast<int>(v);
        if (t.size() == 5 && t[3] == "budget" && ToInt(t[4], v) && v > 0) budget_ = static_cast<int>(v);
        else if (t.size() != 3) Fail(l, "'winnable' reads: winnable within [FIRST..]N [budget NODES]");
    } else if (w == "solver") {
        solver_.clear();
        if (t.size() == 2 && t[1] == "none") return;
        for (size_t i = 1; i < t.size(); ++i) solver_ += (i > 1 ? " " : "") + t[i];
    } else if (w == "solver-layout") {
        if (arg(1)) solverLayout_ = t[1];
    } else if (w == "rules") {
        rules_ = l.text;
        rulesLine_ = l.line;
    } else if (w == "deck") {
        // deck [N] [suits CSDH] [cards G]
        long copies = 1, group = 0;
        std::string suits = "CSDH";
        size_t i = 1;
        if (i < t.size() && ToInt(t[i], copies)) ++i;
        for (; i < t.size(); i += 2) {
            if (i + 1 >= t.size()) { Fail(l, "'deck' reads: deck [N] [suits LETTERS] [cards GROUP]"); return; }
            if (t[i] == "suits") suits = t[i + 1];
            else if (t[i] == "cards" && ToInt(t[i + 1], group)) {}
            else { Fail(l, "'deck' reads: deck [N] [suits LETTERS] [cards GROUP]"); return; }
        }
        if (copies < 1 || copies > 16) { Fail(l, "a deck is repeated 1 to 16 times"); return; }
        for (long c = 0; c < copies; ++c)
            for (char s : suits) {
                const unsigned suit = SuitOfLetter(s);
                if (!suit) { Fail(l, std::string("unknown suit letter '") + s + "'"); return; }
                for (int r = 1; r <= 13; ++r)
                    cards_.push_back({static_cast<uint16_t>(group), static_cast<uint8_t>(suit), static_cast<uint8_t>(r)});
            }
    } else if (w == "decks" && t.size() == 2 && t[1] == "clear") {
        cards_.clear();
    } else if (w == "pile") {
        if (t.size() < 2) { Fail(l, "'pile' needs a name"); return; }
        auto it = FindNamed(piles_, t[1]);
        if (it == piles_.end()) {
            if (groups_.count(t[1])) { Fail(l, "'" + t[1] + "' is a group of piles; use 'piles'"); return; }
            piles_.push_back({t[1], "", 0, {}});
            it = piles_.end() - 1;
        }
        PileOpts o;
        if (PileOptions(l, 2, o)) Merge(it->own, o);
    } else if (w == "piles") {
        // piles NAME [COUNT] options: NAME1..NAMECOUNT, members of group NAME
        if (t.size() < 2) { Fail(l, "'piles' needs a name"); return; }
        size_t i = 2;
        auto g = groups_.find(t[1]);
        if (i < t.size() && ToInt(t[i], v)) {
            ++i;
            if (v < 1 || v > 60) { Fail(l, "a group holds 1 to 60 piles"); return; }
            if (g == groups_.end()) {
                g = groups_.emplace(t[1], GroupEntry{}).first;
                groupOrder_.push_back(t[1]);
            }
            // Grow or shrink the group in place; new members follow the last one.
            int have = 0, lastIndex = -1;
            for (size_t k = 0; k < piles_.size(); ++k)
                if (piles_[k].group == t[1]) { ++have; lastIndex = static_cast<int>(k); }
            for (; have > v; --have) {
                piles_.erase(piles_.begin() + lastIndex);
                --lastIndex;
            }
            for (int k = have; k < v; ++k) {
                const size_t at = lastIndex < 0 ? piles_.size() : static_cast<size_t>(lastIndex) + 1;
                piles_.insert(piles_.begin() + static_cast<long>(at), PileEntry{t[1] + std::to_string(k + 1), t[1], k, {}});
                lastIndex = static_cast<int>(at);
            }
            g->second.size = static_cast<int>(v);
        } else if (g == groups_.end()) {
            Fail(l, "a new group of piles needs its count: piles NAME COUNT ...");
            return;
        }
        PileOpts o;
        if (PileOptions(l, i, o)) Merge(g->second.opts, o);
    } else if (w == "remove") {
        if (t.size() != 3) { Fail(l, "'remove' reads: remove pile|piles|event|counter|links NAME"); return; }
        if (t[1] == "pile") {
            auto it = FindNamed(piles_, t[2]);
            if (it == piles_.end()) Fail(l, "no pile named '" + t[2] + "'"); else piles_.erase(it);
        } else if (t[1] == "piles") {
            if (!groups_.erase(t[2])) Fail(l, "no group named '" + t[2] + "'");
            piles_.erase(std::remove_if(piles_.begin(), piles_.end(), [&](const PileEntry& p) { return p.group == t[2]; }), piles_.end());
        } else if (t[1] == "event") {
            auto it = FindNamed(events_, t[2]);
            if (it == events_.end()) Fail(l, "no event named '" + t[2] + "'"); else events_.erase(it);
        } else if (t[1] == "counter") {
            auto it = FindNamed(counters_, t[2]);
            if (it == counters_.end()) Fail(l, "no counter named '" + t[2] + "'"); else counters_.erase(it);
        } else if (t[1] == "links" && t[2] == "all") {
            links_.clear();
            linkLines_.clear();
        } else {
            Fail(l, "'remove' reads: remove pile|piles|event|counter NAME, or remove links all");
        }
    } else if (w == "link") {
        if (t.size() != 4 || t[2] != "->") { Fail(l, "'link' reads: link FROM -> TO"); return; }
        links_.push_back({t[1], t[3]});
        linkLines_.push_back(l);
    } else if (w == "counter") {
        // counter NAME INITIAL [then EVENT]
        if ((t.size() != 3 && t.size() != 5) || !ToInt(t[2], v) || v < 0 || v > 65535 ||
            (t.size() == 5 && t[3] != "then")) {
            Fail(l, "'counter' reads: counter NAME INITIAL [then EVENT]");
            return;
        }
        CounterEntry c{t[1], static_cast<int>(v), t.size() == 5 ? t[4] : "", l.line, l.file};
        auto it = FindNamed(counters_, t[1]);
        if (it == counters_.end()) counters_.push_back(c); else *it = c;
    } else if (w == "event") {
        // event NAME auto|repeat|player|start ... end
        const int type = t.size() == 3 ? WordIndex(t[2], {"auto", "repeat", "player", "start"}) : -1;
        if (type < 0) { Fail(l, "'event' reads: event NAME auto|repeat|player|start"); return; }
        if (t[1] == "none") { Fail(l, "'none' names no event"); return; }
        EventEntry e;
        e.name = t[1];
        e.type = type;
        e.line = l.line;
        e.file = l.file;
        auto it = FindNamed(events_, t[1]);
        if (it == events_.end()) { events_.push_back(e); open_ = &events_.back(); }
        else { *it = e; open_ = &*it; }
    } else if (w == "end") {
        Fail(l, "'end' without an open event");
    } else {
        Fail(l, "unknown statement '" + w + "'");
    }
}

void GameCompiler::EventLine(const Line& l) {
    const auto& t = l.tok;
    if (t[0] == "end") {
        open_ = nullptr;
    } else if (t[0] == "if") {
        // if EXPR on PILE [vs PILE]
        if (!((t.size() == 4 && t[2] == "on") || (t.size() == 6 && t[2] == "on" && t[4] == "vs"))) {
            Fail(l, "a condition reads: if RULE on PILE [vs PILE]");
            return;
        }
        open_->conditions.push_back({t[1], t[3], t.size() == 6 ? t[5] : "", l.line, l.file});
    } else if (t[0] == "uses") {
        if (t.size() != 2) Fail(l, "'uses' names one counter");
        else open_->counter = t[1];
    } else {
        open_->actions.push_back(l);
    }
}

bool GameCompiler::Action(const Line& l, std::vector<ActionDef>& out) {
    const auto& t = l.tok;
    const std::string& w = t[0];
    auto range = [&](const std::string& n, ActionDef& a) {
        long k = 0;
        if (n == "all") { a.sourceMode = SourceFromPosition; a.sourcePosition = 0; a.count = 0; return true; }
        if (!ToInt(n, k) || k < 1 || k > 1000) return Fail(l, "a number of cards is 1.. or 'all'");
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
            if (!ToInt(t[2], v) || v < 0 || v > 65535) return Fail(l, "a mark is a number 0..65535");
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
        const auto it = FindNamed(counters_, t[1]);
        if (it == counters_.end()) return Fail(l, "no counter named '" + t[1] + "'");
        ActionDef a{};
        a.kind = ActionResetCounter;
        a.sourcePile = static_cast<uint16_t>(it - counters_.begin());
        out.push_back(a);
        return true;
    }
    return Fail(l, "unknown action '" + w + "'");
}

bool GameCompiler::Compile(const std::vector<Line>& lines, CompiledGame& out) {
    if (!lines.empty()) file_ = lines.front().file;
    for (const Line& l : lines) Statement(l);
    if (open_) Fail(open_->file, open_->line, "event '" + open_->name + "' is not closed by 'end'");
    return ok_ && Finish(out);
}

// Loader-side pixel value of a fan extent stored as `e` (kind 0).
int ExtentAfterLoad(int e, int fan, bool dense) {
    PileDef p{};
    p.fan = static_cast<uint8_t>(fan);
    p.fanExtent = static_cast<uint16_t>(e);
    p.extentKind = 0;
    ConvertPileToPixels(p, dense);
    return p.fanExtent;
}

bool GameCompiler::BuildPiles(CompiledGame& out, std::vector<PileOpts>& finals) {
    GameDefinitionData& d = out.def;
    const int cw = dense_ ? 18 : 15, ch = dense_ ? 24 : 21;
    for (size_t i = 0; i < piles_.size(); ++i) pileIndex_[piles_[i].name] = static_cast<int>(i);
    // Deal counts first: `rest` takes what the other piles of its card group leave.
    std::map<int, int> groupCards, groupDealt;
    for (const CardDef& c : cards_) groupCards[c.cardGroup]++;
    // The options as they apply to each pile; what is written nowhere is
    // reported at the game's header.
    finals.clear();
    for (const PileEntry& p : piles_) {
        PileOpts o;
        o.file = file_;
        o.line = headerLine_;
        if (!p.group.empty()) Merge(o, groups_[p.group].opts);
        Merge(o, p.own);
        finals.push_back(o);
    }
    int restPile = -1;
    std::vector<int> deal(piles_.size(), 0);
    for (size_t i = 0; i < piles_.size(); ++i) {
        const PileOpts& o = finals[i];
        if (o.dealRest.value_or(false)) {
            if (restPile >= 0) return Fail(o.file, o.line, "only one pile can take the rest of the cards");
            restPile = static_cast<int>(i);
            continue;
        }
        if (o.deal) {
            const auto& v = *o.deal;
            if (v.size() != 1 && static_cast<int>(v.size()) != groups_[piles_[i].group].size)
                return Fail(o.file, o.line, "group '" + piles_[i].group + "' deals " + std::to_string(v.size()) +
                                                " counts to " + std::to_string(groups_[piles_[i].group].size) + " piles");
            deal[i] = static_cast<int>(v.size() == 1 ? v[0] : v[piles_[i].member]);
        }
        groupDealt[finals[i].cardGroup.value_or(0)] += deal[i];
    }
    if (restPile >= 0) {
        const int g = finals[restPile].cardGroup.value_or(0);
        deal[restPile] = groupCards[g] - groupDealt[g];
        if (deal[restPile] < 0) return Fail(finals[restPile].file, finals[restPile].line, "the other piles already take more cards than the deck has");
        groupDealt[g] += deal[restPile];
    }
    for (const auto& [g, n] : groupCards)
        if (groupDealt[g] != n)
            return Fail(file_, headerLine_, "the piles are dealt " + std::to_string(groupDealt[g]) + " cards but the deck of group " +
                                               std::to_string(g) + " has " + std::to_string(n));

    for (size_t i = 0; i < piles_.size(); ++i) {
        const PileOpts& o = finals[i];
        if (!o.x || !o.y) return Fail(o.file, o.line, "pile '" + piles_[i].name + "' has no position ('at X Y')");
        PileDef p{};
        p.cardGroup = static_cast<uint16_t>(o.cardGroup.value_or(0));
        const int member = piles_[i].member;
        const int gx = *o.x + member * o.dx.value_or(0), gy = *o.y + member * o.dy.value_or(0);
        // What is written is where the card lands: left/top edges from the
        // left/top, the centre from the centre, right/bottom edges from the
        // right/bottom; the loader's anchors measure the left/top edge.
        const int xa = o.xAnchor.value_or(0), ya = o.yAnchor.value_or(0);
        p.xAnchor = static_cast<uint8_t>(xa);
        p.yAnchor = static_cast<uint8_t>(ya);
        p.x = static_cast<int16_t>(xa == AnchorCentre ? 80 + gx - cw / 2 : xa == AnchorEnd ? kRef - gx - cw : gx);
        p.y = static_cast<int16_t>(ya == AnchorCentre ? 80 + gy - ch / 2 : ya == AnchorEnd ? kRef - gy - ch : gy);
        p.fan = static_cast<uint8_t>(o.fan.value_or(0));
        p.baseKind = static_cast<uint8_t>(o.base.value_or(0));
        p.dealFaceUp = static_cast<uint8_t>(o.faceUp.value_or(1));
        p.acceptsDrops = static_cast<uint8_t>(o.acceptsDrops.value_or(1));
        p.dealCount = static_cast<uint16_t>(deal[i]);
        p.pickupProgram = static_cast<uint16_t>(Program(o.pick.value_or("one"), o.file, o.line));
        p.dropProgram = static_cast<uint16_t>(Program(o.drop.value_or("never"), o.file, o.line));
        p.manualExposure = static_cast<uint8_t>(o.manual.value_or(0));
        p.enabled = static_cast<uint8_t>(o.enabled.value_or(1));
        p.drawOrder = static_cast<uint8_t>(o.layer.value_or(0));
        p.attribute = static_cast<uint16_t>(o.attribute.value_or(0));
        if (o.fanMax && p.fan != FanNone) {
            // The loader converts the extent twice; store the value whose
            // double conversion comes closest to the written length.
            const bool horizontal = p.fan == FanRight || p.fan == FanLeft;
            const int want = *o.fanMax * (horizontal ? kCardWidth : kCardHeight) / (horizontal ? cw : ch);
            int best = 1, bestDiff = 1 << 30;
            for (int e = 1; e < 2000; ++e) {
                const int diff = std::abs(ExtentAfterLoad(e, p.fan, dense_) - want);
                if (diff < bestDiff) { bestDiff = diff; best = e; }
            }
            p.fanExtent = static_cast<uint16_t>(best);
        }
        d.piles.push_back(p);
        out.pileNames.push_back(piles_[i].name);
        // Deal corrections: face-up top cards, locks, placed cards.
        if (o.topUp) {
            if (p.dealFaceUp) return Fail(o.file, o.line, "'top-up' turns cards of a pile dealt face down");
            for (int k = std::max(0, deal[i] - *o.topUp); k < deal[i]; ++k)
                d.flips.push_back({static_cast<uint16_t>(i), static_cast<int16_t>(k)});
        }
        if (o.lockAll.value_or(false))
            for (int k = 0; k < deal[i]; ++k) d.locks.push_back({static_cast<uint16_t>(i), static_cast<int16_t>(k)});
        if (o.place) {
            const auto& v = *o.place;
            const int groupSize = piles_[i].group.empty() ? 1 : groups_[piles_[i].group].size;
            if (static_cast<int>(v.size()) != groupSize) return Fail(o.file, o.line, "'place' names one card per pile");
            const std::string card = v.size() == 1 ? v[0] : v[member];
            std::vector<uint32_t> sr;
            if (!ParseTestCards(card, sr) || sr.size() != 2 || sr[0] > 4) return Fail(o.file, o.line, "'" + card + "' is no card");
            int found = -1;
            for (size_t c = 0; c < d.cards.size() && found < 0; ++c)
                if (d.cards[c].suit == sr[0] && d.cards[c].rank == sr[1] && d.cards[c].cardGroup == p.cardGroup &&
                    std::none_of(d.placements.begin(), d.placements.end(), [&](const CardPlacement& pl) { return pl.card == c; }))
                    found = static_cast<int>(c);
            if (found < 0) return Fail(o.file, o.line, "the deck has no free card " + card + " for this pile");
            if (deal[i] < 1) return Fail(o.file, o.line, "'place' needs a pile that is dealt a card");
            d.placements.push_back({static_cast<uint16_t>(i), static_cast<uint16_t>(found), 0});
        }
    }
    return ok_;
}

bool GameCompiler::BuildEvents(CompiledGame& out, const std::vector<PileOpts>& finals) {
    GameDefinitionData& d = out.def;
    // Event 0 is the null event: never allowed.
    std::map<std::string, int> eventIndex;
    d.eventTypes.push_back(EventAfterStep);
    out.eventNames.push_back("none");
    d.conditions.push_back({static_cast<uint16_t>(Program("never", file_, headerLine_)), 0, kNone});
    d.eventConditions.push_back({0, 0});
    for (const EventEntry& e : events_) {
        eventIndex[e.name] = static_cast<int>(d.eventTypes.size());
        out.eventNames.push_back(e.name);
        d.eventTypes.push_back(static_cast<uint8_t>(e.type));
    }
    auto eventRef = [&](const std::string& name, const std::string& file, int line) -> int {
        if (name.empty() || name == "none") return 0;
        const auto it = eventIndex.find(name);
        if (it == eventIndex.end()) { Fail(file, line, "no event named '" + name + "'"); return 0; }
        return it->second;
    };
    for (const CounterEntry& c : counters_)
        d.counters.push_back({static_cast<uint16_t>(c.initial), static_cast<uint16_t>(eventRef(c.exhausted, c.file, c.line))});
    std::map<std::string, uint16_t> actionIndex;
    for (const EventEntry& e : events_) {
        const uint16_t ev = static_cast<uint16_t>(eventIndex[e.name]);
        for (const Condition& c : e.conditions) {
            Line l{c.file, c.line, {}, {}};
            const auto a = Piles(c.pileA, l);
            std::vector<int> b = {kNone};
            if (!c.pileB.empty()) b = Piles(c.pileB, l);
            if (b.size() != 1 && b.size() != a.size()) { Fail(l, "'vs' names one pile or a group as large as the first"); continue; }
            const int program = Program(c.expr, c.file, c.line);
            for (size_t k = 0; k < a.size(); ++k) {
                const RuleCondition rc{static_cast<uint16_t>(program), static_cast<uint16_t>(a[k]),
                                       static_cast<uint16_t>(b.size() == 1 ? b[0] : b[k])};
                auto it = std::find_if(d.conditions.begin(), d.conditions.end(), [&](const RuleCondition& x) {
                    return x.program == rc.program && x.pileA == rc.pileA && x.pileB == rc.pileB;
                });
                if (it == d.conditions.end()) { d.conditions.push_back(rc); it = d.conditions.end() - 1; }
                d.eventConditions.push_back({ev, static_cast<uint16_t>(it - d.conditions.begin())});
            }
        }
        for (const Line& l : e.actions) {
            std::vector<ActionDef> acts;
            if (!Action(l, acts)) continue;
            for (const ActionDef& a : acts) {
                const std::string key(reinterpret_cast<const char*>(&a), sizeof a);
                auto it = actionIndex.find(key);
                if (it == actionIndex.end()) {
                    it = actionIndex.emplace(key, static_cast<uint16_t>(d.actions.size())).first;
                    d.actions.push_back(a);
                }
                d.eventActions.push_back({ev, it->second});
            }
        }
        if (!e.counter.empty()) {
            const auto it = FindNamed(counters_, e.counter);
            if (it == counters_.end()) Fail(e.file, e.line, "no counter named '" + e.counter + "'");
            else d.eventCounters.push_back({ev, static_cast<uint16_t>(it - counters_.begin())});
        }
    }
    if (d.actions.empty()) { Fail(file_, headerLine_, "the game has no action at all"); return false; }
    // Pile events.
    for (size_t i = 0; i < piles_.size(); ++i) {
        const PileOpts& o = finals[i];
        PileDef& p = d.piles[i];
        p.clickEvent = static_cast<uint16_t>(eventRef(o.click.value_or(""), o.file, o.line));
        p.emptyClickEvent = static_cast<uint16_t>(eventRef(o.emptyClick.value_or(""), o.file, o.line));
        p.dropEvent = static_cast<uint16_t>(eventRef(o.onDrop.value_or(""), o.file, o.line));
    }
    // Links: none written means every pile to every pile.
    if (links_.empty()) d.links.push_back({kAnyPile, kAnyPile});
    for (size_t k = 0; k < links_.size(); ++k)
        for (int s : Piles(links_[k].first, linkLines_[k], true))
            for (int t : Piles(links_[k].second, linkLines_[k], true))
                if (s != t || s == kAnyPile) d.links.push_back({static_cast<uint16_t>(s), static_cast<uint16_t>(t)});
    return ok_;
}

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

void GameCompiler::CheckGuarantees(const CompiledGame& out, const std::vector<PileOpts>& finals) {
    const GameDefinitionData& d = out.def;
    const auto actionsOf = [&](int ev) {
        std::vector<ActionDef> v;
        for (const EventAction& ea : d.eventActions)
            if (ea.event == ev) v.push_back(d.actions[ea.action]);
        return v;
    };
    // A finishing automatic event whose only conditions are 'empty' on a set
    // of piles proves that, while the game runs, one of them holds a card.
    std::vector<std::set<int>> provenNotAllEmpty;
    for (size_t e = 1; e < events_.size() + 1; ++e) {
        const EventEntry& ev = events_[e - 1];
        if (ev.type != EventAfterStep && ev.type != EventAfterStepRepeating) continue;
        const auto acts = actionsOf(static_cast<int>(e));
        if (std::none_of(acts.begin(), acts.end(), [](const ActionDef& a) { return a.kind == ActionFinishGame; })) continue;
        if (!ev.counter.empty()) continue;
        std::set<int> s;
        bool onlyEmpty = !ev.conditions.empty();
        for (const Condition& c : ev.conditions) {
            if (c.expr != "empty" || !c.pileB.empty()) onlyEmpty = false;
            for (const auto& [name, idx] : pileIndex_)
                if (name == c.pileA) s.insert(idx);
            for (size_t i = 0; i < piles_.size(); ++i)
                if (piles_[i].group == c.pileA) s.insert(static_cast<int>(i));
        }
        if (onlyEmpty) provenNotAllEmpty.push_back(s);
    }
    for (size_t e = 0; e < events_.size(); ++e) {
        const EventEntry& ev = events_[e];
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
                           programNames_[b.value] == "never";
                });
                if (!closesRule)
                    Fail(ev.file, ev.line, "event '" + ev.name + "' closes pile '" + out.pileNames[a.sourcePile] +
                                               "' but leaves its drop rule open (add: set-drop " + out.pileNames[a.sourcePile] + " never)");
            }
    }
    for (size_t i = 0; i < d.piles.size(); ++i) {
        const PileDef& p = d.piles[i];
        if (p.acceptsDrops || programNames_[p.dropProgram] == "never") continue;
        const bool linked = std::any_of(d.links.begin(), d.links.end(), [&](const MoveLink& m) {
            return m.destPile == i || m.destPile == kAnyPile;
        });
        if (linked)
            Fail(finals[i].file, finals[i].line,
                 "pile '" + out.pileNames[i] + "' is out of play but its drop rule and links still accept cards");
    }
}

void GameCompiler::CheckLayout(const CompiledGame& out, const std::vector<PileOpts>& finals) {
    const int cw = dense_ ? 18 : 15, ch = dense_ ? 24 : 21;
    struct Rect { int l, t, r, b; };
    std::vector<Rect> rects;
    const GameDefinitionData& d = out.def;
    for (size_t i = 0; i < d.piles.size(); ++i) {
        const PileDef& p = d.piles[i];
        const PileOpts& o = finals[i];
        // Back to the 160-unit reference: every anchor measures from its own edge.
        Rect r{p.x, p.y, p.x + cw, p.y + ch};
        const int extent = o.fanMax.value_or(-1);
        switch (p.fan) {
        case FanRight: r.r = extent >= 0 ? r.r + extent : kRef; break;
        case FanLeft: r.l = extent >= 0 ? r.l - extent : 0; break;
        case FanDown: r.b = extent >= 0 ? r.b + extent : kRef; break;
        case FanUp: r.t = extent >= 0 ? r.t - extent : 0; break;
        default: break;
        }
        if (r.l < 0 || r.t < 0 || r.r > kRef || r.b > kRef) {
            Fail(o.file, o.line, "pile '" + out.pileNames[i] + "' lies outside the 160 x 160 layout (" + std::to_string(r.l) + "," +
                                 std::to_string(r.t) + " to " + std::to_string(r.r) + "," + std::to_string(r.b) + ")");
        }
        if (p.acceptsDrops) {
            for (size_t k = 0; k < rects.size(); ++k) {
                const Rect& q = rects[k];
                if (d.piles[k].acceptsDrops && r.l < q.r && q.l < r.r && r.t < q.b && q.t < r.b)
                    Fail(o.file, o.line, "pile '" + out.pileNames[i] + "' overlaps pile '" + out.pileNames[k] + "'");
            }
        }
        rects.push_back(r);
    }
}

bool GameCompiler::Finish(CompiledGame& out) {
    GameDefinitionData& d = out.def;
    def_ = &d;
    programIndex_.clear();
    programNames_.clear();
    Program("never", file_, headerLine_);   // program 0: never true (the null event's condition)
    if (name_.empty() || name_.size() > 31) Fail(file_, headerLine_, "a game's name has 1 to 31 characters");
    if (!id_) Fail(file_, headerLine_, "the game has no 'id'");
    if (!category_) Fail(file_, headerLine_, "the game has no 'category'");
    if (!skill_) Fail(file_, headerLine_, "the game has no 'difficulty'");
    if (!time_) Fail(file_, headerLine_, "the game has no 'time'");
    if (cards_.empty()) Fail(file_, headerLine_, "the game has no cards ('deck')");
    if (rules_.empty()) Fail(file_, headerLine_, "the game has no rules text");
    else {
        if (rules_.size() < 200 || rules_.size() > 1500)
            Fail(file_, rulesLine_, "the rules text has " + std::to_string(rules_.size()) + " characters; write 200 to 1500");
        if (rules_.find("<b>") == std::string::npos) Fail(file_, rulesLine_, "the rules text has no <b> heading");
        int open = 0;
        for (size_t k = 0; k < rules_.size(); ++k) {
            if (rules_.compare(k, 3, "<b>") == 0) ++open;
            if (rules_.compare(k, 4, "</b>") == 0) --open;
            if (open < 0 || open > 1) break;
        }
        if (open != 0) Fail(file_, rulesLine_, "every <b> of the rules text needs its </b>");
    }
    if (!ok_) return false;
    d.id = static_cast<uint16_t>(*id_);
    d.category = static_cast<uint16_t>(*category_);
    d.skill = static_cast<uint16_t>(*skill_);
    d.timeClass = static_cast<uint16_t>(*time_);
    d.denseGrid = dense_;
    d.name = name_;
    d.extraCategories = extraCategories_;
    d.rulesText = rules_;
    d.cards = cards_;
    out.related = related_;
    out.winFirst = winFirst_;
    out.winRange = winRange_;
    out.searchBudget = budget_;
    out.solver = solver_;
    out.solverLayout = solverLayout_;
    std::vector<PileOpts> finals;
    if (!BuildPiles(out, finals) || !BuildEvents(out, finals)) return false;
    if (std::none_of(d.actions.begin(), d.actions.end(), [](const ActionDef& a) { return a.kind == ActionFinishGame; }))
        Fail(file_, headerLine_, "no event finishes the game");
    CheckGuarantees(out, finals);
    CheckLayout(out, finals);
    if (!ok_) return false;
    const std::vector<uint8_t> record = SerializeGameRecord(d);
    const char* error = nullptr;
    if (!ValidateGameRecord(record.data(), record.size(), &error))
        return Fail(file_, headerLine_, std::string("the engine would refuse this game: ") + error);
    return true;
}

}  // namespace

bool CompileLibrary(const std::string& gamesFolder, Library& out, std::vector<Diagnostic>& diags) {
    namespace fs = std::filesystem;
    BlockLibrary blocks;
    bool ok = LoadBlocks(gamesFolder + "/blocks", blocks, diags);
    std::map<std::string, SourceFile> files;
    std::vector<std::string> gameKeys;
    std::vector<fs::path> paths;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(gamesFolder, ec)) {
        const auto ext = entry.path().extension();
        if (ext == ".game" || ext == ".family") paths.push_back(entry.path());
    }
    if (ec || paths.empty()) {
        diags.push_back({gamesFolder, 0, "no game files found"});
        return false;
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& p : paths) {
        SourceFile f;
        f.key = (p.extension() == ".family" ? "family:" : "") + p.stem().string();
        if (!ReadSourceFile(p.string(), f, diags)) { ok = false; continue; }
        if (files.count(f.key)) {
            diags.push_back({p.string(), 1, "another file is also named '" + f.key + "'"});
            ok = false;
            continue;
        }
        if ((p.extension() == ".family") != f.family) {
            diags.push_back({p.string(), 1, "a .family file starts with 'family', a .game file with 'game'"});
            ok = false;
            continue;
        }
        if (!f.family) gameKeys.push_back(f.key);
        files[f.key] = f;
    }
    if (!ok) return false;
    for (const std::string& key : gameKeys) {
        std::vector<Line> lines;
        if (!ExpandSource(files, key, lines, diags)) { ok = false; continue; }
        CompiledGame g;
        g.key = key;
        g.file = files[key].path;
        GameCompiler compiler(blocks, diags);
        if (!compiler.Compile(lines, g)) { ok = false; continue; }
        out.games.push_back(std::move(g));
    }
    if (!ok) return false;
    // Library-wide checks: unique ids and names; related games exist.
    std::map<int, std::string> ids;
    std::map<std::string, int> names;
    for (const CompiledGame& g : out.games) {
        if (ids.count(g.def.id)) {
            diags.push_back({g.file, 1, "id " + std::to_string(g.def.id) + " is already used by '" + ids[g.def.id] + "'"});
            ok = false;
        }
        ids[g.def.id] = g.def.name;
        if (names.count(Lower(g.def.name))) {
            diags.push_back({g.file, 1, "another game is also named '" + g.def.name + "'"});
            ok = false;
        }
        names[Lower(g.def.name)] = g.def.id;
    }
    if (out.games.size() > static_cast<size_t>(kMaxGames)) {
        diags.push_back({gamesFolder, 0, "more than 800 games"});
        ok = false;
    }
    std::set<std::pair<int, int>> pairs;
    for (const CompiledGame& g : out.games)
        for (const std::string& r : g.related) {
            const auto it = names.find(Lower(r));
            if (it == names.end()) {
                diags.push_back({g.file, 1, "related game '" + r + "' is not in the library"});
                ok = false;
            } else if (it->second == g.def.id) {
                diags.push_back({g.file, 1, "a game is not related to itself"});
                ok = false;
            } else {
                pairs.insert({std::min<int>(g.def.id, it->second), std::max<int>(g.def.id, it->second)});
            }
        }
    for (const auto& [a, b] : pairs)
        out.relatedText += (out.relatedText.empty() ? "" : "\r\n") + std::to_string(a) + "," + std::to_string(b);
    std::sort(out.games.begin(), out.games.end(),
              [](const CompiledGame& a, const CompiledGame& b) { return Lower(a.def.name) < Lower(b.def.name); });
    return ok;
}

std::string LibraryIndexText(const Library& lib) {
    std::string s;
    for (size_t i = 0; i < lib.games.size(); ++i) {
        const CompiledGame& g = lib.games[i];
        std::string piles;
        for (const std::string& p : g.pileNames) piles += (piles.empty() ? "" : ",") + p;
        s += std::to_string(i) + "\t" + g.key + "\t" + g.def.name + "\t" + (g.winFirst > 1 ? std::to_string(g.winFirst) + ".." : std::string()) + std::to_string(g.winRange) + "\t" +
             std::to_string(g.searchBudget) + "\t" + (g.solver.empty() ? "-" : g.solver) + "\t" +
             (g.solverLayout.empty() ? "-" : g.solverLayout) + "\t" + piles + "\n";
    }
    return s;
}

}  // namespace corvelle::gamec
