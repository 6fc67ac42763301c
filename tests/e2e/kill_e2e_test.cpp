// A run killed in the middle of a game: the next start (the abnormal end's
// question answered with Enter, which is No) shows the same game at the
// same position, and its clock goes on from where it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "game_setup.h"
#include "engine/registry.h"
#include "library_games.h"
#include "mouse_play.h"

namespace corvelle {
namespace {

using namespace drive;

constexpr uint32_t kDeal = 3;   // Klondike deal 3 offers five moves at the start

uint8_t PrefByte(const char16_t* name) {
    CRegistryKey key;
    uint8_t value = 0xEE;
    if (key.Open(ProgramSubKey(u"prefs")))
        key.ReadBinaryExact(name, &value, 1);
    return value;
}

// The records have no padding: their bytes are their fields.
template <typename T>
bool SameRecords(const std::vector<T>& a, const T* b, size_t count) {
    return a.size() == count && (count == 0 || std::memcmp(a.data(), b, count * sizeof(T)) == 0);
}

// The program's saved game equals the copy's position, history included.
bool SavedAs(const CGameEngine& copy, SavedGameData& saved) {
    return ReadSavedGame(copy, saved) &&
           SameRecords(saved.cardStates, copy.cardStates.data(), copy.cardStates.size()) &&
           SameRecords(saved.history, copy.history->GetRecords(), copy.history->GetCount());
}

TEST(EndToEndKill, AKilledRunComesBackAtItsLastStepWithItsClock) {
    // Klondike dealt and saved as the game in play, after a clean run, its
    // animation off (not the default: a reset would show).
    SavingOwner owner(0, kDeal);
    CGameEngine copy(&owner);
    ASSERT_TRUE(test::DealLibraryGame(copy, "Klondike (draw one)", kDeal));
    PrepareStart(copy, "Klondike (draw one)", kDeal);

    Screenshot last;
    uint32_t savedSeconds = 0;
    {
        Program program;
        ASSERT_TRUE(program.Start());
        HWND main = WaitForMainWindow(program.Pid(), 30000);
        ASSERT_NE(main, nullptr);
        HWND field = FindField(main);
        ASSERT_TRUE(WaitUntilReady(program, main));
        for (int step = 0; step < 4; ++step) {
            ASSERT_TRUE(PlayHint(program, main, field, copy)) << "step " << step;
            if (step == 1)
                ::Sleep(2500);   // time on the clock
        }
        // Each step is saved as it is made: the slot holds the last one.
        SavedGameData saved;
        ASSERT_TRUE(WaitFor([&] { return SavedAs(copy, saved); }, 10000)) << "the last step was not saved";
        savedSeconds = saved.elapsedSeconds;
        EXPECT_GE(savedSeconds, 2u);
        last = CaptureSettled(field, 10000);
        program.Kill();
    }

    Program program;
    ASSERT_TRUE(program.Start());
    const DWORD started = ::GetTickCount();
    HWND question = WaitForWindowTitled(program.Pid(), L"Warning", 30000);
    ASSERT_NE(question, nullptr) << "no question about the abnormal end";
    ASSERT_TRUE(BringToFront(question));
    PressKey(VK_RETURN);   // the default answer: No, keep the preferences
    HWND main = WaitForMainWindow(program.Pid(), 30000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntilReady(program, main));
    EXPECT_EQ(PrefByte(u"animation"), 0) << "Enter reset the preferences";
    HWND field = FindField(main);
    EXPECT_TRUE(CaptureSettled(field, 10000) == last) << "another position than the one left";

    // The clock goes on from the seconds saved: a clean close saves them
    // with what was played since the start.
    ::Sleep(1500);
    ASSERT_TRUE(BringToFront(main));
    PressKey(VK_F4, false, true);
    ASSERT_TRUE(program.WaitExit(20000));
    const uint32_t since = (::GetTickCount() - started) / 1000 + 1;
    SavedGameData saved;
    ASSERT_TRUE(ReadSavedGame(copy, saved));
    EXPECT_TRUE(SameRecords(saved.cardStates, copy.cardStates.data(), copy.cardStates.size()));
    EXPECT_GE(saved.elapsedSeconds, savedSeconds);
    EXPECT_LE(saved.elapsedSeconds, savedSeconds + since);
    EXPECT_GT(saved.elapsedSeconds, savedSeconds) << "the clock did not run after the restore";
}

}  // namespace
}  // namespace corvelle
