#include "tools/gamec/asm_adapter.h"

#if __has_include("engine/assembler.h")
#include "engine/assembler.h"

namespace corvelle::gamec {

bool AssembleText(const std::string& text, std::vector<uint8_t>& out, std::string& error) {
    AssemblerError e;
    if (AssembleRuleProgram(text, out, &e))
        return true;
    error = e.ToString();
    return false;
}

std::string DisassembleBytes(const uint8_t* program, size_t length) {
    return DisassembleRuleProgram(program, length);
}

}  // namespace corvelle::gamec
#else
// Until the engine carries its assembler: the opcode table alone.
#include <cctype>
#include <sstream>

#include "engine/rules.h"

namespace corvelle::gamec {
namespace {
const char* const kNames[] = {"END", "PUSH", "BLOCK", "ENDBLOCK", "LOOP", "ENDLOOP", "ADD", "SUB",
                              "MUL", "DIV", "ABS", "DUP", "PARITY", "DROP", "ROLLDOWN", "ROLLUP",
                              "SWAP", "SAVE2", "SAVESEQ", "BREAK", "ENDIF", "ELSE", "IF", "NEXTCARD",
                              "LOAD", "RANK", "RESETCARD", "EXIT", "SUIT", "SWITCHLIST"};
}

bool AssembleText(const std::string& text, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        for (char& c : word)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        int op = -1;
        for (int i = 0; i < 30; ++i)
            if (word == kNames[i])
                op = i;
        if (op < 0) {
            error = "unknown mnemonic '" + word + "'";
            out.clear();
            return false;
        }
        out.push_back(static_cast<uint8_t>(op));
        if (op == OpPush) {
            int v = -1;
            if (!(in >> v) || v < 0 || v > 255) {
                error = "PUSH needs a value 0..255";
                out.clear();
                return false;
            }
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(1);
        }
    }
    return true;
}

std::string DisassembleBytes(const uint8_t* program, size_t length) {
    std::string s;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t op = program[i];
        s += op < 30 ? kNames[op] : "BYTE " + std::to_string(op);
        if (op == OpPush && i + 1 < length) {
            s += " " + std::to_string(program[i + 1]);
            i += 2;
        }
        s += "\n";
    }
    return s;
}

}  // namespace corvelle::gamec
#endif
