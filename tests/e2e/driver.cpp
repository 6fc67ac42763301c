#include "driver.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>

#include "engine/game_engine.h"
#include "field/field_model.h"
#include "field/pile_geometry.h"

namespace corvelle::drive {

std::wstring HostPathToWindows(const char* hostPath) {
    // Wine sees the host's root as drive Z.
    std::wstring path = L"Z:";
    for (const char* p = hostPath; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path;
}

std::wstring ProgramPath() {
    // A copy named by the environment (the soak runs one, so that a build
    // beside it does not rewrite the program it drives).
    wchar_t copy[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"CORVELLE_PROGRAM_COPY", copy, MAX_PATH) > 0) return copy;
    // The build gives the host path of the program.
    return HostPathToWindows(CORVELLE_PROGRAM);
}

Program::~Program() {
    if (Running())
        Kill();
    if (processInfo.hProcess) ::CloseHandle(processInfo.hProcess);
    if (processInfo.hThread) ::CloseHandle(processInfo.hThread);
}

bool Program::Start() { return Start(ProgramPath()); }

bool Program::Start(const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + path + L"\"";
    // Wine now and then fails to create a process while the machine is busy
    // (the program's own start is what the tests look at, not Wine's): a
    // failed creation is tried again after a pause, and its error reported.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) ::Sleep(1000);
        if (::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &processInfo) != FALSE)
            return true;
        std::fprintf(stderr, "CreateProcess failed (error %lu)\n", static_cast<unsigned long>(::GetLastError()));
    }
    return false;
}

bool Program::WaitExit(DWORD ms) {
    return processInfo.hProcess && ::WaitForSingleObject(processInfo.hProcess, ms) == WAIT_OBJECT_0;
}

void Program::Kill() {
    if (processInfo.hProcess) {
        ::TerminateProcess(processInfo.hProcess, 99);
        ::WaitForSingleObject(processInfo.hProcess, 10000);
    }
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (processInfo.hProcess) ::GetExitCodeProcess(processInfo.hProcess, &code);
    return code;
}

bool Program::Running() const {
    return processInfo.hProcess && ::WaitForSingleObject(processInfo.hProcess, 0) == WAIT_TIMEOUT;
}

bool WaitFor(const std::function<bool()>& ready, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (::GetTickCount() - start > ms) return ready();
        ::Sleep(10);
    }
}

namespace {

struct Search {
    DWORD pid;
    const std::wstring* title;   // null: the main window
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != s->pid || !::IsWindowVisible(window)) return TRUE;
    const bool isMain = ::GetPropW(window, L"Corvelle.MainWindow") != nullptr;
    if ((s->title == nullptr) == isMain && (s->title == nullptr || WindowText(window) == *s->title)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(DWORD pid, const std::wstring* title) {
    Search s{pid, title, nullptr};
    ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
    ::Sleep(20);
}

INPUT MouseInput(POINT p, DWORD flags) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65535LL + w / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((p.y * 65535LL + h / 2) / (h - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

// How long the driver waits for a window to come to the front and take the
// keyboard focus: a busy machine can take seconds.
constexpr DWORD kFrontMs = 10000;

}  // namespace

void MouseAt(POINT p, DWORD flags) {
    INPUT in = MouseInput(p, flags);
    ::SendInput(1, &in, sizeof in);
    ::Sleep(30);
}

void DragAlong(POINT from, POINT to, int moves, DWORD pauseMs, bool rightButton) {
    MouseAt(from, 0);
    MouseAt(from, rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    moves = moves < 1 ? 1 : moves;
    for (int step = 1; step <= moves; ++step) {
        const POINT p{from.x + (to.x - from.x) * step / moves, from.y + (to.y - from.y) * step / moves};
        INPUT in = MouseInput(p, 0);
        ::SendInput(1, &in, sizeof in);
        if (pauseMs) ::Sleep(pauseMs);
    }
    MouseAt(to, rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void Wheel(POINT at, int notches) {
    MouseAt(at, 0);
    INPUT in = MouseInput(at, MOUSEEVENTF_WHEEL);
    in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    ::SendInput(1, &in, sizeof in);
    ::Sleep(30);
}

HWND FindMainWindow(DWORD pid) { return FindTopLevel(pid, nullptr); }

HWND WaitForMainWindow(DWORD pid, DWORD ms) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindMainWindow(pid)) != nullptr; }, ms);
    return found;
}

HWND FindWindowTitled(DWORD pid, const std::wstring& title) { return FindTopLevel(pid, &title); }

HWND WaitForWindowTitled(DWORD pid, const std::wstring& title, DWORD ms) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowTitled(pid, title)) != nullptr; }, ms);
    return found;
}

