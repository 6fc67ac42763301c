// corvelle.exe started as its own process and played through the system's
// input queue; results read back from the registry and the screen. The
// tests share the program's own registry key and the one-instance rule, so
// they run alone (the build marks them serial).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "engine/records.h"
#include "engine/registry.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"

namespace corvelle {
namespace {

using namespace drive;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kStepMs = 10000;

struct Prefs {
    uint32_t curSolId = 0xFFFFFFFF;
    uint32_t curGameNumber = 0;
    uint8_t failed = 0xFF;
};

Prefs ReadPrefs() {
    Prefs p;
    CRegistryKey key;
    if (key.Open(ProgramSubKey(u"prefs"))) {
        key.ReadDword(u"curSolId", p.curSolId);
        key.ReadDword(u"curGameNumber", p.curGameNumber);
        key.ReadBinaryExact(u"failed", &p.failed, 1);
    }
    return p;
}


GameStatistics StatisticsOf(const std::wstring& game) {
    GameStatistics s;
    ReadGameStatistics(std::u16string(game.begin(), game.end()), s);
    return s;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegistryTree(ProgramKeyPath()); }

    // Starts the program and waits for its main window with the field
    // painted; returns the main window.
    HWND Start(Program& program) {
        EXPECT_TRUE(program.Start());
        HWND main = WaitForMainWindow(program.Pid(), kStartMs);
        EXPECT_NE(main, nullptr) << "no main window";
        if (!main) return nullptr;
        field = FindField(main);
        EXPECT_NE(field, nullptr);
        EXPECT_TRUE(WaitUntilReady(program, main));
        return main;
    }

    // Presses a key with the main window in front and the focus in it.
    void Key(HWND main, WORD vk, bool ctrl = false, bool alt = false) {
        EXPECT_TRUE(BringToFront(main)) << "the main window did not take the focus";
        PressKey(vk, ctrl, alt);
    }

    void CloseCleanly(Program& program, HWND main) {
        WaitUntilReady(program, main);
        Key(main, VK_F4, false, true);
        EXPECT_TRUE(program.WaitExit(kStepMs)) << "Alt+F4 did not end the program";
    }

    HWND field = nullptr;
};

TEST_F(EndToEnd, ShortcutsAndMenuDoWhatTheySay) {
    Program program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    const std::wstring game = WindowText(main);
    EXPECT_FALSE(game.empty());
    const Screenshot dealt = CaptureSettled(field, kStepMs);
    // Ctrl+N: a new deal, the last one counted as lost.
    Key(main, 'N', true);
    const Screenshot second = CaptureSettled(field, kStepMs, &dealt);
    EXPECT_NE(second, dealt);
    EXPECT_TRUE(WaitFor([&] { return StatisticsOf(game).played == 1; }, kStepMs));
    // Ctrl+R: the same deal again, counted as lost.
    Key(main, 'R', true);
    EXPECT_TRUE(WaitFor([&] { return StatisticsOf(game).played == 2; }, kStepMs));
    EXPECT_EQ(CaptureSettled(field, kStepMs), second);
    // Ctrl+Z with nothing to undo says so; Enter closes the message.
    Key(main, 'Z', true);
    HWND message = WaitForWindowTitled(program.Pid(), L"No Undo", kStepMs);
    ASSERT_NE(message, nullptr);
    ASSERT_TRUE(BringToFront(message));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(message) || !::IsWindowVisible(message); }, kStepMs));
    // The menu: Game, New.
    ASSERT_NE(OpenMenuWith(program.Pid(), [&] { Key(main, 'G', false, true); }, kStepMs), nullptr) << "no Game menu";
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForMenuClosed(program.Pid(), kStepMs));
    const Screenshot third = CaptureSettled(field, kStepMs, &second);
    EXPECT_NE(third, second);
    EXPECT_TRUE(WaitFor([&] { return StatisticsOf(game).played == 3; }, kStepMs));
    // Help, About: the about box, closed with Enter.
    ASSERT_NE(OpenMenuWith(program.Pid(), [&] { Key(main, 'H', false, true); }, kStepMs), nullptr) << "no Help menu";
    PressKey(VK_RETURN);
    HWND about = WaitForWindowTitled(program.Pid(), L"About", kStepMs);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(BringToFront(about));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }, kStepMs));
    // Esc and Enter leave the main window open, once the program has taken
    // them and waits for input again.
    Key(main, VK_ESCAPE);
    Key(main, VK_RETURN);
    WaitUntilReady(program, main);
    EXPECT_TRUE(program.Running());
    CloseCleanly(program, main);
    EXPECT_EQ(ReadPrefs().failed, 0);
    EXPECT_EQ(StatisticsOf(game).played, 3);
}

