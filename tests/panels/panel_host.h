// The test host of the side panels: a top-level window standing in for the
// main window (a grey field on the left, the panel at the right edge above
// a 20-px status strip), the owner of an engine holding a game's name and
// rules, the preferences and a game clock; and real mouse input through
// SendInput.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/game_engine.h"
#include "logic/game_clock.h"
#include "logic/preferences.h"
#include "panels/sol_main_popups.h"
#include "platform/wnd.h"

namespace corvelle::test {

// The rules text of the test game (line feeds as the database holds them).
extern const char kTestRules[];

class PanelHost : public CWnd, public CMainPopupsOwner {
public:
    PanelHost();
    ~PanelHost() override;

    // The window, client size width x height, shown and in front.
    bool Open(int width = 900, int height = 620);
    // Builds the main panel and lays the window out; false when it failed.
    bool BuildPanel();
    void DestroyPanel() { panel.reset(); }

    CWnd* GetPanelParent() override { return this; }
    CGameEngine* GetPanelEngine() override { return &engine; }
    AppPreferences& GetPanelPreferences() override { return prefs; }
    CGameClock* GetPanelClock() override { return &clock; }
    void RecalcLayout() override;

    CGameEngine engine;
    AppPreferences prefs;
    CGameClock clock{[] { return int64_t{1000}; }};
    std::unique_ptr<CSolMainPopups> panel;
    int layouts = 0;

protected:
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
};

// Sets the engine's game name and rules text.
void SetGame(CGameEngine& engine, const char* name, const char* rules);

// Runs the window messages that are waiting.
void Pump();
// Runs window messages for `ms` milliseconds (timers included).
void PumpFor(DWORD ms);
// Runs window messages until `done` holds, at most `ms` milliseconds; the
// last answer of `done`. Input reaches a window a moment after the cursor
// moved, later still on a busy machine.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 3000);
// GDI objects of this process (GetGuiResources, or the shared handle
// table where that reports nothing).
DWORD CountGdiObjects();
// Real input: the cursor moved to a screen point, the left button pressed
// or released there.
// A nudge arrives one pixel to the left first (see panel_host.cpp); an edge
// drag held at a limit would count it, so it moves without.
void MouseMoveTo(POINT screen, bool nudge = true);
void MouseDown();
void MouseUp();
// A point of a window's client area in screen coordinates.
POINT ScreenPoint(HWND window, int x, int y);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);

}  // namespace corvelle::test
