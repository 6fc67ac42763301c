// The building blocks of rule programs: loading games/blocks/*.blk and
// expanding block calls and program expressions into mnemonic text.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/gamec/gamec.h"
#include "tools/gamec/source.h"

namespace corvelle::gamec {
namespace {

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

// Splits "a,b(c,d),e" at the commas that are not inside parentheses.
std::vector<std::string> SplitTop(const std::string& s, char sep) {
    std::vector<std::string> parts;
    int depth = 0;
    std::string cur;
    for (char c : s) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == sep && depth == 0) {
            parts.push_back(Trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(Trim(cur));
    return parts;
}

// "name(a,b)" -> name, {a, b}. False when the parentheses do not match.
bool SplitCall(const std::string& call, std::string& name, std::vector<std::string>& args) {
    const size_t open = call.find('(');
    args.clear();
    if (open == std::string::npos) {
        name = Trim(call);
        return !name.empty() && call.find(')') == std::string::npos;
    }
    if (call.back() != ')')
        return false;
    name = Trim(call.substr(0, open));
    const std::string inner = call.substr(open + 1, call.size() - open - 2);
    int depth = 0;
    for (char c : inner) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth < 0)
            return false;
    }
    if (depth != 0)
        return false;
    if (!Trim(inner).empty())
        args = SplitTop(inner, ',');
    return !name.empty();
}

}  // namespace

bool BlockLibrary::Expand(const std::string& call, std::string& text, std::string& error, int depth) const {
    if (depth > 16) {
        error = "blocks include each other too deeply at '" + call + "'";
        return false;
    }
    std::string name;
    std::vector<std::string> args;
    if (!SplitCall(call, name, args)) {
        error = "malformed block call '" + call + "'";
        return false;
    }
    const auto it = blocks.find(name);
    if (it == blocks.end()) {
        error = "unknown block '" + name + "'";
        return false;
    }
    const Block& b = it->second;
    if (args.size() != b.params.size()) {
        error = "block '" + name + "' takes " + std::to_string(b.params.size()) + " argument(s), not " +
                std::to_string(args.size());
        return false;
    }
    // Substitute $PARAM (longest names first, so $NN is not cut by $N).
    std::string body = b.body;
    std::vector<size_t> order(b.params.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t x, size_t y) { return b.params[x].size() > b.params[y].size(); });
    for (size_t i : order) {
        const std::string key = "$" + b.params[i];
        for (size_t at = body.find(key); at != std::string::npos; at = body.find(key, at + args[i].size()))
            body.replace(at, key.size(), args[i]);
    }
    if (body.find('$') != std::string::npos) {
        error = "block '" + name + "' uses a parameter it does not declare";
        return false;
    }
    // Expand @includes.
    std::string out;
    for (size_t i = 0; i < body.size();) {
        if (body[i] != '@') {
            out += body[i++];
            continue;
        }
        size_t j = i + 1;
        while (j < body.size() && IsNameChar(body[j])) ++j;
        if (j < body.size() && body[j] == '(') {
            int d = 0;
            do {
                d += body[j] == '(' ? 1 : body[j] == ')' ? -1 : 0;
                ++j;
            } while (j < body.size() && d > 0);
        }
        std::string inner;
        if (!Expand(body.substr(i + 1, j - i - 1), inner, error, depth + 1))
            return false;
        out += " " + inner + " ";
        if (out.size() > kMaxRuleText) break;
        i = j;
    }
    if (out.size() > kMaxRuleText) {
        error = "block '" + name + "' expands to more than " + std::to_string(kMaxRuleText) + " characters";
        return false;
    }
    text = out;
    return true;
}

bool BlockLibrary::CompileExpression(const std::string& expr, std::string& text, std::string& error) const {
    // or over and-chains; built from the right so that each IF pops one value.
    const std::vector<std::string> alternatives = SplitTop(expr, '|');
    if (static_cast<size_t>(std::count(expr.begin(), expr.end(), '|') + std::count(expr.begin(), expr.end(), '&')) >=
        kMaxRuleTerms) {
        error = "a rule joins at most " + std::to_string(kMaxRuleTerms) + " calls with '&' and '|'";
        return false;
    }
    std::vector<std::string> altTexts;
    for (const std::string& alt : alternatives) {
        const std::vector<std::string> terms = SplitTop(alt, '&');
        std::vector<std::string> termTexts;
        for (std::string term : terms) {
            bool negate = false;
            if (!term.empty() && term[0] == '!') {
                negate = true;
                term = Trim(term.substr(1));
            }
            std::string name;
            std::vector<std::string> args;
            if (term.empty() || !SplitCall(term, name, args)) {
                error = "malformed program expression '" + expr + "'";
                return false;
            }
            const auto it = blocks.find(name);
            if (it != blocks.end() && it->second.fragment) {
                error = "'" + name + "' is a fragment, not a whole rule";
                return false;
            }
            std::string t;
            if (!Expand(term, t, error))
                return false;
            termTexts.push_back(negate ? t + " IF PUSH 1 ELSE PUSH 0 ENDIF" : t);
        }
        std::string chain = termTexts.back();
        for (size_t i = termTexts.size() - 1; i-- > 0;)
            chain = termTexts[i] + " IF " + chain + " ELSE PUSH 1 ENDIF";
        altTexts.push_back(chain);
    }
    std::string chain = altTexts.back();
    for (size_t i = altTexts.size() - 1; i-- > 0;)
        chain = altTexts[i] + " IF PUSH 0 ELSE " + chain + " ENDIF";
    text = chain;
    return true;
}

