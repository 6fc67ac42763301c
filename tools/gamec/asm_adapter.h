// The game compiler's door to the rule-program assembler: mnemonic text to
// bytecode and back. It uses the engine's assembler (engine/assembler.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvelle::gamec {

// Assembles mnemonic text; on failure returns false with a one-line reason.
bool AssembleText(const std::string& text, std::vector<uint8_t>& out, std::string& error);
// One instruction per line, for `corvelle-cli show`.
std::string DisassembleBytes(const uint8_t* program, size_t length);

}  // namespace corvelle::gamec
