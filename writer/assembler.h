// Text form of rule programs: one mnemonic per instruction, as in
//
//     SUIT RANK ADD          # true when list A is empty
//     PUSH 3                 # PUSH takes a value 0..255
//
// Mnemonics are case-insensitive and separated by blanks, commas or line
// ends; '#' or ';' starts a comment that runs to the end of the line.
// "BYTE n" emits one raw byte (used for bytes that are no valid instruction,
// so that every byte string has a text form). The program bytes come out as
// the game record stores them: without the END byte that the loader appends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvelle {

struct AssemblerError {
    int line = 0;       // 1-based
    int column = 0;     // 1-based, of the offending token
    std::string token;
    std::string message;
    // "line 3, column 7: unknown mnemonic 'SUITE'"
    std::string ToString() const;
};

// Assembles `text` into `out` (replaced). On failure returns false, leaves
// `out` empty and fills `error` when given.
bool AssembleRuleProgram(std::string_view text, std::vector<uint8_t>& out,
                         AssemblerError* error = nullptr);

// The mnemonic of an opcode, or nullptr for bytes 30..255.
const char* RuleOpcodeName(uint8_t opcode);

// One instruction per line, indented by the nesting of BLOCK, LOOP and IF.
// Assembling the result gives back exactly `length` bytes of `program`.
std::string DisassembleRuleProgram(const uint8_t* program, size_t length);

}  // namespace corvelle