bool ParseTestCards(const std::string& text, std::vector<uint32_t>& suitRank) {
    suitRank.clear();
    std::istringstream in(text);
    std::string card;
    while (in >> card) {
        if (card == "-")
            continue;
        if (card == "xx") {
            suitRank.push_back(6);
            suitRank.push_back(15);
            continue;
        }
        if (card.size() != 2)
            return false;
        const unsigned r = RankOfLetter(card[0]), s = SuitOfLetter(card[1]);
        if (!r || !s)
            return false;
        suitRank.push_back(s);
        suitRank.push_back(r);
    }
    return true;
}

bool LoadBlocks(const std::string& folder, BlockLibrary& out, std::vector<Diagnostic>& diags) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".blk")
            files.push_back(entry.path());
    if (ec) {
        diags.push_back({folder, 0, "cannot read the blocks folder"});
        return false;
    }
    std::sort(files.begin(), files.end());
    bool ok = true;
    for (const fs::path& path : files) {
        std::ifstream in(path);
        std::string raw;
        int lineNo = 0;
        Block* current = nullptr;
        const std::string file = path.string();
        auto fail = [&](int line, const std::string& message) {
            diags.push_back({file, line, message});
            ok = false;
        };
        while (std::getline(in, raw)) {
            ++lineNo;
            std::string line = raw.substr(0, raw.find('#'));
            line = Trim(line);
            if (line.empty())
                continue;
            std::istringstream words(line);
            std::string first;
            words >> first;
            if (!current) {
                if (first != "block" && first != "fragment") {
                    fail(lineNo, "expected 'block' or 'fragment', found '" + first + "'");
                    continue;
                }
                Block b;
                words >> b.name;
                for (std::string p; words >> p;)
                    b.params.push_back(p);
                b.fragment = first == "fragment";
                b.file = file;
                b.line = lineNo;
                if (b.name.empty()) {
                    fail(lineNo, "a block needs a name");
                    continue;
                }
                if (out.blocks.count(b.name)) {
                    fail(lineNo, "block '" + b.name + "' is defined twice");
                    continue;
                }
                current = &out.blocks[b.name];
                *current = b;
                continue;
            }
            if (first == "end") {
                if (!current->fragment && current->tests.empty())
                    fail(current->line, "block '" + current->name + "' has no tests");
                current = nullptr;
            } else if (first == "doc") {
                current->doc += Trim(line.substr(3)) + " ";
            } else if (first == "test") {
                BlockTest t;
                t.line = lineNo;
                const size_t colon = line.find(':'), arrow = line.find("=>");
                if (colon == std::string::npos || arrow == std::string::npos || arrow < colon) {
                    fail(lineNo, "a test reads: test [NAME=VALUE ...] : CARDS [/ CARDS] => yes|no");
                    continue;
                }
                std::istringstream argWords(line.substr(4, colon - 4));
                for (std::string kv; argWords >> kv;) {
                    const size_t eq = kv.find('=');
                    if (eq == std::string::npos) {
                        fail(lineNo, "test argument '" + kv + "' is not NAME=VALUE");
                        continue;
                    }
                    t.args[kv.substr(0, eq)] = kv.substr(eq + 1);
                }
                std::string lists = line.substr(colon + 1, arrow - colon - 1);
                const size_t slash = lists.find('/');
                t.listA = Trim(lists.substr(0, slash));
                if (slash != std::string::npos) {
                    t.hasB = true;
                    t.listB = Trim(lists.substr(slash + 1));
                }
                const std::string verdict = Trim(line.substr(arrow + 2));
                if (verdict != "yes" && verdict != "no") {
                    fail(lineNo, "a test ends in '=> yes' or '=> no'");
                    continue;
                }
                t.expected = verdict == "yes";
                std::vector<uint32_t> tmp;
                if (!ParseTestCards(t.listA, tmp) || !ParseTestCards(t.listB, tmp)) {
                    fail(lineNo, "unreadable card in a test list");
                    continue;
                }
                current->tests.push_back(t);
            } else {
                current->body += line + "\n";
            }
        }
        if (current)
            fail(lineNo, "block '" + current->name + "' is not closed by 'end'");
    }
    return ok;
}

}  // namespace corvelle::gamec
