// The window the field benchmarks draw into: a visible popup with room for
// a field of the given size, holding a game field over default preferences.
#pragma once

#include <windows.h>

#include "field/sol_game_field.h"
#include "logic/preferences.h"

namespace corvelle::bench {

struct FieldWindow {
    CWnd main;
    AppPreferences prefs;
    CSolGameField field;

    bool Create(const wchar_t* title, int width, int height) {
        const RECT r{0, 0, width + 221, height + 60};
        return main.CreateEx(0, CWnd::DefaultClassName(), title, WS_POPUP | WS_VISIBLE, r, nullptr, 0) &&
               field.CreateField(&main, &prefs);
    }
};

}  // namespace corvelle::bench
