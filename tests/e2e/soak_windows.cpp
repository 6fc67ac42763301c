// The soak's answers to every window the program shows beyond its main
// window: popup menus, dropped lists and dialogs (played with their
// controls at random, then closed one way or another), each within its
// time.
#include <algorithm>
#include <cwchar>

#include "soak.h"

namespace corvelle::drive {

namespace {

bool IsClass(HWND window, const wchar_t* name) { return _wcsicmp(ClassOf(window).c_str(), name) == 0; }

// The visible top-level windows of process pid other than its main window
// and `known`, tooltips left out; popup menus and dropped lists first.
std::vector<HWND> OtherWindows(DWORD pid, HWND main, const std::vector<HWND>& known) {
    std::vector<HWND> found = OtherWindowsOf(pid, main);
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](HWND w) {
                                   return std::find(known.begin(), known.end(), w) != known.end() ||
                                          IsClass(w, L"tooltips_class32");
                               }),
                found.end());
    // A disabled dialog waits on a window of its own (a question it asked):
    // that one is answered first, as a player can only answer it.
    std::stable_partition(found.begin(), found.end(), [](HWND w) { return ::IsWindowEnabled(w) != FALSE; });
    std::stable_partition(found.begin(), found.end(),
                          [](HWND w) { return IsClass(w, L"#32768") || IsClass(w, L"ComboLBox"); });
    return found;
}

bool Gone(HWND window) { return !::IsWindow(window) || !::IsWindowVisible(window); }

bool IsClosingText(const std::wstring& text) {
    static const wchar_t* const closing[] = {L"OK", L"Cancel", L"Play", L"Close", L"&Close", L"Yes", L"&Yes",
                                             L"No", L"&No"};
    for (const wchar_t* c : closing)
        if (text == c) return true;
    return false;
}

POINT Inside(const RECT& r, Dice& d) {
    const LONG w = std::max<LONG>(r.right - r.left - 4, 1), h = std::max<LONG>(r.bottom - r.top - 4, 1);
    return POINT{r.left + 2 + static_cast<LONG>(d.Below(static_cast<uint32_t>(w))),
                 r.top + 2 + static_cast<LONG>(d.Below(static_cast<uint32_t>(h)))};
}

}  // namespace

bool Soak::FrontOrFault(HWND window) {
    if (BringToFront(window)) return true;
    Note("\"%s\" did not come to the front", Narrow(WindowText(window)).c_str());
    return false;
}

bool Soak::DialogToFront(HWND dialog) {
    if (BringToFront(dialog)) return true;
    HWND focus = nullptr;
    if (::GetForegroundWindow() != dialog || !FocusOf(dialog, focus) || focus != nullptr) return false;
    Note("no control has the focus: Tab");
    PressKey(VK_TAB);
    if (WaitForFocus(dialog, 2000)) return true;
    // Some system dialogs (Customize Toolbar under Wine) give no control the
    // focus again; keys then go to the dialog itself, as the active window,
    // and the mouse works as ever.
    return ::GetForegroundWindow() == dialog;
}

bool Soak::Settle() {
    if (!ProgramAlive()) return false;
    ::WaitForInputIdle(Process(), 5000);
    std::vector<HWND> stack;
    return HandleWindows(stack, 0);
}

bool Soak::HandleWindows(std::vector<HWND>& stack, int depth) {
    for (int round = 0; round < 16 && ProgramAlive() && !stopping; ++round) {
        std::vector<HWND> others = OtherWindows(Pid(), mainWnd, stack);
        if (others.empty()) {
            // One may be on its way (a dialog the last input opens).
            ::WaitForInputIdle(Process(), 3000);
            ::Sleep(150);
            others = OtherWindows(Pid(), mainWnd, stack);
            if (others.empty()) return true;
        }
        HWND window = others.front();
        if (IsClass(window, L"#32768")) AnswerMenu(window);
        else if (IsClass(window, L"ComboLBox")) AnswerDroppedList(window);
        else PlayDialog(window, stack, depth);
    }
    if (!ProgramAlive() || stopping) return false;
    const std::vector<HWND> left = OtherWindows(Pid(), mainWnd, stack);
    if (left.empty()) return true;
    Fault("windows stay open: " + Narrow(WindowTitlesOf(Pid())));
    return false;
}

