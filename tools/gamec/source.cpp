#include "tools/gamec/source.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <set>

namespace corvelle::gamec {
namespace {

bool Tokenize(const std::string& raw, std::vector<std::string>& tok, std::string& error) {
    tok.clear();
    size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const size_t end = raw.find('"', i + 1);
            if (end == std::string::npos) {
                error = "unterminated quoted text";
                return false;
            }
            tok.push_back(raw.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t j = i;
            while (j < raw.size() && !std::isspace(static_cast<unsigned char>(raw[j])) && raw[j] != '#') ++j;
            tok.push_back(raw.substr(i, j - i));
            i = j;
        }
    }
    return true;
}

// Integer expressions inside {...}: + - * / % and parentheses, each value
// within +-kMaxInteger and nested at most kMaxExpressionNesting deep.
struct ExprParser {
    const std::string& s;
    size_t i = 0;
    std::string error;           // empty while the expression reads well
    int depth = 0;
    void Skip() { while (i < s.size() && s[i] == ' ') ++i; }
    bool Fails(const std::string& why) {
        if (error.empty()) error = why;
        return false;
    }
    long InRange(long v) {
        if (v > kMaxInteger || v < -kMaxInteger) Fails("a value leaves -" + std::to_string(kMaxInteger) + ".." + std::to_string(kMaxInteger));
        return error.empty() ? v : 0;
    }
    long Primary() {
        if (!error.empty()) return 0;
        Skip();
        if (i < s.size() && (s[i] == '(' || s[i] == '-')) {
            if (++depth > kMaxExpressionNesting) {
                Fails("nested deeper than " + std::to_string(kMaxExpressionNesting) + " levels");
                return 0;
            }
            long v = 0;
            if (s[i] == '(') {
                ++i;
                v = Sum();
                Skip();
                if (i < s.size() && s[i] == ')') ++i; else Fails("')' missing");
            } else {
                ++i;
                v = -Primary();
            }
            --depth;
            return v;
        }
        if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) {
            Fails("a number or '(' expected");
            return 0;
        }
        long v = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            v = v * 10 + (s[i++] - '0');
            if (InRange(v) != v) return 0;
        }
        return v;
    }
    long Product() {
        long v = Primary();
        for (Skip(); error.empty() && i < s.size() && (s[i] == '*' || s[i] == '/' || s[i] == '%'); Skip()) {
            const char op = s[i++];
            const long r = Primary();
            if ((op == '/' || op == '%') && r == 0) {
                Fails("division by zero");
                return 0;
            }
            // Both sides lie within +-kMaxInteger, so the product fits a long.
            v = InRange(op == '*' ? v * r : op == '/' ? v / r : v % r);
        }
        return v;
    }
    long Sum() {
        long v = Product();
        for (Skip(); error.empty() && i < s.size() && (s[i] == '+' || s[i] == '-'); Skip()) {
            const char op = s[i++];
            const long r = Product();
            v = InRange(op == '+' ? v + r : v - r);
        }
        return v;
    }
};

// The start of a long text, for a message.
std::string Excerpt(const std::string& s) {
    return s.size() <= 40 ? s : s.substr(0, 37) + "...";
}

bool Substitute(const std::string& in, const std::map<std::string, std::string>& vars, std::string& out,
                std::string& error) {
    std::string s;
    for (size_t i = 0; i < in.size();) {
        if (in[i] != '$') {
            s += in[i++];
            continue;
        }
        size_t j = i + 1;
        while (j < in.size() && (std::isalnum(static_cast<unsigned char>(in[j])) || in[j] == '_')) ++j;
        const std::string name = in.substr(i + 1, j - i - 1);
        const auto it = vars.find(name);
        if (it == vars.end()) {
            error = "unknown parameter '$" + name + "'";
            return false;
        }
        s += it->second;
        i = j;
    }
    out.clear();
    for (size_t i = 0; i < s.size();) {
        if (s[i] != '{') {
            out += s[i++];
            continue;
        }
        const size_t end = s.find('}', i);
        if (end == std::string::npos) {
            error = "'{' without '}'";
            return false;
        }
        const std::string expr = s.substr(i + 1, end - i - 1);
        ExprParser p{expr};
        const long v = p.Sum();
        p.Skip();
        if (p.error.empty() && p.i != expr.size()) p.error = "unexpected '" + std::string(1, expr[p.i]) + "'";
        if (!p.error.empty()) {
            error = "cannot evaluate {" + Excerpt(expr) + "}: " + p.error;
            return false;
        }
        out += std::to_string(v);
        i = end + 1;
    }
    return true;
}

