#include "panel_host.h"

#include <cstdint>
#include <cstring>

namespace corvelle::test {

const char kTestRules[] =
    "<b>Object of the game</b>\n"
    "Move every card to the waste pile. A card goes there when it is one rank above or below the waste's top "
    "card, whatever its suit; Kings and Aces do not turn the corner.\n\n"
    "<b>Play</b>\n"
    "Click a tableau card to move it to the waste. When no card fits, click the stock to turn up its next card. "
    "The game is lost when the stock is empty and no tableau card fits.";

PanelHost::PanelHost() { SetGame(engine, "Golf", kTestRules); }

PanelHost::~PanelHost() {
    panel.reset();
    DestroyWindow();
}

bool PanelHost::Open(int width, int height) {
    static const bool registered = CWnd::RegisterClass(L"CorvellePanelHost", 0, ::LoadCursorW(nullptr, IDC_ARROW),
                                                       nullptr);
    if (!registered) return false;
    RECT r{0, 0, width, height};
    ::AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    ::OffsetRect(&r, 40 - r.left, 40 - r.top);
    if (!CreateEx(0, L"CorvellePanelHost", L"Corvelle", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, r, nullptr, 0)) {
        return false;
    }
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(hwnd);
    UpdateWindow();
    Pump();
    return true;
}

bool PanelHost::BuildPanel() {
    panel = CreateMainPopups(this);
    if (!panel) return false;
    RecalcLayout();
    panel->UpdateRulesText();
    Pump();
    return true;
}

void PanelHost::RecalcLayout() {
    ++layouts;
    if (!panel) return;
    // As the main window does it.
    RECT client;
    GetClientRect(&client);
    RECT now;
    panel->GetClientRect(&now);
    const bool widthChanged = now.right - now.left != static_cast<LONG>(prefs.mainPopupsWidth);
    panel->Place(MainPopupsRect(client, prefs.mainPopupsWidth), prefs.mainPopupsEnabled != 0, widthChanged);
    Invalidate(FALSE);
}

void PanelHost::OnSize(UINT, int, int) {
    Default();
    RecalcLayout();
}

void PanelHost::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(&client);
    HBRUSH field = ::CreateSolidBrush(RGB(0, 0x80, 0));
    ::FillRect(dc, &client, field);
    ::DeleteObject(field);
    RECT status{client.left, client.bottom - 20, client.right, client.bottom};
    ::FillRect(dc, &status, ::GetSysColorBrush(COLOR_BTNFACE));
    ::EndPaint(hwnd, &paint);
}

void SetGame(CGameEngine& engine, const char* name, const char* rules) {
    std::memset(engine.name, 0, sizeof engine.name);
    std::strncpy(engine.name, name, sizeof engine.name - 1);
    engine.rulesText.assign(rules, rules + std::strlen(rules) + 1);
}

void PumpFor(DWORD ms) {
    const DWORD until = ::GetTickCount() + ms;
    while (static_cast<LONG>(::GetTickCount() - until) < 0) Pump();
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    const DWORD until = ::GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(::GetTickCount() - until) >= 0) return done();
        Pump();
    }
    return true;
}

void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
}

DWORD CountGdiObjects() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return reported;
    // Wine does not count: read the entries of the GDI handle table instead
    // (24-byte entries: object, owner process id and count, unique, type).
    // Wine's table is the process's own and leaves the owner 0; the
    // system-wide objects of owner 0 elsewhere are a constant.
    struct Entry {
        uint64_t object;
        uint16_t processId;
        uint16_t count;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
    static_assert(sizeof(Entry) == 24, "GDI handle table entry");
    const uint8_t* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));   // the thread block's process block
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);
    if (table == nullptr) return 0;
    const auto pid = static_cast<uint16_t>(::GetCurrentProcessId());
    DWORD count = 0;
    for (size_t i = 0; i < 0x10000; ++i) count += (table[i].processId == pid || table[i].processId == 0) && table[i].type != 0;
    return count;
}

namespace {

void Send(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    // The middle of the pixel, so the system's truncation lands on it.
    input.mi.dx = static_cast<LONG>((int64_t{2 * screen.x + 1} * 65536) / (2 * w));
    input.mi.dy = static_cast<LONG>((int64_t{2 * screen.y + 1} * 65536) / (2 * h));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    ::SendInput(1, &input, sizeof input);
    // The input reaches the queues a little later: wait until the cursor is
    // there, then run what arrived.
    for (int i = 0; i < 40; ++i) {
        POINT at{};
        ::GetCursorPos(&at);
        if (at.x == screen.x && at.y == screen.y) break;
        ::Sleep(5);
    }
    for (int i = 0; i < 4; ++i) Pump();
}

POINT lastTarget{};

POINT Cursor() { return lastTarget; }

}  // namespace

void MouseMoveTo(POINT screen, bool nudge) {
    lastTarget = screen;
    // Under Wine a move right after the mouse changed hands (a capture
    // taken while handling the previous move) is now and then not
    // delivered: arrive one pixel to the left first, then on the point.
    if (nudge) Send(MOUSEEVENTF_MOVE, POINT{screen.x - 1, screen.y});
    Send(MOUSEEVENTF_MOVE, screen);
}
void MouseDown() { Send(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE, Cursor()); }
void MouseUp() { Send(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE, Cursor()); }

POINT ScreenPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    return p;
}

RECT RectInParent(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace corvelle::test
