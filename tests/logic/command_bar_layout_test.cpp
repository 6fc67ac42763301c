// The command bar's layout: restoring a stored layout and storing a bar.
#include <gtest/gtest.h>

#include "logic/command_bar_layout.h"
#include "res/resource.h"

namespace corvelle {
namespace {

constexpr int S = kBarSeparator;
using Positions = std::array<uint8_t, kCommandCount>;
constexpr uint8_t kOff = kNotInCommandBar;

TEST(CommandBarLayout, DefaultsGiveEightItemsWithSeparatorsAtThreeAndSix) {
    EXPECT_EQ(RestoreCommandBarLayout(8, kDefaultCommandBarButtons), (std::vector<int>{0, 1, 2, S, 3, 4, S, 5}));
    EXPECT_EQ(DefaultCommandBarItems().size(), 8u);
    const CommandBarLayout stored = StoreCommandBarLayout(DefaultCommandBarItems());
    EXPECT_EQ(stored.count, 8);
    EXPECT_EQ(stored.positions, kDefaultCommandBarButtons);
}

TEST(CommandBarLayout, CommandsOffTheBarOrBeyondTheCountAreDropped) {
    // Undo off the bar, seven items with separators at 3 and 5.
    EXPECT_EQ(RestoreCommandBarLayout(7, Positions{0, 1, 2, kOff, 4, 6}), (std::vector<int>{0, 1, 2, S, 4, S, 5}));
    // A count smaller than the places used cuts the bar there.
    EXPECT_EQ(RestoreCommandBarLayout(3, kDefaultCommandBarButtons), (std::vector<int>{0, 1, 2}));
    // An empty bar.
    EXPECT_TRUE(RestoreCommandBarLayout(0, Positions{kOff, kOff, kOff, kOff, kOff, kOff}).empty());
    EXPECT_TRUE(RestoreCommandBarLayout(0, kDefaultCommandBarButtons).empty());
}

TEST(CommandBarLayout, ReorderedAndRepeatedPlaces) {
    // Options first, New Game last.
    EXPECT_EQ(RestoreCommandBarLayout(6, Positions{5, 1, 2, 3, 4, 0}), (std::vector<int>{5, 1, 2, 3, 4, 0}));
    // Two commands at one place: the later one moved there pushes the
    // earlier one on, and the separators of the following places push it
    // further, so the cut drops it...
    EXPECT_EQ(RestoreCommandBarLayout(3, Positions{kOff, 0, 0, kOff, kOff, kOff}), (std::vector<int>{2, S, S}));
    // ...but a command already in its place ends the search for that place:
    // the other one stays where the bar had it and may fall off the end.
    EXPECT_EQ(RestoreCommandBarLayout(4, Positions{0, 0, kOff, kOff, kOff, kOff}), (std::vector<int>{0, S, S, S}));
    // Only separators where no command is stored.
    EXPECT_EQ(RestoreCommandBarLayout(5, Positions{kOff, kOff, kOff, kOff, kOff, kOff}),
              (std::vector<int>{S, S, S, S, S}));
}

TEST(CommandBarLayout, StoringABarBeyond255ItemsClampsAndDropsLateCommands) {
    std::vector<int> bar(300, S);
    bar[10] = 2;
    bar[254] = 0;
    bar[255] = 1;   // the 256th item cannot be stored
    bar[299] = 5;
    const CommandBarLayout stored = StoreCommandBarLayout(bar);
    EXPECT_EQ(stored.count, 255);
    EXPECT_EQ(stored.positions, (Positions{254, kOff, 10, kOff, kOff, kOff}));
    // Restored, the bar holds what was stored.
    const std::vector<int> back = RestoreCommandBarLayout(stored.count, stored.positions);
    EXPECT_EQ(back.size(), 255u);
    EXPECT_EQ(back[10], 2);
    EXPECT_EQ(back[254], 0);
}

TEST(CommandBarLayout, StoringAfterCustomising) {
    // Everything removed.
    CommandBarLayout stored = StoreCommandBarLayout({});
    EXPECT_EQ(stored.count, 0);
    EXPECT_EQ(stored.positions, (Positions{kOff, kOff, kOff, kOff, kOff, kOff}));
    // A command shown twice keeps its later place; unknown items are
    // separators.
    stored = StoreCommandBarLayout({3, S, 3, 0});
    EXPECT_EQ(stored.count, 4);
    EXPECT_EQ(stored.positions, (Positions{3, kOff, kOff, 2, kOff, kOff}));
    EXPECT_EQ(RestoreCommandBarLayout(stored.count, stored.positions), (std::vector<int>{S, S, 3, 0}));
    EXPECT_EQ(BarCommandIndex(ID_GAME_NEW - 1), S);
    EXPECT_EQ(BarCommandIndex(ID_GAME_NEW), 0);
    EXPECT_EQ(BarCommandIndex(ID_TOOLS_OPTIONS), 5);
    EXPECT_EQ(BarCommandIndex(ID_TOOLS_OPTIONS + 1), S);
    EXPECT_EQ(BarCommandIndex(0), S);
}

TEST(CommandBarLayout, ABarCustomisedPastTheStoredLengthKeepsItsCommands) {
    // Separators added in the customise dialog: runs of them and both ends.
    const std::vector<int> bar{S, S, 5, S, S, S, 0, 1, S, S, 2, S, 3, S, S, 4, S};
    const std::vector<int> kept = FitCommandBar(bar);
    EXPECT_EQ(kept.size(), kMaxCommandBarItems);
    std::vector<int> commands;
    for (int item : kept)
        if (item != S) commands.push_back(item);
    EXPECT_EQ(commands, (std::vector<int>{5, 0, 1, 2, 3, 4}));
    // Stored, it is read back whole (a longer bar reads as the default).
    const CommandBarLayout stored = StoreCommandBarLayout(kept);
    EXPECT_LE(stored.count, kMaxCommandBarItems);
    EXPECT_EQ(RestoreCommandBarLayout(stored.count, stored.positions), kept);
    // With no runs left, the ends go; a bar that fits stays as it is.
    EXPECT_EQ(FitCommandBar({S, 0, S, 1, S, 2, S, 3, S, 4, S, 5, S, 0}).size(), kMaxCommandBarItems);
    EXPECT_EQ(FitCommandBar({S, S, S, 0}), (std::vector<int>{S, S, S, 0}));
}

TEST(CommandBarLayout, EveryStoredLayoutRestoresConsistently) {
    // Any stored layout restores to exactly `count` items in which each
    // command appears at most once, and storing that bar restores it again.
    uint32_t state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u, (state >> 16) & 0xFF; };
    for (int round = 0; round < 2000; ++round) {
        const uint8_t count = static_cast<uint8_t>(next() % 12);
        Positions places;
        for (uint8_t& p : places)
            p = next() % 3 == 0 ? kOff : static_cast<uint8_t>(next() % 12);
        const std::vector<int> bar = RestoreCommandBarLayout(count, places);
        ASSERT_EQ(bar.size(), count);
        std::array<int, kCommandCount> seen{};
        for (int item : bar) {
            if (item != S) {
                ASSERT_EQ(++seen[static_cast<size_t>(item)], 1);
            }
        }
        const CommandBarLayout stored = StoreCommandBarLayout(bar);
        EXPECT_EQ(RestoreCommandBarLayout(stored.count, stored.positions), bar);
    }
}

}  // namespace
}  // namespace corvelle