void Soak::AnswerMenu(HWND menu) {
    Dice& d = *stepDice;
    const RECT r = ScreenRect(menu);
    const int how = static_cast<int>(d.Below(10));
    if (how < 3) {
        Note("menu left with Escape");
        PressKey(VK_ESCAPE);
    } else if (how < 7) {
        const int downs = static_cast<int>(d.Below(5));
        Note("menu: %d down, Enter", downs + 1);
        for (int i = 0; i <= downs; ++i) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
    } else {
        const POINT at = Inside(r, d);
        Note("menu clicked at %ld,%ld", at.x, at.y);
        Click(at);
    }
    ++eventCounts["popup menu answered"];
    if (!WaitFor([&] { return Gone(menu); }, 3000)) {
        PressKey(VK_ESCAPE);
        PressKey(VK_ESCAPE);
        if (!WaitFor([&] { return Gone(menu); }, 5000)) Fault("a popup menu stays open");
    }
}

void Soak::AnswerDroppedList(HWND list) {
    Dice& d = *stepDice;
    const int how = static_cast<int>(d.Below(10));
    if (how < 6) {
        RECT r = ScreenRect(list);
        r.right -= 20;   // not on a scroll bar
        const POINT at = Inside(r, d);
        Note("list item clicked at %ld,%ld", at.x, at.y);
        Click(at);
    } else if (how < 8) {
        const int downs = static_cast<int>(d.Below(4));
        Note("list: %d down, Enter", downs);
        for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
    } else {
        Note("list left with Escape");
        PressKey(VK_ESCAPE);
    }
    if (!WaitFor([&] { return Gone(list); }, 3000)) {
        PressKey(VK_ESCAPE);
        if (!WaitFor([&] { return Gone(list); }, 5000)) Fault("a dropped list stays open");
    }
}

void Soak::PlayDialog(HWND dialog, std::vector<HWND>& stack, int depth) {
    Dice& d = *stepDice;
    const std::wstring title = WindowText(dialog);
    ++openCounts[title];
    stepDialogs.insert(title);
    // The end of a game and its kind.
    if (title == L"Congratulations!") {
        ++eventCounts[::FindWindowExW(dialog, nullptr, L"Edit", nullptr) ? "win with a best time" : "win"];
    } else if (title == L"Sorry...") {
        bool timeUp = false;
        ::EnumChildWindows(
            dialog,
            [](HWND child, LPARAM param) -> BOOL {
                if (WindowText(child).find(L"time is up") != std::wstring::npos) *reinterpret_cast<bool*>(param) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&timeUp));
        ++eventCounts[timeUp ? "time up" : "lost"];
    } else if (title == L"Warning") {
        Fault("a warning shows while the program runs");
    }
    Note("dialog \"%s\" (%s)", Narrow(title).c_str(), Narrow(ClassOf(dialog)).c_str());
    stack.push_back(dialog);
    const int actions = depth > 3   ? 0
                        : depth > 1 ? static_cast<int>(d.Below(3))
                                    : static_cast<int>(d.Below(10));
    for (int i = 0; i < actions && !Gone(dialog) && ProgramAlive() && !stopping; ++i) {
        if (!OtherWindows(Pid(), mainWnd, stack).empty() || !::IsWindowEnabled(dialog)) {
            if (!HandleWindows(stack, depth + 1)) break;
            continue;
        }
        if (!DialogToFront(dialog)) {
            Note("\"%s\" did not take the focus", Narrow(title).c_str());
            break;
        }
        DialogAction(dialog);
        ::Sleep(d.Below(150));
        if (!HandleWindows(stack, depth + 1)) break;
    }
    if (!stopping && ProgramAlive()) CloseDialog(dialog, stack, depth);
    stack.erase(std::remove(stack.begin(), stack.end(), dialog), stack.end());
}

