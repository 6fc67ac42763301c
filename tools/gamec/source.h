// Reading game files: lines of tokens, inheritance, parameters and loops.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/gamec/gamec.h"

namespace corvelle::gamec {

// The preprocessor's limits; each is refused with a FILE:LINE message
// (README.md, "Adding a game", lists them).
constexpr long kMaxInteger = 2147483647;          // |value| in {expressions} and loop bounds
constexpr int kMaxExpressionNesting = 64;         // parentheses and signs inside one {expression}
constexpr int kMaxLoopNesting = 16;               // `for` loops inside each other
constexpr long kMaxLoopIterations = 1000;         // passes of one `for` loop
constexpr size_t kMaxExpandedStatements = 20000;  // statements of one game after expansion
constexpr size_t kMaxFileBytes = 1000000;         // size of one game or family file

struct Line {
    std::string file;
    int line = 0;
    std::vector<std::string> tok;
    std::string text;            // the text of a `rules` block
};

struct SourceFile {
    std::string key;             // file name without extension
    std::string path;
    bool family = false;
    std::string parent;          // key named by `from`
    std::vector<Line> lines;     // every statement, the header included
};

// Text without the blanks at either end.
std::string Trim(const std::string& s);
// Reads `s` as a whole decimal number (an optional '-' and digits only)
// within min..max.
bool ParseInteger(const std::string& s, long min, long max, long& value);

bool ReadSourceFile(const std::string& path, SourceFile& out, std::vector<Diagnostic>& diags);
// The same for a file's text; `path` names it in diagnostics.
bool ReadSourceText(const std::string& path, const std::string& text, SourceFile& out, std::vector<Diagnostic>& diags);

// The statements of `key` with its ancestors' first, parameters substituted,
// {expressions} evaluated and `for` loops unrolled.
bool ExpandSource(const std::map<std::string, SourceFile>& files, const std::string& key,
                  std::vector<Line>& out, std::vector<Diagnostic>& diags);

// A library folder read but not compiled: its blocks and every game and
// family file by key (a family's key is "family:NAME").
struct LibrarySources {
    BlockLibrary blocks;
    std::map<std::string, SourceFile> files;
    std::vector<std::string> gameKeys;
};
bool ReadLibrarySources(const std::string& gamesFolder, LibrarySources& out, std::vector<Diagnostic>& diags);
// Compiles the game `key` of `sources`.
bool CompileGame(const LibrarySources& sources, const std::string& key, CompiledGame& out, std::vector<Diagnostic>& diags);
// Compiles one game given as text, named `path` in diagnostics, against the
// families and games of `sources` (which it leaves as it found them).
bool CompileGameText(LibrarySources& sources, const std::string& path, const std::string& text, CompiledGame& out,
                     std::vector<Diagnostic>& diags);

}  // namespace corvelle::gamec
