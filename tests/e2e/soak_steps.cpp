// The soak's steps: play on the field, shortcuts and menus, the command
// bar, the dialogs' openings, the side panel, the window, second starts,
// clean restarts and starts one move before a win.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <ctime>

#include "engine/engine_owner.h"
#include "engine/game_engine.h"
#include "engine/registry.h"
#include "field/pile_geometry.h"
#include "game_setup.h"
#include "library_games.h"
#include "logic/game_flow.h"
#include "panel_view.h"
#include "res/resource.h"
#include "soak.h"

namespace corvelle::drive {

namespace {

uint8_t PrefByte(const char16_t* name, uint8_t fallback) {
    CRegistryKey key;
    std::vector<uint8_t> bytes;
    uint32_t type = 0;
    if (key.Open(ProgramSubKey(u"prefs")) && key.QueryValue(name, type, bytes, 16) && bytes.size() == 1) return bytes[0];
    return fallback;
}

// The main menu's commands: the menu, the Down presses from its first item
// (separators are passed over), the row counting separators.
struct MenuCommand {
    int menu;
    int downs;
    int row;
    const char* name;
};
constexpr MenuCommand kMenuCommands[] = {
    {0, 0, 0, "New"},          {0, 1, 1, "Restart"},   {0, 2, 3, "Select"},
    {1, 0, 0, "Undo"},         {1, 1, 1, "Show Next Move"},
    {2, 0, 0, "Command Bar"},  {2, 1, 2, "Options"},   {3, 0, 0, "About"},
};
constexpr wchar_t kMenuLetters[] = {'G', 'M', 'T', 'H'};
// The menu bar's titles: their middles from the client area's left, and the
// bar's middle above the client area (Wine's menu font at 96 dpi).
constexpr int kMenuTitleX[] = {22, 70, 118, 159};
constexpr int kMenuBarAboveClient = 11;
// Rows of a popup menu: an item and a separator, in pixels.
constexpr int kMenuItemHeight = 18;
constexpr int kMenuSeparatorHeight = 9;
constexpr wchar_t kKlondike[] = L"Klondike (draw one)";
constexpr uint32_t kWinDeal = 59;

// The save stamps as the program keeps them, in the preferences'
// "lastPlayed": read into `stamps`, and written back from it.
void LoadStamps(uint32_t* stamps) {
    CRegistryKey key;
    std::vector<uint8_t> bytes;
    uint32_t type = 0;
    if (key.Open(ProgramSubKey(u"prefs")) && key.QueryValue(u"lastPlayed", type, bytes, 64) &&
        bytes.size() == kSavedGameSlots * sizeof(uint32_t))
        std::memcpy(stamps, bytes.data(), bytes.size());
}

void StoreStamps(const uint32_t* stamps) {
    CRegistryKey key;
    if (key.Open(ProgramSubKey(u"prefs"))) key.WriteValue(u"lastPlayed", kRegNone, stamps, kSavedGameSlots * sizeof(uint32_t));
}

}  // namespace

// ---------------------------------------------------------------- geometry

FieldView& Soak::ViewField() {
    static FieldView none;
    none = FieldView{};
    if (!mainWnd) return none;
    const std::wstring title = WindowText(mainWnd);
    const std::string name = Utf16ToUtf8(std::u16string(title.begin(), title.end()));
    FieldView& view = fieldViews[name];
    if (view.game.empty()) {
        CGameEngine engine;
        if (!test::DealLibraryGame(engine, name, 1) || !BuildFieldLayout(engine, view.layout)) {
            Note("no layout for \"%s\"", name.c_str());
            fieldViews.erase(name);
            return none;
        }
        view.game = name;
        view.layout.SetStandardGeometry();
        for (uint16_t p = 0; p < view.layout.GetPileCount(); ++p) {
            if (!view.layout.piles[p].visible) continue;
            view.piles.push_back(p);
            if (engine.piles[p].clickEvent != kNone || engine.piles[p].emptyClickEvent != kNone)
                view.clickPiles.push_back(p);
        }
    }
    view.field = FindField(mainWnd);
    RECT client{};
    ::GetClientRect(view.field, &client);
    view.width = client.right;
    view.height = client.bottom;
    return view;
}

uint16_t Soak::AnyPile(const FieldView& view) {
    return view.piles.empty() ? 0 : view.piles[stepDice->Below(static_cast<uint32_t>(view.piles.size()))];
}

POINT Soak::CardPoint(const FieldView& view, uint16_t pile, bool topStrip) {
    Dice& d = *stepDice;
    if (pile >= view.layout.GetPileCount()) return AnyFieldPoint(view);
    const FieldPile& p = view.layout.piles[pile];
    const PilePlacement at = PlacePile(view.layout, p, view.width, view.height);
    // A card of the pile as dealt, or a little past its end (the pile may
    // have grown).
    const int index = static_cast<int>(d.Below(static_cast<uint32_t>(p.cards.size()) + 3));
    const int x = at.x + index * at.dx + 4 + static_cast<int>(d.Below(71));
    const int y = at.y + index * at.dy + 3 + static_cast<int>(d.Below(topStrip ? 16 : 106));
    return OnScreen(view.field, std::min(std::max(x, 1), view.width - 2), std::min(std::max(y, 1), view.height - 2));
}

POINT Soak::AnyFieldPoint(const FieldView& view) {
    return OnScreen(view.field, 1 + static_cast<int>(stepDice->Below(static_cast<uint32_t>(std::max(view.width - 2, 1)))),
                    1 + static_cast<int>(stepDice->Below(static_cast<uint32_t>(std::max(view.height - 2, 1)))));
}

POINT Soak::CloseBox(HWND window) const {
    TITLEBARINFO title{};
    title.cbSize = sizeof title;
    ::GetTitleBarInfo(window, &title);
    return POINT{title.rcTitleBar.right - 12, (title.rcTitleBar.top + title.rcTitleBar.bottom) / 2};
}

// ---------------------------------------------------------------- steps

void Soak::RunStep(uint64_t step, StepKind kind) {
    Log("#%llu %s %s", static_cast<unsigned long long>(step), Elapsed().c_str(), StepName(kind));
    switch (kind) {
    case StepKind::kFieldClick:
    case StepKind::kFieldTwoClicks:
    case StepKind::kFieldDoubleClick:
    case StepKind::kFieldDragSlow:
    case StepKind::kFieldDragFast:
    case StepKind::kFieldDragAway:
    case StepKind::kFieldPressHold:
    case StepKind::kFieldPeek:
    case StepKind::kFieldMixedButtons:
    case StepKind::kFieldHintMove:
    case StepKind::kFieldHintRun:
    case StepKind::kFieldClickPile: FieldStep(kind); break;
    case StepKind::kShortcut: Shortcut(); break;
    case StepKind::kMenuKeys:
    case StepKind::kMenuMouse: {
        const int command = static_cast<int>(stepDice->Below(sizeof kMenuCommands / sizeof kMenuCommands[0] + 1));
        const int menu = command < 8 ? kMenuCommands[command].menu : static_cast<int>(stepDice->Below(4));
        const int item = command < 8 ? command : -1;
        if (kind == StepKind::kMenuKeys) MenuByKeys(menu, item);
        else MenuByMouse(menu, item);
        break;
    }
    case StepKind::kBarButton: BarButton(stepDice->Chance(0.7) ? static_cast<int>(stepDice->Below(6)) : -1); break;
    case StepKind::kBarMenu: BarMenu(static_cast<int>(stepDice->Below(4))); break;
    case StepKind::kOpenSelect:
    case StepKind::kOpenOptions:
    case StepKind::kOpenAbout:
    case StepKind::kOpenCustomize: OpenDialog(kind); break;
    case StepKind::kPanelHeaderClick:
    case StepKind::kPanelHeaderDrag:
    case StepKind::kPanelEdgeDrag:
    case StepKind::kPanelControl:
    case StepKind::kPanelWheel: PanelStep(kind); break;
    case StepKind::kWindowResize:
    case StepKind::kWindowMaximise:
    case StepKind::kWindowMinimise:
    case StepKind::kWindowMove: WindowStep(kind); break;
    case StepKind::kSecondStart: SecondStart(); break;
    case StepKind::kIdle: {
        const DWORD ms = 500 + stepDice->Below(6000);
        Note("idle %lu ms", ms);
        ::Sleep(ms);
        break;
    }
    case StepKind::kChaos: Chaos(); break;
    case StepKind::kCleanRestart: CleanRestart(); break;
    case StepKind::kNearWin: NearWin(); break;
    case StepKind::kCount: break;
    }
}

void Soak::FieldStep(StepKind kind) {
    FieldView& view = ViewField();
    if (!view.field || view.width <= 0 || view.height <= 0) {
        Note("no field to play on");
        return;
    }
    if (!FrontOrFault(mainWnd)) return;
    Dice& d = *stepDice;
    const uint16_t a = AnyPile(view), b = AnyPile(view);
    ++eventCounts[PrefByte(u"playMode", 1) == 0 ? "field steps clicking" : "field steps dragging"];
    switch (kind) {
    case StepKind::kFieldClick: {
        const POINT p = d.Chance(0.8) ? CardPoint(view, a, d.Chance(0.5)) : AnyFieldPoint(view);
        Note("click %ld,%ld (pile %u)", p.x, p.y, a);
        Click(p);
        break;
    }
    case StepKind::kFieldTwoClicks: {
        const POINT p = CardPoint(view, a, true), q = CardPoint(view, b, d.Chance(0.5));
        Note("click %ld,%ld (pile %u), then %ld,%ld (pile %u)", p.x, p.y, a, q.x, q.y, b);
        Click(p);
        ::Sleep(d.Below(400));
        Click(q);
        break;
    }
    case StepKind::kFieldDoubleClick: {
        const POINT p = CardPoint(view, a, d.Chance(0.5));
        Note("double-click %ld,%ld (pile %u)", p.x, p.y, a);
        DoubleClick(p);
        break;
    }
    case StepKind::kFieldDragSlow:
    case StepKind::kFieldDragFast: {
        const POINT p = CardPoint(view, a, d.Chance(0.7));
        const POINT q = d.Chance(0.9) ? CardPoint(view, b, d.Chance(0.5)) : AnyFieldPoint(view);
        const bool slow = kind == StepKind::kFieldDragSlow;
        const int moves = slow ? 8 + d.Between(0, 30) : 1 + static_cast<int>(d.Below(2));
        const DWORD pause = slow ? 10 + d.Below(40) : 0;
        Note("drag %ld,%ld (pile %u) to %ld,%ld (pile %u), %d moves %lu ms apart", p.x, p.y, a, q.x, q.y, b, moves,
             pause);
        DragAlong(p, q, moves, pause);
        break;
    }
    case StepKind::kFieldDragAway: {
        // Released over the panel, the command bar, the status bar, the
        // caption or off the window.
        const RECT w = MainRect();
        const POINT targets[] = {{w.right - 60, (w.top + w.bottom) / 2},
                                 {(w.left + w.right) / 2, w.top + 60},
                                 {(w.left + w.right) / 2, w.bottom - 8},
                                 {(w.left + w.right) / 2, w.top + 10},
                                 {2, 2},
                                 {::GetSystemMetrics(SM_CXSCREEN) - 3, ::GetSystemMetrics(SM_CYSCREEN) - 3}};
        const POINT p = CardPoint(view, a, true);
        const POINT q = targets[d.Below(6)];
        Note("drag %ld,%ld (pile %u) away to %ld,%ld", p.x, p.y, a, q.x, q.y);
        DragAlong(p, q, 3 + static_cast<int>(d.Below(12)), 10);
        break;
    }
    case StepKind::kFieldPressHold: {
        const POINT p = CardPoint(view, a, d.Chance(0.5));
        const DWORD ms = 200 + d.Below(2500);
        Note("press %ld,%ld (pile %u) for %lu ms", p.x, p.y, a, ms);
        MouseAt(p, 0);
        MouseAt(p, MOUSEEVENTF_LEFTDOWN);
        ::Sleep(ms);
        MouseAt(POINT{p.x + d.Between(-3, 3), p.y + d.Between(-3, 3)}, MOUSEEVENTF_LEFTUP);
        break;
    }
    case StepKind::kFieldPeek: {
        const POINT p = CardPoint(view, a, true);
        const POINT q = d.Chance(0.7) ? CardPoint(view, a, true) : CardPoint(view, b, true);
        const int moves = 1 + static_cast<int>(d.Below(12));
        Note("peek %ld,%ld (pile %u) along to %ld,%ld", p.x, p.y, a, q.x, q.y);
        DragAlong(p, q, moves, 20 + d.Below(80), true);
        break;
    }
    case StepKind::kFieldMixedButtons: {
        // Both buttons at once, released in either order.
        const POINT p = CardPoint(view, a, true), q = CardPoint(view, b, true);
        const bool rightFirst = d.Chance(0.5), leftUpFirst = d.Chance(0.5);
        Note("both buttons from %ld,%ld to %ld,%ld", p.x, p.y, q.x, q.y);
        MouseAt(p, rightFirst ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        MouseAt(POINT{(p.x + q.x) / 2, (p.y + q.y) / 2}, 0);
        MouseAt(POINT{(p.x + q.x) / 2, (p.y + q.y) / 2}, rightFirst ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN);
        MouseAt(q, 0);
        MouseAt(q, leftUpFirst ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP);
        MouseAt(q, leftUpFirst ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        break;
    }
    case StepKind::kFieldHintMove: HintMove(); break;
    case StepKind::kFieldHintRun: {
        const int moves = 3 + static_cast<int>(d.Below(20));
        int made = 0;
        for (int i = 0; i < moves && ProgramAlive(); ++i) {
            std::vector<HWND> stack;
            if (!HintMove()) break;
            ++made;
            // A dialog ends the run (a win, a loss).
            if (!Settle() || !stepDialogs.empty()) break;
            FrontOrFault(mainWnd);
        }
        Note("%d hinted moves", made);
        break;
    }
    case StepKind::kFieldClickPile: {
        const uint16_t pile = view.clickPiles.empty()
                                  ? a
                                  : view.clickPiles[d.Below(static_cast<uint32_t>(view.clickPiles.size()))];
        const int clicks = 1 + static_cast<int>(d.Below(4));
        Note("%d clicks on pile %u", clicks, pile);
        for (int i = 0; i < clicks; ++i) {
            Click(CardPoint(view, pile, false));
            ::Sleep(d.Below(300));
        }
        break;
    }
    default: break;
    }
}

namespace {

struct Box {
    LONG left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    LONG Area() const { return Empty() ? 0 : (right - left) * (bottom - top); }
};

// The box around the pixels where two captures of one size differ.
Box Difference(const Screenshot& a, const Screenshot& b) {
    Box box{b.width, b.height, 0, 0};
    if (a.width != b.width || a.height != b.height) return Box{};
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (a.At(x, y) != b.At(x, y)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box.Empty() ? Box{} : box;
}

bool Overlapping(const Box& a, const Box& b) {
    const LONG w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const LONG h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 && w * h * 2 > std::min(a.Area(), b.Area());
}

}  // namespace

// Ctrl+M, the blink read from the screen (first the card, then where it
// goes, or the pile to click), and the move made as the play mode takes
// it. False when no hint showed.
bool Soak::HintMove() {
    FieldView& view = ViewField();
    if (!view.field) return false;
    FrontOrFault(mainWnd);
    const Screenshot before = CaptureSettled(view.field, 3000, nullptr, 100);
    PressKey('M', true);
    std::vector<Box> boxes;
    const DWORD start = ::GetTickCount();
    DWORD quietSince = 0;
    while (::GetTickCount() - start < 4000) {
        const Box box = Difference(before, CaptureClient(view.field));
        if (!box.Empty()) {
            quietSince = 0;
            if (boxes.empty() || !Overlapping(boxes.back(), box)) boxes.push_back(box);
        } else if (!boxes.empty()) {
            if (!quietSince) quietSince = ::GetTickCount();
            if (::GetTickCount() - quietSince > 500) break;
        }
        ::Sleep(25);
    }
    if (boxes.empty()) {
        Note("no hint showed");
        return false;
    }
    // The first box is the card (or the pile to click); the next one apart
    // from it is the target.
    const Box source = boxes.front();
    const Box* target = nullptr;
    for (const Box& b : boxes)
        if (!Overlapping(b, source)) {
            target = &b;
            break;
        }
    const POINT press = OnScreen(view.field, (source.left + source.right) / 2, source.top + 8);
    const bool clicking = PrefByte(u"playMode", 1) == 0;
    if (!target) {
        Note("hint: click %ld,%ld", press.x, press.y);
        Click(OnScreen(view.field, (source.left + source.right) / 2, (source.top + source.bottom) / 2));
        ++eventCounts["hinted click"];
        return true;
    }
    const POINT release = OnScreen(view.field, target->left + (source.right - source.left) / 2, target->top + 8);
    Note("hint: %s %ld,%ld to %ld,%ld", clicking ? "clicks" : "drag", press.x, press.y, release.x, release.y);
    if (clicking) {
        Click(press);
        Click(release);
    } else {
        DragAlong(press, release, 2 + static_cast<int>(stepDice->Below(10)), stepDice->Below(20));
    }
    ++eventCounts["hinted move"];
    return true;
}

void Soak::Shortcut() {
    if (!FrontOrFault(mainWnd)) return;
    Dice& d = *stepDice;
    struct Key {
        WORD vk;
        bool ctrl;
        const char* name;
    };
    static const Key keys[] = {{'N', true, "Ctrl+N"},   {'R', true, "Ctrl+R"},   {'Z', true, "Ctrl+Z"},
                               {'Z', true, "Ctrl+Z"},   {'M', true, "Ctrl+M"},   {'S', true, "Ctrl+S"},
                               {'O', true, "Ctrl+O"},   {VK_ESCAPE, false, "Escape"}, {VK_RETURN, false, "Enter"},
                               {VK_SPACE, false, "Space"}, {VK_F1, false, "F1"},  {VK_TAB, false, "Tab"},
                               {'A', false, "A"},       {VK_DELETE, false, "Delete"}, {VK_F10, false, "F10"}};
    const Key& k = keys[d.Below(sizeof keys / sizeof keys[0])];
    const int times = k.vk == 'Z' ? 1 + static_cast<int>(d.Below(4)) : 1;
    Note("%s x%d", k.name, times);
    for (int i = 0; i < times; ++i) PressKey(k.vk, k.ctrl);
    if (k.vk == VK_F10) {
        // F10 enters the menu bar: leave it again.
        ::Sleep(200);
        PressKey(VK_ESCAPE);
    }
}

void Soak::MenuByKeys(int menu, int item) {
    if (!FrontOrFault(mainWnd)) return;
    Note("menu %c by keys: %s", static_cast<char>(kMenuLetters[menu]), item < 0 ? "wandered, left" : kMenuCommands[item].name);
    if (!OpenMenuWith(Pid(), [&] { PressKey(static_cast<WORD>(kMenuLetters[menu]), false, true); }, 5000)) {
        Note("no menu opened");
        return;
    }
    ++eventCounts["menu opened"];
    if (item < 0) {
        const int wander = static_cast<int>(stepDice->Below(5));
        for (int i = 0; i < wander; ++i) PressKey(stepDice->Chance(0.5) ? VK_RIGHT : VK_LEFT);
        PressKey(VK_ESCAPE);
        PressKey(VK_ESCAPE);
        return;
    }
    for (int i = 0; i < kMenuCommands[item].downs; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ++eventCounts[std::string("menu ") + kMenuCommands[item].name];
}

void Soak::MenuByMouse(int menu, int item) {
    if (!FrontOrFault(mainWnd)) return;
    const POINT title = OnScreen(mainWnd, kMenuTitleX[menu], -kMenuBarAboveClient);
    Note("menu %c by mouse: %s", static_cast<char>(kMenuLetters[menu]), item < 0 ? "clicked away" : kMenuCommands[item].name);
    HWND popup = OpenMenuWith(Pid(), [&] { Click(title); }, 5000);
    if (!popup) {
        Note("no menu opened");
        return;
    }
    ++eventCounts["menu opened"];
    RECT r;
    ::GetWindowRect(popup, &r);
    if (item < 0) {
        // A click on the field closes it.
        const RECT w = MainRect();
        Click(POINT{(w.left + w.right) / 2, (w.top + w.bottom) / 2});
        return;
    }
    int y = r.top + 3;
    const int row = kMenuCommands[item].row;
    // Game: a separator above Select; Tools: one above Options.
    y += row * kMenuItemHeight;
    if ((menu == 0 && row == 3) || (menu == 2 && row == 2)) y += kMenuSeparatorHeight - kMenuItemHeight;
    Click(POINT{r.left + 20 + static_cast<LONG>(stepDice->Below(40)), y + kMenuItemHeight / 2});
    ++eventCounts[std::string("menu ") + kMenuCommands[item].name];
}

// A click on the command bar: on the button of `command` (0 New .. 5
// Options) wherever the player put it, or anywhere along the bar (-1).
void Soak::BarButton(int command) {
    HWND bar = ::FindWindowExW(mainWnd, nullptr, nullptr, L"CommandBar");
    HWND toolbar = bar ? FindChildOfClass(bar, TOOLBARCLASSNAMEW) : nullptr;
    if (!toolbar || !::IsWindowVisible(bar)) {
        Note("no command bar shown");
        return;
    }
    if (!FrontOrFault(mainWnd)) return;
    const int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    const int button = LOWORD(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
    // The items in order: a command's index tells where it is, the other
    // items are separators (8 pixels wide).
    std::vector<int> items(static_cast<size_t>(std::max(count, 0)), -1);
    for (int c = 0; c < 6; ++c) {
        const int index = static_cast<int>(::SendMessageW(toolbar, TB_COMMANDTOINDEX, ID_GAME_NEW + c, 0));
        if (index >= 0 && index < count) items[static_cast<size_t>(index)] = c;
    }
    RECT r;
    ::GetWindowRect(toolbar, &r);
    int x = 0, target = -1;
    for (int i = 0; i < count; ++i) {
        const int width = items[static_cast<size_t>(i)] < 0 ? 8 : button;
        if (items[static_cast<size_t>(i)] == command && command >= 0) target = x + width / 2;
        x += width;
    }
    if (command >= 0 && target < 0) {
        Note("the command bar has no button %d", command);
        return;
    }
    const POINT at{r.left + (target >= 0 ? target : static_cast<int>(stepDice->Below(static_cast<uint32_t>(std::max(x, 1))))),
                   (r.top + r.bottom) / 2};
    Note("command bar click at %ld,%ld (%d items%s)", at.x, at.y, count,
         target >= 0 ? (", button " + std::to_string(command)).c_str() : "");
    Click(at);
}

void Soak::BarMenu(int choice) {
    HWND bar = ::FindWindowExW(mainWnd, nullptr, nullptr, L"CommandBar");
    if (!bar || !::IsWindowVisible(bar)) {
        Note("no command bar shown");
        return;
    }
    if (!FrontOrFault(mainWnd)) return;
    RECT r;
    ::GetWindowRect(bar, &r);
    const POINT at{r.right - 10 - static_cast<LONG>(stepDice->Below(60)), (r.top + r.bottom) / 2};
    const char* names[] = {"Small Icons", "Big Icons", "Customize...", "left"};
    Note("command bar menu: %s", names[choice]);
    if (!OpenMenuWith(Pid(), [&] { RightClick(at); }, 5000)) {
        Note("no menu opened");
        return;
    }
    ++eventCounts["command bar menu"];
    if (choice == 3) {
        PressKey(VK_ESCAPE);
        return;
    }
    for (int i = 0; i <= choice; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
}

void Soak::OpenDialog(StepKind kind) {
    Dice& d = *stepDice;
    const int route = static_cast<int>(d.Below(4));
    switch (kind) {
    case StepKind::kOpenSelect:
        if (route == 0 && FrontOrFault(mainWnd)) {
            Note("Ctrl+S");
            PressKey('S', true);
        } else if (route == 1) {
            MenuByKeys(0, 2);
        } else if (route == 2) {
            MenuByMouse(0, 2);
        } else {
            BarButton(2);
        }
        break;
    case StepKind::kOpenOptions:
        if (route == 0 && FrontOrFault(mainWnd)) {
            Note("Ctrl+O");
            PressKey('O', true);
        } else if (route == 1) {
            MenuByKeys(2, 6);
        } else if (route == 2) {
            MenuByMouse(2, 6);
        } else {
            BarButton(5);
        }
        break;
    case StepKind::kOpenAbout:
        if (route < 2) MenuByKeys(3, 7);
        else MenuByMouse(3, 7);
        break;
    default: BarMenu(2); break;
    }
}

void Soak::PanelStep(StepKind kind) {
    HWND panel = FindPanel(mainWnd);
    if (!panel || !::IsWindowVisible(panel)) {
        Note("no side panel shown");
        return;
    }
    if (!FrontOrFault(mainWnd)) return;
    Dice& d = *stepDice;
    const std::vector<PanelRegionView> regions = PanelRegions(panel);
    RECT r;
    ::GetWindowRect(panel, &r);
    switch (kind) {
    case StepKind::kPanelHeaderClick: {
        if (regions.empty()) return;
        const PanelRegionView& region = regions[d.Below(static_cast<uint32_t>(regions.size()))];
        Note("header \"%s\" clicked", Narrow(region.caption).c_str());
        Click(CentreOf(region.header));
        break;
    }
    case StepKind::kPanelHeaderDrag: {
        if (regions.empty()) return;
        const PanelRegionView& from = regions[d.Below(static_cast<uint32_t>(regions.size()))];
        const PanelRegionView& onto = regions[d.Below(static_cast<uint32_t>(regions.size()))];
        const POINT p = CentreOf(from.header);
        const POINT q{CentreOf(onto.header).x + d.Between(-40, 40),
                      d.Chance(0.5) ? onto.headerRect.top + 2 : onto.headerRect.bottom - 2};
        Note("header \"%s\" dragged onto \"%s\"", Narrow(from.caption).c_str(), Narrow(onto.caption).c_str());
        DragAlong(p, q, 3 + static_cast<int>(d.Below(12)), 15);
        break;
    }
    case StepKind::kPanelEdgeDrag: {
        const POINT p{r.left + 1, r.top + static_cast<LONG>(d.Below(static_cast<uint32_t>(r.bottom - r.top)))};
        const POINT q{p.x + d.Between(-450, 300), p.y + d.Between(-50, 50)};
        Note("panel edge dragged from %ld to %ld", p.x, q.x);
        DragAlong(p, q, 2 + static_cast<int>(d.Below(12)), d.Below(25));
        break;
    }
    case StepKind::kPanelControl: {
        // Any control in the panel: the best times' Clear, the lists, the
        // texts, the scroll bar.
        std::vector<HWND> controls;
        ::EnumChildWindows(
            panel,
            [](HWND child, LPARAM param) -> BOOL {
                if (::IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&controls));
        const bool scrollBar = controls.empty() || d.OneIn(5);
        POINT at;
        if (scrollBar) {
            at = POINT{r.right - 8, r.top + static_cast<LONG>(d.Below(static_cast<uint32_t>(r.bottom - r.top)))};
            Note("panel's right edge clicked at %ld,%ld", at.x, at.y);
        } else {
            HWND control = controls[d.Below(static_cast<uint32_t>(controls.size()))];
            RECT c;
            ::GetWindowRect(control, &c);
            at = POINT{c.left + static_cast<LONG>(d.Below(static_cast<uint32_t>(std::max<LONG>(c.right - c.left, 1)))),
                       c.top + static_cast<LONG>(d.Below(static_cast<uint32_t>(std::max<LONG>(c.bottom - c.top, 1))))};
            Note("panel control \"%s\" clicked", Narrow(WindowText(control)).c_str());
        }
        if (at.y >= r.top && at.y < r.bottom) Click(at);
        break;
    }
    case StepKind::kPanelWheel: {
        const POINT at{r.left + static_cast<LONG>(d.Below(static_cast<uint32_t>(r.right - r.left))),
                       r.top + static_cast<LONG>(d.Below(static_cast<uint32_t>(r.bottom - r.top)))};
        const int notches = d.Between(-6, 6);
        Note("wheel %d over the panel", notches);
        Wheel(at, notches);
        break;
    }
    default: break;
    }
}

void Soak::WindowStep(StepKind kind) {
    if (!FrontOrFault(mainWnd)) return;
    Dice& d = *stepDice;
    const RECT w = MainRect();
    TITLEBARINFO title{};
    title.cbSize = sizeof title;
    ::GetTitleBarInfo(mainWnd, &title);
    const LONG captionY = (title.rcTitleBar.top + title.rcTitleBar.bottom) / 2;
    switch (kind) {
    case StepKind::kWindowResize: {
        if (::IsZoomed(mainWnd)) {
            Note("maximised: no resize");
            return;
        }
        // An edge or a corner of the frame, moved in or out.
        const int edge = static_cast<int>(d.Below(6));
        const LONG midX = (w.left + w.right) / 2, midY = (w.top + w.bottom) / 2;
        const POINT from[] = {{w.right - 2, midY}, {midX, w.bottom - 2}, {w.right - 2, w.bottom - 2},
                              {w.left + 1, midY},  {midX, w.top + 1},    {w.left + 1, w.top + 1}};
        const POINT p = from[edge];
        const POINT q{p.x + d.Between(-250, 250), p.y + d.Between(-250, 250)};
        const POINT to{edge == 1 || edge == 4 ? p.x : q.x, edge == 0 || edge == 3 ? p.y : q.y};
        Note("frame dragged from %ld,%ld to %ld,%ld", p.x, p.y, to.x, to.y);
        DragAlong(p, to, 3 + static_cast<int>(d.Below(10)), 15);
        break;
    }
    case StepKind::kWindowMaximise: {
        const bool zoomed = ::IsZoomed(mainWnd) != FALSE;
        if (d.Chance(0.5)) {
            Note("caption double-clicked (%s)", zoomed ? "maximised" : "normal");
            DoubleClick(POINT{(title.rcTitleBar.left + title.rcTitleBar.right) / 2, captionY});
        } else {
            Note("maximise box clicked (%s)", zoomed ? "maximised" : "normal");
            Click(POINT{title.rcTitleBar.right - 29, captionY});
        }
        if (!WaitFor([&] { return (::IsZoomed(mainWnd) != FALSE) != zoomed; }, 5000)) Note("the window kept its state");
        else ++eventCounts[zoomed ? "restored from maximised" : "maximised"];
        break;
    }
    case StepKind::kWindowMinimise: {
        const int how = static_cast<int>(d.Below(2));
        Note("minimised with %s", how == 0 ? "the minimise box" : "the system menu");
        if (how == 0) {
            Click(POINT{title.rcTitleBar.right - 46, captionY});
        } else {
            PressKey(VK_SPACE, false, true);
            if (WaitForPopupMenu(Pid(), 5000)) PressKey('N');
        }
        if (!WaitFor([&] { return ::IsIconic(mainWnd) != FALSE; }, 5000)) {
            Note("the window did not minimise");
            if (FindPopupMenu(Pid())) PressKey(VK_ESCAPE);
            return;
        }
        ++eventCounts["minimised"];
        ::Sleep(300 + d.Below(3000));
        // Back: a second start brings it back, or the system menu's Restore.
        if (d.Chance(0.5)) {
            SecondStart();
        } else {
            Note("restored with the system menu");
            BringToFront(mainWnd);
            PressKey(VK_SPACE, false, true);
            if (WaitForPopupMenu(Pid(), 5000)) PressKey('R');
        }
        if (!WaitFor([&] { return ::IsIconic(mainWnd) == FALSE; }, 10000)) {
            Note("still minimised: restored by the driver");
            ::ShowWindow(mainWnd, SW_RESTORE);
        }
        break;
    }
    case StepKind::kWindowMove: {
        if (::IsZoomed(mainWnd)) return;
        const POINT p{title.rcTitleBar.left + 60 + static_cast<LONG>(d.Below(200)), captionY};
        LONG dx = d.Between(-200, 200), dy = d.Between(-100, 100);
        // The window stays on the screen where it fits (else its left or
        // top edge on it): the driver reads the field from the screen.
        const auto keep = [](LONG delta, LONG low, LONG size, LONG screen) {
            const LONG first = std::min<LONG>(0, screen - size), last = std::max<LONG>(0, screen - size);
            return std::min(std::max(low + delta, first), last) - low;
        };
        dx = keep(dx, w.left, w.right - w.left, ::GetSystemMetrics(SM_CXSCREEN));
        dy = keep(dy, w.top, w.bottom - w.top, ::GetSystemMetrics(SM_CYSCREEN));
        Note("caption dragged by %ld,%ld", dx, dy);
        DragAlong(p, POINT{p.x + dx, p.y + dy}, 3 + static_cast<int>(d.Below(10)), 15);
        break;
    }
    default: break;
    }
}

// Input in a hurry: clicks, drags and keys over the main window's client
// area, menu bar and status bar, with no wait for the program between them.
void Soak::Chaos() {
    if (!FrontOrFault(mainWnd)) return;
    Dice& d = *stepDice;
    RECT client{};
    ::GetClientRect(mainWnd, &client);
    const POINT origin = OnScreen(mainWnd, 0, 0);
    const RECT area{origin.x, origin.y - 15, origin.x + client.right, origin.y + client.bottom};
    const auto anywhere = [&] {
        return POINT{area.left + static_cast<LONG>(d.Below(static_cast<uint32_t>(area.right - area.left))),
                     area.top + static_cast<LONG>(d.Below(static_cast<uint32_t>(area.bottom - area.top)))};
    };
    static const WORD keys[] = {VK_ESCAPE, VK_RETURN, VK_SPACE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_TAB, 'A', 'Q'};
    static const WORD ctrlKeys[] = {'N', 'R', 'Z', 'Z', 'M', 'S', 'O'};
    const int events = 8 + static_cast<int>(d.Below(30));
    Note("%d events in a hurry", events);
    for (int i = 0; i < events; ++i) {
        switch (d.Below(7)) {
        case 0: Click(anywhere()); break;
        case 1: DoubleClick(anywhere()); break;
        case 2: RightClick(anywhere()); break;
        case 3: DragAlong(anywhere(), anywhere(), 1 + static_cast<int>(d.Below(4)), 0); break;
        case 4: PressKey(keys[d.Below(sizeof keys / sizeof keys[0])]); break;
        case 5: PressKey(ctrlKeys[d.Below(sizeof ctrlKeys / sizeof ctrlKeys[0])], true); break;
        default: MouseAt(anywhere(), 0); break;
        }
    }
}

void Soak::SecondStart() {
    Program second;
    Note("second start");
    if (!second.Start()) {
        Fault("a second corvelle.exe did not start");
        return;
    }
    if (!second.WaitExit(30000)) {
        Fault("a second corvelle.exe still runs after 30 s: " + Narrow(WindowTitlesOf(second.Pid())));
        second.Kill();
        return;
    }
    ++eventCounts["second start"];
    if (!WaitFor([&] { return ::IsIconic(mainWnd) == FALSE; }, 10000))
        Fault("a second start did not bring the minimised window back");
}

void Soak::CleanRestart() {
    Dice& d = *stepDice;
    // What must come back: the game in play as shown, the panel, the bar.
    FieldView& view = ViewField();
    const std::wstring title = WindowText(mainWnd);
    const Screenshot field = view.field ? CaptureSettled(view.field, 5000) : Screenshot{};
    HWND panel = FindPanel(mainWnd);
    const std::wstring order = panel ? PanelOrder(panel) : L"";
    const LONG panelWidth = panel ? WindowSize(panel).cx : 0;
    HWND bar = ::FindWindowExW(mainWnd, nullptr, nullptr, L"CommandBar");
    HWND toolbar = bar ? FindChildOfClass(bar, TOOLBARCLASSNAMEW) : nullptr;
    const LRESULT buttons = toolbar ? ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) : -1;
    const bool barShown = bar && ::IsWindowVisible(bar);
    const bool zoomed = ::IsZoomed(mainWnd) != FALSE;
    if (!CloseProgram(static_cast<int>(d.Below(3)))) return;
    ++eventCounts["clean restart"];
    ::Sleep(d.Below(1500));
    if (!StartProgram(true)) return;
    // A restored game that shows no move has its lost dialog at once; else
    // the same game as it was, the same panel and bar.
    if (WindowText(mainWnd) != title)
        Fault("after a restart the game is \"" + Narrow(WindowText(mainWnd)) + "\", not \"" + Narrow(title) + "\"");
    FieldView& again = ViewField();
    const Screenshot now = again.field ? CaptureSettled(again.field, 5000) : Screenshot{};
    // In the clicking mode a card picked up shows as chosen until the close
    // and is not saved: the fields are compared in drag and drop only.
    const bool dragging = PrefByte(u"playMode", 1) != 0;
    if (!zoomed && dragging && stepDialogs.empty() && now.width == field.width && now.height == field.height &&
        now != field) {
        WriteBmp(field, soakOptions.folder + L"\\restart-before-" + std::to_wstring(stepIndex) + L".bmp");
        WriteBmp(now, soakOptions.folder + L"\\restart-after-" + std::to_wstring(stepIndex) + L".bmp");
        Fault("the field after a restart differs from the field before it");
    }
    panel = FindPanel(mainWnd);
    if (panel && (PanelOrder(panel) != order || (!zoomed && WindowSize(panel).cx != panelWidth)))
        Fault("the panel came back as " + Narrow(PanelOrder(panel)) + " " + std::to_string(WindowSize(panel).cx) +
              " wide, not " + Narrow(order) + " " + std::to_string(panelWidth));
    bar = ::FindWindowExW(mainWnd, nullptr, nullptr, L"CommandBar");
    toolbar = bar ? FindChildOfClass(bar, TOOLBARCLASSNAMEW) : nullptr;
    const LRESULT buttonsNow = toolbar ? ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) : -1;
    if (buttonsNow != buttons || (bar && ::IsWindowVisible(bar)) != barShown)
        Fault("the command bar came back with " + std::to_string(buttonsNow) + " items" +
              (barShown ? "" : " (hidden before)") + ", not " + std::to_string(buttons));
}

// A clean close, the game one move before a win stored as the program would
// have saved it, a start and the winning move with the mouse.
void Soak::NearWin() {
    if (soakOptions.winSteps.empty()) {
        Note("no win steps: skipped");
        return;
    }
    const std::string klondike = "Klondike (draw one)";
    std::string path;
    for (wchar_t c : soakOptions.winSteps) path += static_cast<char>(c);
    const std::vector<Step> steps = ReadSteps(path.c_str());
    SavingOwner owner(stepDice->Chance(0.5) ? 5 + stepDice->Below(60) : 60 + stepDice->Below(3000), kWinDeal);
    LoadStamps(owner.GetSaveStamps());
    CGameEngine engine(&owner);
    Step last;
    if (steps.empty() || !PlayUpToTheWinningStep(engine, klondike, kWinDeal, steps, &last)) {
        Note("no win of Klondike deal %u to replay", kWinDeal);
        return;
    }
    if (!CloseProgram(0)) return;
    engine.SaveGame();
    StoreStamps(owner.GetSaveStamps());
    {
        CRegistryKey prefs;
        if (prefs.Open(ProgramSubKey(u"prefs"))) prefs.WriteDword(u"curSolId", LibraryPosition(klondike));
    }
    Note("Klondike deal %u one move before its win, %u s played", kWinDeal, owner.GetElapsedSeconds());
    const auto dialogsShown = [&] {
        int shown = 0;
        for (const auto& [title, count] : openCounts) shown += count;
        return shown;
    };
    const int dialogsBefore = dialogsShown();
    if (!StartProgram(true)) return;
    // A timed game restored past its limit ends at once (time up).
    if (dialogsShown() != dialogsBefore) {
        Note("the start showed a dialog: no winning move");
        return;
    }
    // A timed game restored past its limit ends at the clock's first tick.
    CRegistryKey prefs;
    uint32_t limit = 0;
    if (PrefByte(u"timedGame", 0) != 0 && prefs.Open(ProgramSubKey(u"prefs")) && prefs.ReadDword(u"timeLimit", limit) &&
        owner.GetElapsedSeconds() >= limit * 60) {
        Note("restored past its time limit of %u minutes", limit);
        if (WaitForWindowTitled(Pid(), L"Sorry...", 10000)) Settle();
        else Fault("a game restored past its time limit did not end");
        return;
    }
    if (WindowText(mainWnd) != kKlondike) {
        Fault("the start did not restore Klondike: \"" + Narrow(WindowText(mainWnd)) + "\"");
        return;
    }
    HWND field = FindField(mainWnd);
    RECT client;
    ::GetClientRect(field, &client);
    POINT press, release;
    StepGesture(engine, last, client.right, client.bottom, &press, &release);
    const bool clicking = PrefByte(u"playMode", 1) == 0;
    HWND win = nullptr;
    for (int attempt = 0; attempt < 2 && !win; ++attempt) {
        FrontOrFault(mainWnd);
        if (last.click) {
            Click(OnScreen(field, press.x, press.y));
        } else if (clicking) {
            Click(OnScreen(field, press.x, press.y));
            Click(OnScreen(field, release.x, release.y));
        } else {
            Drag(OnScreen(field, press.x, press.y), OnScreen(field, release.x, release.y));
        }
        win = WaitForWindowTitled(Pid(), L"Congratulations!", attempt == 0 ? 10000 : 20000);
        if (!win) Note("no win dialog: the last move once more");
    }
    if (!win) Fault("the winning move brought no win dialog");
}

}  // namespace corvelle::drive