bool ParseRange(const std::string& s, long& a, long& b) {
    const size_t dots = s.find("..");
    return dots != std::string::npos && ParseInteger(s.substr(0, dots), -kMaxInteger, kMaxInteger, a) &&
           ParseInteger(s.substr(dots + 2), -kMaxInteger, kMaxInteger, b);
}

// Expands lines[begin, end) into `out`. Stops at the first error inside a
// loop, so that a failing body is not reported once per pass.
bool Unroll(const std::vector<Line>& lines, size_t begin, size_t end, std::map<std::string, std::string>& vars,
            int loopDepth, std::vector<Line>& out, std::vector<Diagnostic>& diags) {
    bool ok = true;
    for (size_t i = begin; i < end; ++i) {
        const Line& l = lines[i];
        if (l.tok.empty() || l.tok[0] == "param" || l.tok[0] == "set") continue;
        if (l.tok[0] == "for") {
            // for VAR in A..B  ...  end
            if (loopDepth >= kMaxLoopNesting) {
                diags.push_back({l.file, l.line, "loops nest deeper than " + std::to_string(kMaxLoopNesting) + " levels"});
                return false;
            }
            size_t depth = 1, j = i + 1;
            for (; j < end; ++j) {
                const std::string& w = lines[j].tok.empty() ? std::string() : lines[j].tok[0];
                if (w == "for" || w == "event") ++depth;
                if (w == "end" && --depth == 0) break;
            }
            std::string range, error;
            long a = 0, b = 0;
            if (l.tok.size() != 4 || l.tok[2] != "in" || !Substitute(l.tok[3], vars, range, error) ||
                !ParseRange(range, a, b)) {
                diags.push_back({l.file, l.line, error.empty() ? "a loop reads: for NAME in FIRST..LAST (numbers within -" +
                                                                     std::to_string(kMaxInteger) + ".." + std::to_string(kMaxInteger) + ")"
                                                               : error});
                return false;
            }
            if (j >= end) {
                diags.push_back({l.file, l.line, "'for' without 'end'"});
                return false;
            }
            if (b >= a && b - a >= kMaxLoopIterations) {
                diags.push_back({l.file, l.line, "a loop runs at most " + std::to_string(kMaxLoopIterations) + " times; " +
                                                     range + " would run " + std::to_string(b - a + 1)});
                return false;
            }
            const auto saved = vars.find(l.tok[1]) != vars.end() ? vars[l.tok[1]] : std::string();
            for (long v = a; v <= b && ok; ++v) {
                vars[l.tok[1]] = std::to_string(v);
                ok = Unroll(lines, i + 1, j, vars, loopDepth + 1, out, diags);
            }
            if (saved.empty()) vars.erase(l.tok[1]); else vars[l.tok[1]] = saved;
            if (!ok) return false;
            i = j;
            continue;
        }
        if (out.size() >= kMaxExpandedStatements) {
            diags.push_back({l.file, l.line, "the game expands to more than " + std::to_string(kMaxExpandedStatements) + " statements"});
            return false;
        }
        Line copy = l;
        for (std::string& t : copy.tok) {
            std::string error, s;
            if (!Substitute(t, vars, s, error)) {
                diags.push_back({l.file, l.line, error});
                ok = false;
            }
            t = s;
        }
        out.push_back(copy);
    }
    return ok;
}

}  // namespace

bool ParseInteger(const std::string& s, long min, long max, long& value) {
    size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    long v = 0;
    for (; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        if (v > (kMaxInteger * 2 + 1 - (s[i] - '0')) / 10) return false;   // far outside any range asked for
        v = v * 10 + (s[i] - '0');
    }
    v = s[0] == '-' ? -v : v;
    if (v < min || v > max) return false;
    value = v;
    return true;
}

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

bool ReadSourceFile(const std::string& path, SourceFile& out, std::vector<Diagnostic>& diags) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        diags.push_back({path, 0, "cannot open the file"});
        return false;
    }
    in.seekg(0, std::ios::end);
    if (in.tellg() > static_cast<std::streamoff>(kMaxFileBytes)) {
        diags.push_back({path, 1, "the file is larger than " + std::to_string(kMaxFileBytes) + " bytes"});
        return false;
    }
    in.seekg(0);
    std::stringstream text;
    text << in.rdbuf();
    return ReadSourceText(path, text.str(), out, diags);
}

