// The command bar's layout as a list: which command sits at each place of
// the bar, separators included. The bar's stored form is a count of items
// and, per command, its place on the bar (kNotInCommandBar: not on it).
// Restoring a stored layout and taking the layout of a bar after the player
// customised it are plain functions here; the toolbar window replays their
// steps (see CommandBarRestoreSteps) on the real control.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "logic/preferences.h"
#include "res/resource.h"

namespace corvelle {

// The commands of the bar, in the order of the stored positions.
constexpr uint32_t kFirstBarCommand = ID_GAME_NEW;   // New Game .. Options: ID_GAME_NEW .. ID_TOOLS_OPTIONS
// An item of the bar: the index 0 .. kCommandCount - 1 of its command, or a
// separator.
constexpr int kBarSeparator = -1;
// The most items a stored layout can describe (its count is one byte; the
// last value means "not on the bar").
constexpr size_t kMaxBarItems = 255;

// The index of command id `command`, or kBarSeparator for any id that is not
// one of the bar's commands.
int BarCommandIndex(uint32_t command);

// One step of restoring a layout on a bar that holds the commands 0 .. 5 in
// order: move the button at `from` to `to`, insert a separator at `to`, or
// delete the button at `to`.
struct CommandBarStep {
    enum Kind { kMove, kInsertSeparator, kDelete } kind;
    int from;
    int to;
};

// The steps that turn the six buttons in command order into the stored
// layout: for each place p below `count`, every command stored at p is moved
// there in command order (a later one pushes an earlier one on by one
// place); a place no command names gets a separator; then the bar is cut
// down to `count` items, which drops the commands stored off the bar or at a
// place at or beyond the count.
std::vector<CommandBarStep> CommandBarRestoreSteps(uint8_t count,
                                                   const std::array<uint8_t, kCommandCount>& positions);
// The bar those steps build, item by item.
std::vector<int> RestoreCommandBarLayout(uint8_t count, const std::array<uint8_t, kCommandCount>& positions);
// Applies the steps to a list of items.
void ApplyCommandBarSteps(std::vector<int>& items, const std::vector<CommandBarStep>& steps);

// The stored form of a bar. Items past the 255th are not stored: the count
// stops at 255 and a command at place 255 or later counts as off the bar. A
// command shown twice keeps its later place.
struct CommandBarLayout {
    uint8_t count = 0;
    std::array<uint8_t, kCommandCount> positions{};
};
CommandBarLayout StoreCommandBarLayout(const std::vector<int>& items);

// A bar as the stored preferences keep it: the customise dialog adds
// separators without end, while a stored bar of more than
// kMaxCommandBarItems items reads back as the default bar. Beyond that
// length, a separator next to another goes first (the later of the two),
// then one at either end; the commands and their order stay.
std::vector<int> FitCommandBar(std::vector<int> items);

// The default bar: New Game, Restart Game, Select Solitaire, separator,
// Undo, Show Next Move, separator, Options.
std::vector<int> DefaultCommandBarItems();

}  // namespace corvelle
