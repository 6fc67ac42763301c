// From the expanded statements of a game to its GameDefinitionData: the
// header, the rule programs, the events, and the library-wide checks.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <tuple>

#include "engine/game_engine.h"
#include "tools/gamec/game_compiler.h"
#include "tools/referee/model_piles.h"
#include "writer/assembler.h"

namespace corvelle::gamec {

int WordIndex(const std::string& w, std::initializer_list<const char*> words) {
    int i = 0;
    for (const char* x : words) {
        if (w == x) return i;
        ++i;
    }
    return -1;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int GameCompiler::Program(const std::string& expr, const std::string& file, int line) {
    const auto known = expressionIndex.find(expr);
    if (known != expressionIndex.end()) return known->second;
    std::string text, error;
    if (!blockLibrary.CompileExpression(expr, text, error)) {
        Fail(file, line, error);
        return 0;
    }
    std::vector<uint8_t> bytes;
    AssemblerError asmError;
    if (!AssembleRuleProgram(text, bytes, &asmError)) {
        Fail(file, line, "rule '" + expr + "': " + asmError.ToString());
        return 0;
    }
    const auto it = programIndex.find(bytes);
    if (it != programIndex.end()) return expressionIndex[expr] = it->second;
    const int index = static_cast<int>(def->programs.size());
    def->programs.push_back(bytes);
    programNames.push_back(expr);
    programIndex[bytes] = index;
    return expressionIndex[expr] = index;
}

bool GameCompiler::Compile(const std::vector<Line>& lines, CompiledGame& out) {
    if (!lines.empty()) fileName = lines.front().file;
    for (const Line& l : lines) Statement(l);
    if (openEvent) Fail(openEvent->file, openEvent->line, "event '" + openEvent->name + "' is not closed by 'end'");
    return ok && Finish(out);
}

bool GameCompiler::BuildEvents(CompiledGame& out, const std::vector<PileOpts>& finals) {
    GameDefinitionData& d = out.def;
    // Event 0 is the null event: never allowed.
    std::map<std::string, int> eventIndex;
    d.eventTypes.push_back(EventAfterStep);
    out.eventNames.push_back("none");
    d.conditions.push_back({static_cast<uint16_t>(Program("never", fileName, headerLine)), 0, kNone});
    d.eventConditions.push_back({0, 0});
    for (const EventEntry& e : events) {
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
    for (const CounterEntry& c : counters)
        d.counterDefs.push_back({static_cast<uint16_t>(c.initial), static_cast<uint16_t>(eventRef(c.exhausted, c.file, c.line))});
    std::map<std::string, uint16_t> actionIndex;
    std::map<std::tuple<uint16_t, uint16_t, uint16_t>, uint16_t> conditionIndex;
    for (size_t k = 0; k < d.conditions.size(); ++k) {
        const RuleCondition& c = d.conditions[k];
        conditionIndex.emplace(std::make_tuple(c.program, c.pileA, c.pileB), static_cast<uint16_t>(k));
    }
    for (const EventEntry& e : events) {
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
                const auto key = std::make_tuple(rc.program, rc.pileA, rc.pileB);
                auto it = conditionIndex.find(key);
                if (it == conditionIndex.end()) {
                    it = conditionIndex.emplace(key, static_cast<uint16_t>(d.conditions.size())).first;
                    d.conditions.push_back(rc);
                }
                d.eventConditions.push_back({ev, it->second});
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
            const auto it = FindNamed(counters, e.counter);
            if (it == counters.end()) Fail(e.file, e.line, "no counter named '" + e.counter + "'");
            else d.eventCounters.push_back({ev, static_cast<uint16_t>(it - counters.begin())});
        }
    }
    if (d.actions.empty()) { Fail(fileName, headerLine, "the game has no action at all"); return false; }
    // Pile events.
    for (size_t i = 0; i < pileEntries.size(); ++i) {
        const PileOpts& o = finals[i];
        PileDef& p = d.piles[i];
        p.clickEvent = static_cast<uint16_t>(eventRef(o.click.value_or(""), o.file, o.line));
        p.emptyClickEvent = static_cast<uint16_t>(eventRef(o.emptyClick.value_or(""), o.file, o.line));
        p.dropEvent = static_cast<uint16_t>(eventRef(o.onDrop.value_or(""), o.file, o.line));
    }
    // Links: none written means every pile to every pile.
    if (links.empty()) d.links.push_back({kAnyPile, kAnyPile});
    for (size_t k = 0; k < links.size(); ++k)
        for (int s : Piles(links[k].first, linkLines[k], true))
            for (int t : Piles(links[k].second, linkLines[k], true))
                if (s != t || s == kAnyPile) d.links.push_back({static_cast<uint16_t>(s), static_cast<uint16_t>(t)});
    return ok;
}

bool GameCompiler::Finish(CompiledGame& out) {
    GameDefinitionData& d = out.def;
    def = &d;
    programIndex.clear();
    expressionIndex.clear();
    programNames.clear();
    Program("never", fileName, headerLine);   // program 0: never true (the null event's condition)
    if (gameName.empty() || gameName.size() > 31) Fail(fileName, headerLine, "a game's name has 1 to 31 characters");
    if (!gameId) Fail(fileName, headerLine, "the game has no 'id'");
    if (!gameCategory) Fail(fileName, headerLine, "the game has no 'category'");
    if (!gameSkill) Fail(fileName, headerLine, "the game has no 'difficulty'");
    if (!gameTime) Fail(fileName, headerLine, "the game has no 'time'");
    if (cardDefs.empty()) Fail(fileName, headerLine, "the game has no cards ('deck')");
    if (rulesText.empty()) Fail(fileName, headerLine, "the game has no rules text");
    else {
        if (rulesText.size() < 200 || rulesText.size() > 1500)
            Fail(fileName, rulesLine, "the rules text has " + std::to_string(rulesText.size()) + " characters; write 200 to 1500");
        if (rulesText.find("<b>") == std::string::npos) Fail(fileName, rulesLine, "the rules text has no <b> heading");
        int open = 0;
        for (size_t k = 0; k < rulesText.size(); ++k) {
            if (rulesText.compare(k, 3, "<b>") == 0) ++open;
            if (rulesText.compare(k, 4, "</b>") == 0) --open;
            if (open < 0 || open > 1) break;
        }
        if (open != 0) Fail(fileName, rulesLine, "every <b> of the rules text needs its </b>");
    }
    if (!ok) return false;
    d.id = static_cast<uint16_t>(*gameId);
    d.category = static_cast<uint16_t>(*gameCategory);
    d.skill = static_cast<uint16_t>(*gameSkill);
    d.timeClass = static_cast<uint16_t>(*gameTime);
    d.denseGrid = dense;
    d.name = gameName;
    d.extraCategories = extraCategories;
    d.rulesText = rulesText;
    d.cards = cardDefs;
    out.related = related;
    out.winFirst = winFirst;
    out.winRange = winRange;
    out.searchBudget = searchBudget;
    out.solver = solver;
    out.solverLayout = solverLayout;
    out.referee = refereeName;
    std::vector<PileOpts> finals;
    if (!BuildPiles(out, finals) || !BuildEvents(out, finals)) return false;
    if (std::none_of(d.actions.begin(), d.actions.end(), [](const ActionDef& a) { return a.kind == ActionFinishGame; }))
        Fail(fileName, headerLine, "no event finishes the game");
    CheckGuarantees(out, finals);
    CheckLayout(out, finals);
    // The referee's rules find their piles by name.
    referee::Rules rules;
    referee::ModelPiles piles;
    std::string why;
    if (!refereeName.empty() && referee::ParseRules(refereeName, rules, why) && !(why = referee::MapPiles(rules, out.pileNames, piles)).empty())
        Fail(refereeLine, "'referee': " + why);
    if (!ok) return false;
    AssignBases(out, finals);
    out.idLine = idLine;
    const std::vector<uint8_t> record = SerializeGameRecord(d);
    if (record.size() > 0xFFFF)
        return Fail(fileName, headerLine, "the compiled game takes " + std::to_string(record.size()) +
                                            " bytes; a game record holds at most 65535");
    const char* error = nullptr;
    if (!ValidateGameRecord(record.data(), record.size(), &error))
        return Fail(fileName, headerLine, std::string("the engine would refuse this game: ") + error);
    return true;
}

bool ReadLibrarySources(const std::string& gamesFolder, LibrarySources& out, std::vector<Diagnostic>& diags) {
    namespace fs = std::filesystem;
    bool ok = LoadBlocks(gamesFolder + "/blocks", out.blocks, diags);
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
        if (!IsName(p.stem().string())) {
            diags.push_back({p.string(), 1, "a game's file name is a letter, then letters, digits, '-' or '_'"});
            ok = false;
            continue;
        }
        if (out.files.count(f.key)) {
            diags.push_back({p.string(), 1, "another file is also named '" + f.key + "'"});
            ok = false;
            continue;
        }
        if ((p.extension() == ".family") != f.family) {
            diags.push_back({p.string(), 1, "a .family file starts with 'family', a .game file with 'game'"});
            ok = false;
            continue;
        }
        if (!f.family) out.gameKeys.push_back(f.key);
        out.files[f.key] = f;
    }
    return ok;
}

bool CompileGame(const LibrarySources& sources, const std::string& key, CompiledGame& out, std::vector<Diagnostic>& diags) {
    std::vector<Line> lines;
    if (!ExpandSource(sources.files, key, lines, diags)) return false;
    out.key = key;
    out.file = sources.files.at(key).path;
    GameCompiler compiler(sources.blocks, diags);
    return compiler.Compile(lines, out);
}

bool CompileGameText(LibrarySources& sources, const std::string& path, const std::string& text, CompiledGame& out,
                     std::vector<Diagnostic>& diags) {
    SourceFile f;
    f.key = "~" + std::filesystem::path(path).stem().string();
    if (!ReadSourceText(path, text, f, diags)) return false;
    if (f.family) {
        diags.push_back({path, 1, "a .family file starts with 'family', a .game file with 'game'"});
        return false;
    }
    const std::string key = f.key;
    sources.files[key] = std::move(f);
    const bool ok = CompileGame(sources, key, out, diags);
    sources.files.erase(key);
    return ok;
}

bool CompileLibrary(const std::string& gamesFolder, Library& out, std::vector<Diagnostic>& diags) {
    LibrarySources sources;
    bool ok = ReadLibrarySources(gamesFolder, sources, diags);
    if (!ok) return false;
    for (const std::string& key : sources.gameKeys) {
        CompiledGame g;
        if (!CompileGame(sources, key, g, diags)) { ok = false; continue; }
        out.games.push_back(std::move(g));
    }
    if (!ok) return false;
    // Library-wide checks: unique ids and names; related games exist.
    std::map<int, std::string> ids;
    std::map<std::string, int> names;
    for (const CompiledGame& g : out.games) {
        if (ids.count(g.def.id)) {
            diags.push_back({g.file, g.idLine, "id " + std::to_string(g.def.id) + " is already used by '" + ids[g.def.id] + "'"});
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
             (g.solverLayout.empty() ? "-" : g.solverLayout) + "\t" + (g.referee.empty() ? "-" : g.referee) + "\t" + piles +
             "\n";
    }
    return s;
}

}  // namespace corvelle::gamec
