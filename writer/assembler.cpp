#include "writer/assembler.h"

#include <cctype>

#include "engine/rules.h"

namespace corvelle {
namespace {

constexpr const char* kNames[] = {
    "END", "PUSH", "BLOCK", "ENDBLOCK", "LOOP", "ENDLOOP", "ADD", "SUB", "MUL", "DIV",
    "ABS", "DUP", "PARITY", "DROP", "ROLLDOWN", "ROLLUP", "SWAP", "SAVE2", "SAVESEQ", "BREAK",
    "ENDIF", "ELSE", "IF", "NEXTCARD", "LOAD", "RANK", "RESETCARD", "EXIT", "SUIT", "SWITCHLIST",
};
constexpr int kNameCount = static_cast<int>(sizeof kNames / sizeof kNames[0]);
static_assert(kNameCount == OpSwitchList + 1, "one name per opcode");

struct Token {
    std::string_view text;
    int line;
    int column;
};

// Splits the text into tokens, dropping blanks, commas and comments.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view source) : text(source) {}

    bool Next(Token& token) {
        for (;;) {
            if (at >= text.size())
                return false;
            const char c = text[at];
            if (c == '\n') {
                ++line;
                lineStart = ++at;
            } else if (c == '#' || c == ';') {
                while (at < text.size() && text[at] != '\n')
                    ++at;
            } else if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
                ++at;
            } else {
                break;
            }
        }
        const size_t start = at;
        while (at < text.size()) {
            const char c = text[at];
            if (c == ',' || c == '#' || c == ';' || std::isspace(static_cast<unsigned char>(c)))
                break;
            ++at;
        }
        token = Token{text.substr(start, at - start), line, static_cast<int>(start - lineStart) + 1};
        return true;
    }

private:
    std::string_view text;
    size_t at = 0;
    size_t lineStart = 0;
    int line = 1;
};

bool SameName(std::string_view token, const char* name) {
    size_t i = 0;
    for (; i < token.size() && name[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(token[i])) != name[i])
            return false;
    return i == token.size() && name[i] == 0;
}

bool ParseByte(std::string_view token, uint8_t& value) {
    if (token.empty() || token.size() > 3)
        return false;
    unsigned v = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > 255)
        return false;
    value = static_cast<uint8_t>(v);
    return true;
}

bool Report(AssemblerError* error, const Token& token, std::string message) {
    if (error) {
        error->line = token.line;
        error->column = token.column;
        error->token = std::string(token.text);
        error->message = std::move(message);
    }
    return false;
}

}  // namespace

std::string AssemblerError::ToString() const {
    std::string s = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message;
    if (!token.empty())
        s += " '" + token + "'";
    return s;
}

const char* RuleOpcodeName(uint8_t opcode) {
    return opcode < kNameCount ? kNames[opcode] : nullptr;
}

bool AssembleRuleProgram(std::string_view text, std::vector<uint8_t>& out, AssemblerError* error) {
    out.clear();
    Tokenizer tokens(text);
    Token token;
    while (tokens.Next(token)) {
        const bool isPush = SameName(token.text, "PUSH");
        if (isPush || SameName(token.text, "BYTE")) {
            Token operand;
            uint8_t value = 0;
            if (!tokens.Next(operand) || operand.line != token.line) {
                out.clear();
                return Report(error, token, "missing value 0 to 255 after");
            }
            if (!ParseByte(operand.text, value)) {
                out.clear();
                return Report(error, operand, "expected a value 0 to 255, got");
            }
            if (isPush) {
                out.insert(out.end(), {OpPush, value, 1});
            } else {
                out.push_back(value);
            }
            continue;
        }
        int op = 0;
        while (op < kNameCount && !SameName(token.text, kNames[op]))
            ++op;
        if (op == kNameCount) {
            out.clear();
            return Report(error, token, "unknown mnemonic");
        }
        out.push_back(static_cast<uint8_t>(op));
    }
    return true;
}

std::string DisassembleRuleProgram(const uint8_t* program, size_t length) {
    std::string text;
    int depth = 0;
    for (size_t at = 0; at < length;) {
        const uint8_t op = program[at];
        if (op == OpEndBlock || op == OpEndLoop || op == OpEndIf || op == OpElse)
            depth = depth > 0 ? depth - 1 : 0;
        text.append(static_cast<size_t>(depth) * 2, ' ');
        if (op == OpPush && at + 2 < length && program[at + 2] == 1) {
            text += "PUSH " + std::to_string(program[at + 1]);
            at += 3;
        } else if (op == OpPush || op >= kNameCount) {
            // A PUSH without its trailing 1 byte, or an unused opcode.
            text += "BYTE " + std::to_string(op);
            ++at;
        } else {
            text += kNames[op];
            ++at;
        }
        text += '\n';
        if (op == OpBlock || op == OpLoop || op == OpIf || op == OpElse)
            ++depth;
    }
    return text;
}

}  // namespace corvelle
