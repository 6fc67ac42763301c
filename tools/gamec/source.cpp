#include "tools/gamec/source.h"

#include <algorithm>
#include <cctype>
#include <fstream>
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

// Integer expressions inside {...}: + - * / % and parentheses.
struct ExprParser {
    const std::string& s;
    size_t i = 0;
    bool ok = true;
    void Skip() { while (i < s.size() && s[i] == ' ') ++i; }
    long Primary() {
        Skip();
        if (i < s.size() && s[i] == '(') {
            ++i;
            const long v = Sum();
            Skip();
            if (i < s.size() && s[i] == ')') ++i; else ok = false;
            return v;
        }
        if (i < s.size() && s[i] == '-') {
            ++i;
            return -Primary();
        }
        if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) {
            ok = false;
            return 0;
        }
        long v = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) v = v * 10 + (s[i++] - '0');
        return v;
    }
    long Product() {
        long v = Primary();
        for (Skip(); i < s.size() && (s[i] == '*' || s[i] == '/' || s[i] == '%'); Skip()) {
            const char op = s[i++];
            const long r = Primary();
            if ((op == '/' || op == '%') && r == 0) { ok = false; return 0; }
            v = op == '*' ? v * r : op == '/' ? v / r : v % r;
        }
        return v;
    }
    long Sum() {
        long v = Product();
        for (Skip(); i < s.size() && (s[i] == '+' || s[i] == '-'); Skip()) {
            const char op = s[i++];
            const long r = Product();
            v = op == '+' ? v + r : v - r;
        }
        return v;
    }
};

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
        if (!p.ok || p.i != expr.size()) {
            error = "cannot evaluate {" + expr + "}";
            return false;
        }
        out += std::to_string(v);
        i = end + 1;
    }
    return true;
}

bool ParseRange(const std::string& s, long& a, long& b) {
    const size_t dots = s.find("..");
    if (dots == std::string::npos) return false;
    try {
        a = std::stol(s.substr(0, dots));
        b = std::stol(s.substr(dots + 2));
    } catch (...) {
        return false;
    }
    return true;
}

bool Unroll(const std::vector<Line>& lines, size_t begin, size_t end, std::map<std::string, std::string>& vars,
            std::vector<Line>& out, std::vector<Diagnostic>& diags) {
    bool ok = true;
    for (size_t i = begin; i < end; ++i) {
        const Line& l = lines[i];
        if (l.tok.empty() || l.tok[0] == "param" || l.tok[0] == "set") continue;
        if (l.tok[0] == "for") {
            // for VAR in A..B  ...  end
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
                diags.push_back({l.file, l.line, error.empty() ? "a loop reads: for NAME in FIRST..LAST" : error});
                return false;
            }
            if (j >= end) {
                diags.push_back({l.file, l.line, "'for' without 'end'"});
                return false;
            }
            const auto saved = vars.find(l.tok[1]) != vars.end() ? vars[l.tok[1]] : std::string();
            for (long v = a; v <= b; ++v) {
                vars[l.tok[1]] = std::to_string(v);
                ok = Unroll(lines, i + 1, j, vars, out, diags) && ok;
            }
            if (saved.empty()) vars.erase(l.tok[1]); else vars[l.tok[1]] = saved;
            i = j;
            continue;
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

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

bool ReadSourceFile(const std::string& path, SourceFile& out, std::vector<Diagnostic>& diags) {
    std::ifstream in(path);
    if (!in) {
        diags.push_back({path, 0, "cannot open the file"});
        return false;
    }
    out.path = path;
    std::string raw;
    int lineNo = 0;
    bool ok = true;
    Line* rules = nullptr;
    std::vector<std::string> ruleLines;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
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
        if (l.tok[0] == "set" && !std::any_of(all.begin(), all.end(), [&](const Line& p) {
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
    return Unroll(all, 0, all.size(), vars, out, diags) && ok;
}

}  // namespace corvelle::gamec
