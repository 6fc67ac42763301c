// The preferences as the program stored them, checked value by value
// against what each may hold: the end-to-end tests' and the soak's referee,
// reading the registry directly rather than through the program's loader.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace corvelle::drive {

// What is wrong with the stored preferences ("" when every value lies in
// its range), for a work area `work` and a library of `games` games. After
// a clean close (`closedCleanly`) the run marker must be 0; while the
// program runs it is 0 or 1.
std::string StoredPreferencesOutOfRange(const RECT& work, uint32_t games, bool closedCleanly);

// What is wrong with the command bar's stored layout ("" when each command
// stands at one place below the stored count of items, or at none). The
// program keeps a layout it read as it was (the bar takes any), so this
// holds for the layouts it makes itself, not for any it was given.
std::string StoredCommandBarLayoutWrong();

}  // namespace corvelle::drive
