// COptionsDlg: the modal "Options" dialog (resource 1008). Two tab pages:
// "Game" (timed game and its limit, animation, play mode) and "Background"
// (colour swatch with the system's colour dialog, picture and its position,
// and a live preview of the field with the chosen background). OK stores
// the values, applies them to the game field and saves the preferences;
// Cancel stores nothing but the colour dialog's custom colours.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>

#include "logic/options_values.h"
#include "platform/controls.h"
#include "platform/dialog.h"

namespace corvelle {

// The preview on the "Background" page: a child control that draws the
// current game on the background it is given.
class OptionsPreview {
public:
    virtual ~OptionsPreview() = default;
    virtual bool CreatePreview(CWnd* parent, const RECT& rect, UINT id) = 0;
    virtual HWND GetWindow() const = 0;
    virtual void SetBgColor(COLORREF colour) = 0;
    virtual void SetPicture(uint8_t picture) = 0;
    virtual void SetPicturePosition(uint8_t position) = 0;
    // The next drawing renders anew instead of reusing a stored image.
    virtual void MarkForRender() = 0;
    // The dialog was cancelled after the background was tried: nothing
    // rendered with a background that was never applied may be kept.
    virtual void ForgetRendered() = 0;
};

// A preview of the background alone: the colour with the field picture
// centred, tiled or stretched as on a field of the preview's size times the
// field's usual scale. Used where no game field is at hand.
std::unique_ptr<OptionsPreview> MakeBackgroundPreview();

// What the dialog needs of the main window.
class OptionsHost : public OptionsApplier {
public:
    virtual CWnd* OwnerWindow() = 0;
    virtual AppPreferences& GetPrefs() = 0;
    virtual std::unique_ptr<OptionsPreview> MakePreview() = 0;
    // Asks for a colour with the system's colour dialog owned by `owner`,
    // opening on *colour with `custom` as its custom colours (kept as the
    // dialog leaves them). True when a colour was chosen.
    virtual bool ChooseColour(HWND owner, COLORREF* colour, std::array<uint32_t, 16>& custom);
};

class COptionsDlg : public CDialog {
public:
    explicit COptionsDlg(OptionsHost& host);
    ~COptionsDlg() override;

    // Whether OK changed a value that changes the field's look.
    bool GetOptionsChanged() const { return optionsChanged; }

    // The controls' values (the dialog must exist).
    void SetTimedGameCtl(uint8_t value);
    uint8_t GetTimedGameCtl() const;
    void SetTimeLimitCtl(uint32_t minutes);
    uint32_t GetTimeLimitCtl() const;
    void SetAnimationCtl(uint8_t value);
    uint8_t GetAnimationCtl() const;
    void SetPlayModeCtl(PlayMode value);
    PlayMode GetPlayModeCtl() const;
    void SetColorCtl(COLORREF colour) { swatchColour = colour; }
    COLORREF GetColorCtl() const { return swatchColour; }
    void SetPictureCtl(uint8_t value);
    uint8_t GetPictureCtl() const;
    void SetPicturePositionCtl(uint8_t value);
    uint8_t GetPicturePositionCtl() const;
    // Everything the controls hold.
    OptionValues GetValues() const;

    OptionsPreview* GetPreview() const { return preview.get(); }
    // The page shown: 0 "Game", 1 "Background".
    int GetCurrentPage() const;

    // Handlers (public for the tests, which drive them like the controls).
    void OnTabChange();
    void OnColorButton();
    void OnPictureChange();
    void OnPositionChange();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDrawItem(int id, DRAWITEMSTRUCT* item) override;

private:
    int ListSelection(int id) const;
    void SelectListItem(int id, int index) const;
    void PreviewChanged();

    OptionsHost& host;
    std::unique_ptr<OptionsPreview> preview;
    COLORREF swatchColour = 0;
    bool optionsChanged = false;
    bool backgroundTried = false;   // the preview showed another background
};

}  // namespace corvelle
