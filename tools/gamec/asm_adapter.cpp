#include "tools/gamec/asm_adapter.h"

#include "writer/assembler.h"

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
