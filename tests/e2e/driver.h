// Drives corvelle.exe from another process as a player does: starts it,
// finds its windows, types and clicks with SendInput (the system's input
// queue, as from the keyboard and the mouse) and reads the screen. Used by
// the end-to-end tests and the start-up benchmark, both run under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvelle {
class CGameEngine;
struct CardSpot;
}  // namespace corvelle

namespace corvelle::drive {

// A host path (ASCII) as Wine names it.
std::wstring HostPathToWindows(const char* hostPath);
// The program as a Windows path: the build passes its host path;
// CORVELLE_PROGRAM_COPY in the environment names another.
std::wstring ProgramPath();

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start();
    // Starts another program (the benchmark's floor) the same way.
    bool Start(const std::wstring& path);
    // Waits for the process to end; false on timeout.
    bool WaitExit(DWORD ms);
    // Ends it the hard way (no clean close).
    void Kill();
    DWORD ExitCode() const;
    DWORD Pid() const { return processInfo.dwProcessId; }
    HANDLE Handle() const { return processInfo.hProcess; }
    bool Running() const;

private:
    PROCESS_INFORMATION processInfo{};
};

// Polls `ready` every few milliseconds for at most `ms`; its last answer.
bool WaitFor(const std::function<bool()>& ready, DWORD ms);

// The visible main window of process pid (marked by its property), or null.
HWND FindMainWindow(DWORD pid);
HWND WaitForMainWindow(DWORD pid, DWORD ms);
// A visible top-level window of process pid with this exact title, other
// than the main window (dialogs and message boxes), or null.
HWND FindWindowTitled(DWORD pid, const std::wstring& title);
HWND WaitForWindowTitled(DWORD pid, const std::wstring& title, DWORD ms);
// The titles of the visible top-level windows of process pid (for
// failure messages).
std::wstring WindowTitlesOf(DWORD pid);
// The game field inside the main window.
HWND FindField(HWND main);
std::wstring WindowText(HWND window);
// A window text for a test's message or a log line: printable ASCII, a
// line break as '|', any other character as '?'.
std::string Narrow(const std::wstring& text);
std::wstring ClassOf(HWND window);
// A window's rectangle on the screen.
RECT ScreenRect(HWND window);

// Waits until the program waits for input with its main window in front
// and its field drawn: what is typed from then on reaches it.
bool WaitUntilReady(Program& program, HWND main);
// Makes `window` the foreground window and waits until the keyboard focus
// is on it or one of its children, so that keys go to it.
bool BringToFront(HWND window);
// Waits until `window` (or a child of it) has the keyboard focus of the
// foreground window, as it must before it is typed into.
bool WaitForFocus(HWND window, DWORD ms);
// The keyboard focus of `window`'s thread (nullptr when no window has it);
// false when the thread cannot be read.
bool FocusOf(HWND window, HWND& focus);
// Keys through SendInput: each key pressed with the modifiers held, then
// everything released.
void PressKey(WORD vk, bool ctrl = false, bool alt = false);
void TypeText(const std::wstring& text);
// A left click, or a press at `from`, a drag and a release at `to`, in
// screen coordinates.
void Click(POINT at);
// A right click in screen coordinates.
void RightClick(POINT at);
// Both clicks of a double click in one batch of input, so that they arrive
// within the double-click time however busy the machine is.
void DoubleClick(POINT at);
void Drag(POINT from, POINT to);
// The mouse's single events at a point: a move there with the given button
// flags (MOUSEEVENTF_LEFTDOWN, ...; 0: a move only).
void MouseAt(POINT at, DWORD flags);
// A press of the left (or right) button at `from`, `moves` moves along the
// line to `to`, `pauseMs` apart, and the release there: a slow drag takes
// many moves with pauses, a fast one one or two without.
void DragAlong(POINT from, POINT to, int moves, DWORD pauseMs, bool rightButton = false);
// Turns of the mouse wheel over `at` (positive: away from the player).
void Wheel(POINT at, int notches);
// The parts of a gesture, each one input event: the left button pressed at
// `at`, the cursor moved to `at` in one jump (with whatever buttons are
// down), the left button let go at `at`.
void PressLeft(POINT at);
void MoveTo(POINT at);
void ReleaseLeft(POINT at);

// The first visible top-level window of process pid for which `match`
// answers true, or null.
HWND FindVisibleWindowOf(DWORD pid, const std::function<bool(HWND)>& match);
// The visible top-level windows of process pid other than its main window
// (dialogs, menus, dropped lists, tooltips).
std::vector<HWND> OtherWindowsOf(DWORD pid, HWND main);
bool HasClass(HWND window, const wchar_t* className);

// Popup menus (context menus and the menu bar's menus): the visible
// top-level window of class "#32768" of process pid, or null.
HWND FindPopupMenu(DWORD pid);
HWND WaitForPopupMenu(DWORD pid, DWORD ms);
bool WaitForMenuClosed(DWORD pid, DWORD ms);
// Makes `gesture` (a right click, Alt and a letter) and waits for the menu
// it opens; makes it once more when no menu opened (an input event lost
// under load). The menu, or null.
HWND OpenMenuWith(DWORD pid, const std::function<void()>& gesture, DWORD ms);

// Drop-down combo boxes: whether the list is open, its selected item.
bool DroppedDown(HWND combo);
int ComboSelection(HWND combo);
// Clicks the combo and waits for its list to open, with the keyboard focus
// on the combo; clicks once more when the list did not open.
bool OpenDropDown(HWND combo, DWORD ms);

// Windows and points.
POINT CentreOf(HWND window);                 // screen coordinates
POINT OnScreen(HWND window, int x, int y);   // client to screen
// The children (at any depth, in creation order) of a window of a class.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className);
// The first child of a class with this exact text, or null.
HWND ChildWithText(HWND parent, const wchar_t* className, const std::wstring& text);
// Where the field of `width` x `height` draws card `index` of a pile of the
// engine's game (-1: the empty pile's base), in the field's client
// coordinates.
bool SpotOf(const CGameEngine& engine, uint16_t pile, int32_t index, int width, int height, CardSpot& out);

// What the screen shows in a window's client area.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, rows top-down
    bool operator==(const Screenshot& o) const {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
    bool operator!=(const Screenshot& o) const { return !(*this == o); }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Screenshot CaptureScreen(const RECT& area);   // screen coordinates
Screenshot CaptureClient(HWND window);
// Waits until two captures in a row, `gapMs` apart, are the same, and
// returns it; optionally also until it differs from `unlike`.
Screenshot CaptureSettled(HWND window, DWORD ms, const Screenshot* unlike = nullptr, DWORD gapMs = 150);
bool WriteBmp(const Screenshot& shot, const std::wstring& path);

}  // namespace corvelle::drive