void Soak::DialogAction(HWND dialog) {
    Dice& d = *stepDice;
    std::vector<HWND> controls;
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            if (::IsWindowVisible(child) && ::IsWindowEnabled(child))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    const RECT whole = ScreenRect(dialog);
    RECT client{};
    ::GetClientRect(dialog, &client);
    const POINT origin = OnScreen(dialog, 0, 0);
    const RECT inside{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    const double roll = d.Unit();
    if (roll < 0.10 || controls.empty()) {
        const POINT at = Inside(inside, d);
        Note("click at %ld,%ld", at.x, at.y);
        Click(at);
        return;
    }
    if (roll < 0.20) {
        static const WORD keys[] = {VK_TAB, VK_SPACE, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_NEXT, 'A'};
        const WORD key = keys[d.Below(sizeof keys / sizeof keys[0])];
        Note("key %u", key);
        PressKey(key);
        return;
    }
    if (roll < 0.25) {
        if (::GetWindowLongW(dialog, GWL_STYLE) & WS_THICKFRAME) {
            const POINT corner{whole.right - 2, whole.bottom - 2};
            const POINT to{corner.x + d.Between(-250, 250), corner.y + d.Between(-200, 200)};
            Note("dialog resized from %ld,%ld to %ld,%ld", corner.x, corner.y, to.x, to.y);
            DragAlong(corner, to, 3 + static_cast<int>(d.Below(8)), 15);
        } else {
            Note("escape-free key: Tab");
            PressKey(VK_TAB);
        }
        return;
    }
    if (roll < 0.30) {
        const POINT a = Inside(inside, d), b = Inside(inside, d);
        Note("drag in the dialog from %ld,%ld to %ld,%ld", a.x, a.y, b.x, b.y);
        DragAlong(a, b, 3 + static_cast<int>(d.Below(10)), 15);
        return;
    }
    if (roll < 0.32) {
        // The program started again while the dialog is open: the running
        // one comes forward.
        Note("second start with the dialog open");
        Program second;
        if (second.Start() && !second.WaitExit(30000)) {
            Fault("a second corvelle.exe still runs after 30 s: " + Narrow(WindowTitlesOf(second.Pid())));
            second.Kill();
        }
        return;
    }
    if (roll < 0.35) {
        // The main window's shortcuts and a click on it, which a modal
        // dialog keeps from it.
        static const WORD keys[] = {'N', 'R', 'Z', 'M', 'S', 'O'};
        const WORD key = keys[d.Below(6)];
        Note("Ctrl+%c in the dialog", static_cast<char>(key));
        PressKey(key, true);
        return;
    }
    if (roll < 0.37) {
        RECT m{};
        ::GetWindowRect(mainWnd, &m);
        const POINT at{m.left + 20 + static_cast<LONG>(d.Below(static_cast<uint32_t>(std::max<LONG>(m.right - m.left - 40, 1)))),
                       m.top + 60 + static_cast<LONG>(d.Below(static_cast<uint32_t>(std::max<LONG>(m.bottom - m.top - 80, 1))))};
        Note("click on the main window at %ld,%ld", at.x, at.y);
        Click(at);
        return;
    }
    // A control: the buttons that end the dialog less often than the rest
    HWND control = controls[d.Below(static_cast<uint32_t>(controls.size()))];
    // (and plain labels, which do nothing).
    for (int tries = 0; tries < 4 && ((IsClass(control, L"Button") && IsClosingText(WindowText(control)) && !d.OneIn(6)) ||
                                      (IsClass(control, L"Static") && !d.OneIn(3)));
         ++tries)
        control = controls[d.Below(static_cast<uint32_t>(controls.size()))];
    const RECT r = ScreenRect(control);
    const std::wstring kind = ClassOf(control);
    const std::string text = Narrow(WindowText(control));
    if (IsClass(control, L"ComboBox")) {
        Note("combo box %d opened", ::GetDlgCtrlID(control));
        Click(CentreOf(control));
    } else if (IsClass(control, L"SysListView32")) {
        const POINT at{r.left + 10 + static_cast<LONG>(d.Below(static_cast<uint32_t>(std::max<LONG>(r.right - r.left - 30, 1)))),
                       r.top + 22 + static_cast<LONG>(d.Below(static_cast<uint32_t>(std::max<LONG>(r.bottom - r.top - 30, 1))))};
        const int how = static_cast<int>(d.Below(10));
        if (how < 4) {
            Note("list row clicked at %ld,%ld", at.x, at.y);
            Click(at);
        } else if (how < 6) {
            Note("list row double-clicked at %ld,%ld", at.x, at.y);
            DoubleClick(at);
        } else if (how < 9) {
            Note("list row right-clicked at %ld,%ld", at.x, at.y);
            RightClick(at);
        } else {
            Click(at);
            const WORD keys[] = {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME};
            const WORD key = keys[d.Below(6)];
            Note("list key %u", key);
            PressKey(key);
        }
    } else if (IsClass(control, L"ListBox")) {
        const POINT at = Inside(r, d);
        if (d.OneIn(4)) {
            Note("list box double-clicked at %ld,%ld", at.x, at.y);
            DoubleClick(at);
        } else {
            Note("list box clicked at %ld,%ld", at.x, at.y);
            Click(at);
        }
    } else if (IsClass(control, L"SysTabControl32")) {
        const POINT at{r.left + 5 + static_cast<LONG>(d.Below(150)), r.top + 10};
        Note("tab strip clicked at %ld,%ld", at.x, at.y);
        Click(at);
    } else if (IsClass(control, L"Edit")) {
        std::wstring typed;
        const int length = static_cast<int>(d.Below(22));
        for (int i = 0; i < length; ++i) typed += L"abcdefghijklmnopqrstuvwxyz0123456789 "[d.Below(37)];
        Note("edit %d: typed \"%s\"", ::GetDlgCtrlID(control), Narrow(typed).c_str());
        Click(Inside(r, d));
        if (d.Chance(0.5)) PressKey(VK_END);
        TypeText(typed);
    } else {
        const POINT at = Inside(r, d);
        Note("%s \"%s\" clicked at %ld,%ld", Narrow(kind).c_str(), text.c_str(), at.x, at.y);
        if (d.OneIn(8)) RightClick(at);
        else Click(at);
    }
}

bool Soak::CloseDialog(HWND dialog, std::vector<HWND>& stack, int depth) {
    Dice& d = *stepDice;
    const std::wstring title = WindowText(dialog);
    // Whatever it opened goes first.
    HandleWindows(stack, depth + 1);
    for (int attempt = 0; attempt < 6 && !Gone(dialog) && ProgramAlive() && !stopping; ++attempt) {
        if (!OtherWindows(Pid(), mainWnd, stack).empty() || !::IsWindowEnabled(dialog))
            HandleWindows(stack, depth + 1);
        // A dialog on its way out (a game played from the selection) gives
        // the keyboard back to the main window, which Alt+F4 would close:
        // keys go only to the dialog in front while it keeps its owner
        // disabled.
        // Never forced to the front while disabled: under Wine that raises it
        // over the question it waits on, where no player could bring it.
        if (!::IsWindowEnabled(dialog) || !DialogToFront(dialog) || ::IsWindowEnabled(mainWnd) ||
            ::GetForegroundWindow() != dialog) {
            WaitFor([&] { return Gone(dialog); }, 2000);
            continue;
        }
        // The first attempt at random; then Escape, a closing button, the
        // close box, Alt+F4.
        const int how = attempt == 0 ? static_cast<int>(d.Below(6)) : attempt;
        HWND button = nullptr;
        if (how == 2 || how == 5) {
            std::vector<HWND> buttons;
            ::EnumChildWindows(
                dialog,
                [](HWND child, LPARAM param) -> BOOL {
                    if (::IsWindowVisible(child) && ::IsWindowEnabled(child) && IsClass(child, L"Button") &&
                        IsClosingText(WindowText(child)))
                        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&buttons));
            if (!buttons.empty()) button = buttons[d.Below(static_cast<uint32_t>(buttons.size()))];
        }
        if (button) {
            Note("closed with \"%s\"", Narrow(WindowText(button)).c_str());
            Click(CentreOf(button));
        } else if (how == 0 || how == 1) {
            Note("closed with %s", how == 0 ? "Escape" : "Enter");
            PressKey(how == 0 ? VK_ESCAPE : VK_RETURN);
        } else if (how == 3) {
            Note("closed with the close box");
            Click(CloseBox(dialog));
        } else {
            Note("closed with Alt+F4");
            PressKey(VK_F4, false, true);
        }
        WaitFor([&] { return Gone(dialog) || !OtherWindows(Pid(), mainWnd, stack).empty(); }, 5000);
        if (!Gone(dialog)) HandleWindows(stack, depth + 1);
        WaitFor([&] { return Gone(dialog); }, 2000);
    }
    if (Gone(dialog) || !ProgramAlive() || stopping) return true;
    Fault("the dialog \"" + Narrow(title) + "\" does not close");
    return false;
}

}  // namespace corvelle::drive
