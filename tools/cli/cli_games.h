// The game commands of corvelle-cli: show, deal, play, hints, solve, check.
#pragma once

#include <string>
#include <vector>

namespace corvelle::cli {

// The category names `list` and `show` print, indexed by GameCategory.
inline constexpr const char* kCategoryNames[] = {"Other", "Addition", "Canfield", "Castle", "Fan", "40Thieves",
                                                 "FreeCell", "Klondike", "Spider", "Terrace", "Yukon"};

// Each returns the process exit status. `args` are the words after the
// command; `db` is the database folder (it also holds library.txt).
int ShowCommand(const std::string& db, const std::vector<std::string>& args);
int DealCommand(const std::string& db, const std::vector<std::string>& args);
int PlayCommand(const std::string& db, const std::vector<std::string>& args);
int HintsCommand(const std::string& db, const std::vector<std::string>& args);
int SolveCommand(const std::string& db, const std::vector<std::string>& args);
int CheckCommand(const std::string& db, const std::vector<std::string>& args);

// The help text of these commands (their output formats included).
const char* GameCommandsHelp();

}  // namespace corvelle::cli