std::wstring WindowTitlesOf(DWORD pid) {
    struct Titles {
        DWORD pid;
        std::wstring text;
    } titles{pid, L""};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* t = reinterpret_cast<Titles*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == t->pid && ::IsWindowVisible(window)) t->text += L"[" + WindowText(window) + L"] ";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&titles));
    return titles.text;
}

HWND FindField(HWND main) { return ::FindWindowExW(main, nullptr, nullptr, L"SolGameField"); }

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c == '\n' ? '|' : c >= 32 && c < 127 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

bool WaitUntilReady(Program& program, HWND main) {
    ::WaitForInputIdle(program.Handle(), 10000);
    const bool front = BringToFront(main);
    HWND field = FindField(main);
    if (field) CaptureSettled(field, 5000, nullptr, 200);
    ::WaitForInputIdle(program.Handle(), 10000);
    return front;
}

bool BringToFront(HWND window) {
    const bool front = WaitFor(
        [&] {
            if (::GetForegroundWindow() != window) ::SetForegroundWindow(window);
            return ::GetForegroundWindow() == window;
        },
        kFrontMs);
    return front && WaitForFocus(window, kFrontMs);
}

bool WaitForFocus(HWND window, DWORD ms) {
    const HWND root = ::GetAncestor(window, GA_ROOT);
    return WaitFor(
        [&] {
            HWND focus = nullptr;
            if (::GetForegroundWindow() != root || !FocusOf(window, focus)) return false;
            return focus == window || (focus && ::IsChild(window, focus));
        },
        ms);
}

bool FocusOf(HWND window, HWND& focus) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return false;
    focus = info.hwndFocus;
    return true;
}

void PressKey(WORD vk, bool ctrl, bool alt) {
    if (ctrl) SendKey(VK_CONTROL, false);
    if (alt) SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (alt) SendKey(VK_MENU, true);
    if (ctrl) SendKey(VK_CONTROL, true);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        const SHORT vk = ::VkKeyScanW(c);
        PressKey(static_cast<WORD>(vk & 0xFF), false, false);
    }
}

void Click(POINT at) {
    MouseAt(at, 0);
    MouseAt(at, MOUSEEVENTF_LEFTDOWN);
    MouseAt(at, MOUSEEVENTF_LEFTUP);
}

void RightClick(POINT at) {
    MouseAt(at, 0);
    MouseAt(at, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(at, MOUSEEVENTF_RIGHTUP);
}

void DoubleClick(POINT at) {
    MouseAt(at, 0);
    INPUT in[4] = {MouseInput(at, MOUSEEVENTF_LEFTDOWN), MouseInput(at, MOUSEEVENTF_LEFTUP),
                   MouseInput(at, MOUSEEVENTF_LEFTDOWN), MouseInput(at, MOUSEEVENTF_LEFTUP)};
    ::SendInput(4, in, sizeof(INPUT));
    ::Sleep(30);
}

void Drag(POINT from, POINT to) {
    MouseAt(from, 0);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    // A short first move starts the drag; the run then follows the cursor.
    MouseAt(POINT{from.x + 8, from.y + 8}, 0);
    ::Sleep(60);
    for (int step = 1; step <= 8; ++step) {
        const POINT p{from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8};
        MouseAt(p, 0);
    }
    ::Sleep(60);
    MouseAt(to, MOUSEEVENTF_LEFTUP);
}

void PressLeft(POINT at) {
    MouseAt(at, 0);
    MouseAt(at, MOUSEEVENTF_LEFTDOWN);
}

void MoveTo(POINT at) { MouseAt(at, 0); }

void ReleaseLeft(POINT at) { MouseAt(at, MOUSEEVENTF_LEFTUP); }

namespace {

// The visible top-level windows of process pid for which `match` answers
// true, in the system's order, at most `most` of them.
std::vector<HWND> VisibleWindowsOf(DWORD pid, const std::function<bool(HWND)>& match, size_t most) {
    struct Walk {
        DWORD pid;
        const std::function<bool(HWND)>* match;
        size_t most;
        std::vector<HWND> found;
    } walk{pid, &match, most, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Walk*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s->pid || !::IsWindowVisible(window) || !(*s->match)(window)) return TRUE;
            s->found.push_back(window);
            return s->found.size() < s->most;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

}  // namespace

HWND FindVisibleWindowOf(DWORD pid, const std::function<bool(HWND)>& match) {
    const std::vector<HWND> found = VisibleWindowsOf(pid, match, 1);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> OtherWindowsOf(DWORD pid, HWND main) {
    return VisibleWindowsOf(pid, [main](HWND window) { return window != main; }, SIZE_MAX);
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = {};
    return ::GetClassNameW(window, name, 64) && std::wcscmp(name, className) == 0;
}

HWND FindPopupMenu(DWORD pid) {
    return FindVisibleWindowOf(pid, [](HWND window) { return HasClass(window, L"#32768"); });
}

HWND WaitForPopupMenu(DWORD pid, DWORD ms) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindPopupMenu(pid)) != nullptr; }, ms);
    return found;
}

