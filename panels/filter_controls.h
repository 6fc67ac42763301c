// The small controls of the selection panel: three owner-drawn combo boxes
// and a check box that edit the selection dialog's filter, the button that
// clears it, and the related-games list, a column of game names that work
// as links. Each reacts to its own (reflected) notifications.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/controls.h"

namespace corvelle {

class CSelectDlg;

// Item data of the filter combos: the category combo's items are 0..11, the
// difficulty combo's 12..15, the time combo's 16..20; an item's position in
// its combo is its filter value.
constexpr uint32_t kFilterDataDifficulty = 12;
constexpr uint32_t kFilterDataTime = 16;
constexpr uint32_t kFilterDataEnd = 21;

class CFilterComboBox : public CComboBox {
public:
    explicit CFilterComboBox(CSelectDlg* selectDlg) : dialog(selectDlg) {}

protected:
    BOOL MeasureItem(MEASUREITEMSTRUCT* item) override;
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;
    BOOL OnCommandReflect(UINT code) override;

private:
    void OnSelChange();
    CSelectDlg* dialog;
};

class CFilterFavoritesCheckBox : public CButton {
public:
    explicit CFilterFavoritesCheckBox(CSelectDlg* selectDlg) : dialog(selectDlg) {}

protected:
    BOOL OnCommandReflect(UINT code) override;

private:
    CSelectDlg* dialog;
};

class CFilterResetButton : public CButton {
public:
    CFilterResetButton(CSelectDlg* selectDlg, CComboBox* categoryBox, CComboBox* difficultyBox, CComboBox* timeBox,
                       CButton* favoritesBox)
        : dialog(selectDlg), category(categoryBox), difficulty(difficultyBox), time(timeBox), favorites(favoritesBox) {}
    // Every filter to "All", favourites only off, the list refilled and the
    // marked game selected again.
    void OnClicked();

protected:
    BOOL OnCommandReflect(UINT code) override;

private:
    CSelectDlg* dialog;
    CComboBox* category;
    CComboBox* difficulty;
    CComboBox* time;
    CButton* favorites;
};

class CRelatedListBox : public CListBox {
public:
    explicit CRelatedListBox(CSelectDlg* selectDlg) : dialog(selectDlg) {}
    int32_t GetHotRow() const { return hotRow; }

protected:
    BOOL MeasureItem(MEASUREITEMSTRUCT* item) override;
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnCaptureChanged(HWND newCapture) override;

private:
    // The row of a game under the point, or -1.
    int32_t GameRowAt(POINT point) const;
    void SetHotRow(int32_t row);
    CSelectDlg* dialog;
    int32_t hotRow = -1;
    bool pressed = false;
};

// After a filter change: the game of the list's selection mark is
// remembered, the list refilled, and that game selected again when it still
// passes (no filter is cleared).
void RefillAndReselect(CSelectDlg* dialog);

}  // namespace corvelle