TEST_F(EndToEnd, CloseAndStartAgainRestoresTheGameAndRestartStillDealsIt) {
    Screenshot shown;
    uint32_t number = 0;
    {
        Program program;
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        const Screenshot first = CaptureSettled(field, kStepMs);
        Key(main, 'N', true);
        shown = CaptureSettled(field, kStepMs, &first);
        CloseCleanly(program, main);
        const Prefs p = ReadPrefs();
        EXPECT_EQ(p.failed, 0);
        number = p.curGameNumber;
        // The saved game carries its deal's number.
        int slots = 0;
        for (unsigned i = 0; i < kSavedGameSlots; ++i) {
            CRegistryKey slot;
            uint32_t saved = 0;
            if (!slot.Open(SavedGameSlotPath(i))) continue;
            ++slots;
            EXPECT_TRUE(slot.ReadDword(u"gameNumber", saved));
            EXPECT_EQ(saved, number);
        }
        EXPECT_EQ(slots, 1);
    }
    {
        // Another number in the preferences: the slot's number counts.
        CRegistryKey prefs;
        ASSERT_TRUE(prefs.Open(ProgramSubKey(u"prefs")));
        prefs.WriteDword(u"curGameNumber", number + 1);
    }
    Program program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(CaptureSettled(field, kStepMs), shown);
    // Restart: the deal left is counted, the same deal shown again.
    const std::wstring game = WindowText(main);
    const uint32_t played = StatisticsOf(game).played;
    Key(main, 'R', true);
    EXPECT_TRUE(WaitFor([&] { return StatisticsOf(game).played == played + 1; }, kStepMs)) << "no restart";
    EXPECT_EQ(CaptureSettled(field, kStepMs), shown);
    CloseCleanly(program, main);
    EXPECT_EQ(ReadPrefs().curGameNumber, number);
}

TEST_F(EndToEnd, AKilledRunIsAskedAboutAndKeepsItsStatistics) {
    std::wstring game;
    {
        Program program;
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        game = WindowText(main);
        Key(main, 'N', true);
        ASSERT_TRUE(WaitFor([&] { return StatisticsOf(game).played == 1; }, kStepMs))
            << StatisticsOf(game).played << " " << std::string(game.begin(), game.end()) << " "
            << Narrow(WindowTitlesOf(program.Pid()))
            << " foreground " << (::GetForegroundWindow() == main);
        Key(main, 'N', true);
        ASSERT_TRUE(WaitFor([&] { return StatisticsOf(game).played == 2; }, kStepMs));
        EXPECT_EQ(ReadPrefs().failed, 1);
        program.Kill();
    }
    Program program;
    ASSERT_TRUE(program.Start());
    HWND question = WaitForWindowTitled(program.Pid(), L"Warning", kStartMs);
    ASSERT_NE(question, nullptr) << "no question about the abnormal end";
    ASSERT_TRUE(BringToFront(question));
    PressKey('N');   // No: keep the preferences
    HWND main = WaitForMainWindow(program.Pid(), kStartMs);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntilReady(program, main));
    EXPECT_EQ(WindowText(main), game);
    const GameStatistics s = StatisticsOf(game);
    EXPECT_EQ(s.played, 2);
    EXPECT_EQ(s.won, 0);
    field = FindField(main);
    CloseCleanly(program, main);
    EXPECT_EQ(StatisticsOf(game).played, 2);
}