bool WaitForMenuClosed(DWORD pid, DWORD ms) {
    return WaitFor([&] { return FindPopupMenu(pid) == nullptr; }, ms);
}

HWND OpenMenuWith(DWORD pid, const std::function<void()>& gesture, DWORD ms) {
    gesture();
    if (HWND menu = WaitForPopupMenu(pid, ms)) return menu;
    std::fprintf(stderr, "no menu opened: the gesture is made once more\n");
    gesture();
    return WaitForPopupMenu(pid, ms);
}

bool DroppedDown(HWND combo) { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }

int ComboSelection(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

bool OpenDropDown(HWND combo, DWORD ms) {
    BringToFront(::GetAncestor(combo, GA_ROOT));
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) std::fprintf(stderr, "the list did not open: the combo is clicked once more\n");
        Click(CentreOf(combo));
        if (WaitFor([&] { return DroppedDown(combo); }, ms)) return WaitForFocus(combo, ms);
    }
    return false;
}

POINT CentreOf(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT OnScreen(HWND window, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    return p;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        std::vector<HWND> found;
    } search{className, {}};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            if (_wcsicmp(name, s->name) == 0) s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildWithText(HWND parent, const wchar_t* className, const std::wstring& text) {
    for (HWND child : ChildrenOfClass(parent, className))
        if (WindowText(child) == text) return child;
    return nullptr;
}

bool SpotOf(const CGameEngine& engine, uint16_t pile, int32_t index, int width, int height, CardSpot& out) {
    FieldLayout layout;
    BuildFieldLayout(engine, layout);
    layout.SetStandardGeometry();
    std::vector<CardSpot> spots;
    LayOutPile(layout, layout.piles[pile], width, height, spots);
    for (const CardSpot& s : spots)
        if (s.index == index) {
            out = s;
            return true;
        }
    return false;
}

Screenshot CaptureScreen(const RECT& area) {
    Screenshot shot;
    shot.width = area.right - area.left;
    shot.height = area.bottom - area.top;
    if (shot.width <= 0 || shot.height <= 0) return Screenshot{};
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = shot.width;
    bi.bmiHeader.biHeight = -shot.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, dib);
    ::BitBlt(dc, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(px, px + static_cast<size_t>(shot.width) * shot.height);
    for (uint32_t& p : shot.pixels) p &= 0xFFFFFF;
    ::SelectObject(dc, old);
    ::DeleteObject(dib);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

Screenshot CaptureClient(HWND window) {
    RECT r;
    if (!::GetClientRect(window, &r)) return Screenshot{};
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    return CaptureScreen(RECT{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom});
}

Screenshot CaptureSettled(HWND window, DWORD ms, const Screenshot* unlike, DWORD gapMs) {
    Screenshot last = CaptureClient(window);
    const DWORD start = ::GetTickCount();
    for (;;) {
        ::Sleep(gapMs);
        Screenshot now = CaptureClient(window);
        if (now == last && (unlike == nullptr || now != *unlike)) return now;
        if (::GetTickCount() - start > ms) return now;
        last = std::move(now);
    }
}

bool WriteBmp(const Screenshot& shot, const std::wstring& path) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const uint32_t rowBytes = static_cast<uint32_t>(shot.width) * 4;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + rowBytes * static_cast<uint32_t>(shot.height);
    ih.biSize = sizeof ih;
    ih.biWidth = shot.width;
    ih.biHeight = -shot.height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
              std::fwrite(shot.pixels.data(), rowBytes, static_cast<size_t>(shot.height), f) ==
                  static_cast<size_t>(shot.height);
    return std::fclose(f) == 0 && ok;
}

}  // namespace corvelle::drive
