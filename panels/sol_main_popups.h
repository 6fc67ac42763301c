// CSolMainPopups: the main window's side panel, the column of regions
// "Advertisement", "Rules", "Best Times" and "Statistics" at the window's
// right edge, built by CreateMainPopups. Order, expanded state and width of
// the regions are mirrored at once into the main window's preferences
// ("mainPopupsState", "mainPopupsWidth"); the main window calls the update
// operations when the game changes or ends.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "logic/game_clock.h"
#include "logic/preferences.h"
#include "panels/game_popups.h"
#include "platform/font.h"

namespace corvelle {

class CAdvertisementBanner;

// What the panel needs of the main window.
class CMainPopupsOwner {
public:
    // The window the panel is a child of.
    virtual CWnd* GetPanelParent() = 0;
    // The engine holding the current game's definition (name, rules text).
    virtual CGameEngine* GetPanelEngine() = 0;
    // The preferences whose panel values the panel keeps current.
    virtual AppPreferences& GetPanelPreferences() = 0;
    // The game clock, paused while the panel asks a question (may be null).
    virtual CGameClock* GetPanelClock() = 0;
    // Lays the main window out again (after the player dragged the edge).
    virtual void RecalcLayout() = 0;

protected:
    ~CMainPopupsOwner() = default;
};

// The advertisement page: the server's root path with the region's query.
const wchar_t* AdvertisementPageAddress();

// The panel's rectangle in the main window's client area `client` for the
// given width: at the right edge, from the top down to the status bar.
RECT MainPopupsRect(const RECT& client, uint32_t width);

class CSolMainPopups : public CGamePopups {
public:
    explicit CSolMainPopups(CMainPopupsOwner* owner);
    ~CSolMainPopups() override;

    void RefreshAdvertisement();
    // After a new deal, restart, selection or game end: the first region
    // brought into view and the advertisement refreshed.
    void RefreshAfterGameChange();
    // After the current game changed: rules, best times and statistics of
    // the engine's game.
    void ShowCurrentGame();
    // The main window's layout step for the panel: shown or hidden, moved
    // to `rect` (main window client coordinates), laid out (the bodies'
    // pictures made anew when the width changed) and painted.
    void Place(const RECT& rect, bool visible, bool widthChanged);

    void OnScrollBarToggled() override {}
    void OnBodyChildLaidOut(UINT regionIndex, UINT childIndex) override;
    void OnPanelResized() override;

protected:
    const CGameEngine* GetShownEngine() const override;
    RegionStates GetStoredStates() const override;
    bool FillRegion(UINT position, uint32_t id) override;

private:
    friend std::unique_ptr<CSolMainPopups> CreateMainPopups(CMainPopupsOwner* owner);

    CMainPopupsOwner* owner;
    CAdvertisementBanner* banner = nullptr;
    HBITMAP fallbackBitmap = nullptr;
    CFont font;
};

// Builds the main panel in the owner's window: regions in the stored order
// (a stored order that is not the panel's four ids once each becomes the
// default), their controls, the first region locked. Null when the panel,
// its regions or its controls cannot be made.
std::unique_ptr<CSolMainPopups> CreateMainPopups(CMainPopupsOwner* owner);

}  // namespace corvelle