bool ReadSourceText(const std::string& path, const std::string& text, SourceFile& out, std::vector<Diagnostic>& diags) {
    if (text.size() > kMaxFileBytes) {
        diags.push_back({path, 1, "the file is larger than " + std::to_string(kMaxFileBytes) + " bytes"});
        return false;
    }
    std::istringstream in(text);
    out.path = path;
    std::string raw;
    int lineNo = 0;
    bool ok = true;
    Line* rules = nullptr;
    std::vector<std::string> ruleLines;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.find('\0') != std::string::npos) {
            diags.push_back({path, lineNo, "a NUL byte in the file"});
            ok = false;
            continue;
        }
        if (rules) {
            if (Trim(raw) == "end") {
                while (!ruleLines.empty() && ruleLines.back().empty()) ruleLines.pop_back();
                for (size_t k = 0; k < ruleLines.size(); ++k)
                    rules->text += (k ? "\n" : "") + ruleLines[k];
                rules = nullptr;
            } else if (!(ruleLines.empty() && Trim(raw).empty())) {
                ruleLines.push_back(Trim(raw));
            }
            continue;
        }
        Line l{path, lineNo, {}, {}};
        std::string error;
        if (!Tokenize(raw, l.tok, error)) {
            diags.push_back({path, lineNo, error});
            ok = false;
            continue;
        }
        if (l.tok.empty()) continue;
        out.lines.push_back(l);
        if (l.tok[0] == "rules") {
            if (l.tok.size() != 1) {
                diags.push_back({path, lineNo, "'rules' stands alone; the text follows on the next lines"});
                ok = false;
            }
            rules = &out.lines.back();
            ruleLines.clear();
        }
    }
    if (rules) {
        diags.push_back({path, rules->line, "rules text not closed by 'end'"});
        ok = false;
    }
    if (out.lines.empty() || (out.lines[0].tok[0] != "game" && out.lines[0].tok[0] != "family") ||
        out.lines[0].tok.size() != 2) {
        diags.push_back({path, out.lines.empty() ? 1 : out.lines[0].line,
                         "a file starts with 'game \"Name\"' or 'family NAME'"});
        return false;
    }
    out.family = out.lines[0].tok[0] == "family";
    for (const Line& l : out.lines)
        if (l.tok[0] == "from") {
            if (l.tok.size() != 2 || &l != &out.lines[1]) {
                diags.push_back({path, l.line, "'from NAME' comes once, right after the first line"});
                ok = false;
            } else {
                out.parent = l.tok[1];
            }
        }
    return ok;
}

bool ExpandSource(const std::map<std::string, SourceFile>& files, const std::string& key,
                  std::vector<Line>& out, std::vector<Diagnostic>& diags) {
    // The chain of ancestors, oldest first.
    std::vector<const SourceFile*> chain;
    std::set<std::string> seen;
    for (std::string k = key; !k.empty();) {
        // The game itself by its key; the files it starts from prefer families.
        auto it = chain.empty() ? files.find(k) : files.find("family:" + k);
        if (it == files.end()) it = files.find(k);
        if (it == files.end()) {
            const SourceFile& child = *chain.back();
            diags.push_back({child.path, child.lines[1].line, "'from' names '" + k + "', which is no game or family"});
            return false;
        }
        if (!seen.insert(it->first).second) {
            diags.push_back({it->second.path, 1, "'from' chain loops back to '" + k + "'"});
            return false;
        }
        chain.push_back(&it->second);
        k = it->second.parent;
    }
    std::vector<Line> all;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const Line& l : (*it)->lines)
            if (l.tok[0] != "from" && (l.tok[0] != "family" || *it == chain.front()) &&
                (l.tok[0] != "game" || *it == chain.front()))
                all.push_back(l);
    // Parameters: `param` gives a default, `set` overrides; later lines win.
    std::map<std::string, std::string> vars;
    bool ok = true;
    for (const Line& l : all) {
        if (l.tok[0] != "param" && l.tok[0] != "set") continue;
        if (l.tok.size() != 3) {
            diags.push_back({l.file, l.line, "'" + l.tok[0] + "' reads: " + l.tok[0] + " NAME VALUE"});
            ok = false;
            continue;
        }
        if (l.tok[0] == "set" || !vars.count(l.tok[1])) vars[l.tok[1]] = l.tok[2];
    }
    for (const Line& l : all)
        if (l.tok[0] == "set" && l.tok.size() == 3 && !std::any_of(all.begin(), all.end(), [&](const Line& p) {
                return p.tok[0] == "param" && p.tok.size() == 3 && p.tok[1] == l.tok[1];
            })) {
            diags.push_back({l.file, l.line, "'set " + l.tok[1] + "': no family declares that parameter"});
            ok = false;
        }
    // Parameter values may themselves be {expressions}.
    for (auto& [name, value] : vars) {
        std::string error, s;
        if (Substitute(value, vars, s, error)) value = s;
    }
    return Unroll(all, 0, all.size(), vars, 0, out, diags) && ok;
}

}  // namespace corvelle::gamec