// A copy of the program whose game library's record streams ("SOLDB") are
// damaged in its resources (four bytes that are no compressed stream); its
// path, or empty.
std::wstring ProgramWithoutGameRecords() {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring copy = std::wstring(folder) + L"corvelle-no-records.exe";
    if (!::CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE))
        return L"";
    // The streams and their languages, as the copy holds them.
    std::vector<std::pair<WORD, WORD>> streams;
    HMODULE module = ::LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return L"";
    for (WORD id = kResSolDbFirst; id < kResSolDbFirst + 16; ++id) {
        ::EnumResourceLanguagesW(
            module, L"SOLDB", MAKEINTRESOURCEW(id),
            [](HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR param) -> BOOL {
                reinterpret_cast<std::vector<std::pair<WORD, WORD>>*>(param)->emplace_back(
                    static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)), language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&streams));
    }
    ::FreeLibrary(module);
    HANDLE update = streams.empty() ? nullptr : ::BeginUpdateResourceW(copy.c_str(), FALSE);
    if (!update)
        return L"";
    char damaged[4] = {'n', 'o', 'n', 'e'};
    for (const auto& [id, language] : streams)
        ::UpdateResourceW(update, L"SOLDB", MAKEINTRESOURCEW(id), language, damaged, sizeof damaged);
    if (!::EndUpdateResourceW(update, FALSE))
        return L"";
    // The copy holds the damaged streams.
    module = ::LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC first = module ? ::FindResourceW(module, MAKEINTRESOURCEW(kResSolDbFirst), L"SOLDB") : nullptr;
    const bool damagedThere = first && ::SizeofResource(module, first) == sizeof damaged;
    if (module)
        ::FreeLibrary(module);
    return damagedThere ? copy : L"";
}

TEST_F(EndToEnd, AGameLibraryThatCannotBeLoadedIsReportedBeforeTheEnd) {
    const std::wstring copy = ProgramWithoutGameRecords();
    ASSERT_FALSE(copy.empty()) << "no copy of the program without its game records";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + copy + L"\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    struct EndProcess {
        PROCESS_INFORMATION& p;
        const std::wstring& file;
        ~EndProcess() {
            ::TerminateProcess(p.hProcess, 1);
            ::WaitForSingleObject(p.hProcess, 5000);
            ::CloseHandle(p.hProcess);
            ::CloseHandle(p.hThread);
            ::DeleteFileW(file.c_str());
        }
    } end{process, copy};
    HWND box = WaitForWindowTitled(process.dwProcessId, L"Corvelle", kStartMs);
    ASSERT_NE(box, nullptr) << "no message: " << Narrow(WindowTitlesOf(process.dwProcessId));
    std::wstring text;
    for (HWND child : ChildrenOfClass(box, L"Static"))
        text += WindowText(child);
    EXPECT_NE(text.find(L"game library"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"could not be read"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"SOLDB"), std::wstring::npos) << Narrow(text);
    ASSERT_TRUE(BringToFront(box));
    PressKey(VK_RETURN);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, kStepMs), WAIT_OBJECT_0) << "the program did not end";
    EXPECT_EQ(FindMainWindow(process.dwProcessId), nullptr);
}

TEST_F(EndToEnd, ASecondStartBringsTheFirstWindowForwardAndEnds) {
    Program first;
    HWND main = Start(first);
    ASSERT_NE(main, nullptr);
    ::ShowWindow(main, SW_HIDE);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }, kStepMs));
    Program second;
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitExit(kStartMs));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && ::GetForegroundWindow() == main; }, kStepMs));
    EXPECT_TRUE(first.Running());
    CloseCleanly(first, main);
}

}  // namespace
}  // namespace corvelle
