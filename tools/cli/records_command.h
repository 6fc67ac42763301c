// corvelle-cli records: the saved games, statistics and best times kept
// below a program key of the current user's registry.
#pragma once

#include <string>
#include <vector>

namespace corvelle {

// Appends a readable listing of the records below `root` to `out`. Looking
// changes nothing: keys are only opened, never created.
void PrintRecords(const std::u16string& root, std::string& out);

// The command: "records [--root KEY]" with the words after "records";
// returns the process exit code.
int RunRecordsCommand(const std::vector<std::u16string>& args);

}  // namespace corvelle
