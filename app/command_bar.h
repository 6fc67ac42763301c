// The command bar: a toolbar across the top of the main window with buttons
// for the main commands (New Game, Restart Game, Select Solitaire, Undo,
// Show Next Move, Options) in big (32 x 32) or small (22 x 22) icons.
// CCommandBarWnd is the plain child window "CommandBar" that hosts the
// toolbar, receives its commands and answers its tooltips; CCommandBar is
// the toolbar itself. The player rearranges the bar with the toolbar's own
// customise dialog; the layout and the icon size live in the preferences.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "logic/command_bar_layout.h"
#include "platform/controls.h"

namespace corvelle {

// The lists of the toolbar's customise dialog (the system's dialog): the
// buttons that can be added, and those on the bar.
constexpr int kCustomizeAvailableList = 201;
constexpr int kCustomizeBarList = 203;

// Heights of the bar's strip in the main window.
constexpr int kCommandBarHeightBig = 40;
constexpr int kCommandBarHeightSmall = 30;

// What the bar needs of the main window.
class CommandBarHost {
public:
    virtual ~CommandBarHost() = default;
    virtual CWnd* GetBarParent() = 0;
    virtual AppPreferences& GetPrefs() = 0;
    // Places the children again (the strip's height changed).
    virtual void RecalcLayout() = 0;
    // One of the bar's six commands was pressed.
    virtual void OnBarCommand(UINT command) = 0;
};

// The label (and tooltip) of command index 0 .. 5.
const wchar_t* CommandBarLabel(int index);

class CCommandBar : public CToolBarCtrl {
public:
    CCommandBar();
    ~CCommandBar() override;

    // Creates the toolbar in `host` with its pictures and the six buttons in
    // command order, in the icon size given.
    bool CreateBar(CWnd* host, bool big);
    // Switches every button to the big or small pictures.
    void SetIconSize(bool big);
    bool IsBigIcons() const { return bigIcons; }
    // Remembers the buttons as they are now: the customise dialog offers
    // these.
    void SaveButtons();
    // Replays the steps of a stored layout on the bar.
    void RestoreLayout(uint8_t count, const std::array<uint8_t, kCommandCount>& positions);
    // The bar item by item (command index or kBarSeparator).
    std::vector<int> GetItems() const;
    // The customise dialog's Reset: the default layout.
    void OnReset();
    // The bar made to hold `items` (command index or kBarSeparator).
    void ShowItems(const std::vector<int>& items);
    // Whether a Reset closed the customise dialog to have it opened again
    // on the new layout; cleared by asking.
    bool TakeReopenCustomize() { return std::exchange(reopenCustomize, false); }
    // The context menu at the cursor; the command chosen goes to the host.
    void OnContextMenu();

protected:
    BOOL OnNotifyReflect(NMHDR* header, LRESULT* result) override;

private:
    // The pictures of one size, loaded at their first use (null when they
    // cannot be).
    HIMAGELIST Pictures(bool big);

    bool bigIcons = true;
    HIMAGELIST bigImages = nullptr;
    HIMAGELIST smallImages = nullptr;
    std::vector<TBBUTTON> snapshot;
    std::array<std::array<wchar_t, 20>, kCommandCount> labels{};
    bool reopenCustomize = false;
};

class CCommandBarWnd : public CWnd {
public:
    explicit CCommandBarWnd(CommandBarHost& barHost) : host(barHost) {}

    CCommandBar& GetBar() { return bar; }
    bool IsBigIcons() const { return bar.IsBigIcons(); }
    // The strip's height for the current icon size.
    int StripHeight() const { return IsBigIcons() ? kCommandBarHeightBig : kCommandBarHeightSmall; }
    // Places the host and lets the toolbar size itself.
    void Place(const RECT& rect, bool visible);

    // Handlers of the context menu's commands.
    void OnSmallIcons();
    void OnBigIcons();
    void OnCustomize();

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    friend std::unique_ptr<CCommandBarWnd> CreateCommandBar(CommandBarHost& host);
    BOOL OnToolTipText(NMHDR* header, LRESULT* result);
    // The bar's layout into the preferences.
    void StoreLayout();

    CommandBarHost& host;
    CCommandBar bar;
};

// Makes the bar in the host's window (id 106, window name "CommandBar",
// initially as wide as the window less the side panel and 40 pixels high),
// in the stored icon size and layout. Null when a window cannot be made.
std::unique_ptr<CCommandBarWnd> CreateCommandBar(CommandBarHost& host);

}  // namespace corvelle
