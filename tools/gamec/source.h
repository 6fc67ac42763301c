// Reading game files: lines of tokens, inheritance, parameters and loops.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/gamec/gamec.h"

namespace corvelle::gamec {

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

bool ReadSourceFile(const std::string& path, SourceFile& out, std::vector<Diagnostic>& diags);

// The statements of `key` with its ancestors' first, parameters substituted,
// {expressions} evaluated and `for` loops unrolled.
bool ExpandSource(const std::map<std::string, SourceFile>& files, const std::string& key,
                  std::vector<Line>& out, std::vector<Diagnostic>& diags);

}  // namespace corvelle::gamec
