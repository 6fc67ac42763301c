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

namespace corvelle::drive {

// The program as a Windows path (the build passes its host path).
std::wstring ProgramPath();

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start();
    // Waits for the process to end; false on timeout.
    bool WaitExit(DWORD ms);
    // Ends it the hard way (no clean close).
    void Kill();
    DWORD ExitCode() const;
    DWORD Pid() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;

private:
    PROCESS_INFORMATION info_{};
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

// Waits until the program waits for input with its main window in front
// and its field drawn: what is typed from then on reaches it.
bool WaitUntilReady(Program& program, HWND main);
// Makes `window` the foreground window, so that keys go to it.
bool BringToFront(HWND window);
// Keys through SendInput: each key pressed with the modifiers held, then
// everything released.
void PressKey(WORD vk, bool ctrl = false, bool alt = false);
void TypeText(const std::wstring& text);
// A left click, or a press at `from`, a drag and a release at `to`, in
// screen coordinates.
void Click(POINT at);
// A right click in screen coordinates.
void RightClick(POINT at);
void Drag(POINT from, POINT to);

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
