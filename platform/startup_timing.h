// The start-up breakdown: with the environment variable
// CORVELLE_STARTUP_TIMES naming a file, each start appends one line to it,
// the time in milliseconds of each start-up step as "step=ms" separated by
// spaces, the first step counted from the process's creation (scripts/
// bench-app.sh prints their medians). Without the variable every call does
// nothing and costs one test of a flag.
#pragma once

namespace corvelle::startup_timing {

// Whether the breakdown is being taken.
bool On();
// Ends step `name` (a string literal, without spaces): the time since the
// previous step ended is its time.
void Step(const char* name);
// Appends the line of the steps taken so far and ends the breakdown (later
// calls do nothing).
void Finish();

}  // namespace corvelle::startup_timing
