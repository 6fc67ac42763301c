#include "app/options_dlg.h"

#include <commdlg.h>

#include <algorithm>

#include "field/sol_game_field.h"
#include "platform/drawing.h"
#include "res/art_ids.h"
#include "res/options_ids.h"

namespace corvelle {

namespace {

// The preview's place on the "Background" page, in pixels of the client area.
constexpr RECT kPreviewRect = {28, 50, 200, 184};
// Width of the field a background preview stands for.
constexpr int kPreviewedFieldWidth = 850;

const int kGamePage[] = {IDC_TIMED_GAME, IDC_TIME_LIMIT_LABEL, IDC_TIME_LIMIT, IDC_ANIMATION, IDC_PLAY_MODE_LABEL,
                         IDC_PLAY_MODE};
const int kBackgroundPage[] = {IDC_COLOR_LABEL, IDC_COLOR_SWATCH, IDC_PICTURE_LABEL, IDC_PICTURE,
                               IDC_OPTIONS_PREVIEW, IDC_POSITION_LABEL, IDC_POSITION};

// Draws the background (colour and field picture) scaled to the control.
class CBackgroundPreview : public OptionsPreview, public CStatic {
public:
    bool CreatePreview(CWnd* parent, const RECT& rect, UINT id) override {
        return Create(L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, rect, parent, id);
    }
    HWND GetWindow() const override { return hwnd; }
    void SetBgColor(COLORREF value) override { colour = value; }
    void SetPicture(uint8_t value) override { picture = value; }
    void SetPicturePosition(uint8_t value) override { position = value; }
    void MarkForRender() override {}
    void ForgetRendered() override {}

protected:
    BOOL DrawItem(DRAWITEMSTRUCT* item) override {
        const RECT r = item->rcItem;
        HDC dc = item->hDC;
        HBRUSH brush = ::CreateSolidBrush(colour);
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
        if (picture == 1)
            DrawPicture(dc, r);
        DrawFrame(dc, &r, RGB(0, 0, 0), RGB(0, 0, 0));
        return TRUE;
    }

private:
    void DrawPicture(HDC dc, const RECT& r) const {
        HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                           MAKEINTRESOURCEW(IDB_FIELD_PICTURE), IMAGE_BITMAP, 0,
                                                           0, LR_CREATEDIBSECTION));
        if (!bitmap)
            return;
        BITMAP info{};
        ::GetObjectW(bitmap, sizeof info, &info);
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ previous = ::SelectObject(source, bitmap);
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        ::SetStretchBltMode(dc, HALFTONE);
        if (position == 2) {
            ::StretchBlt(dc, r.left, r.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        } else {
            const int w = std::max(1, static_cast<int>(info.bmWidth * width / kPreviewedFieldWidth));
            const int h = std::max(1, static_cast<int>(info.bmHeight * width / kPreviewedFieldWidth));
            if (position == 1) {
                for (int y = r.top; y < r.bottom; y += h)
                    for (int x = r.left; x < r.right; x += w)
                        ::StretchBlt(dc, x, y, w, h, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
            } else {
                ::StretchBlt(dc, r.left + (width - w) / 2, r.top + (height - h) / 2, w, h, source, 0, 0,
                             info.bmWidth, info.bmHeight, SRCCOPY);
            }
        }
        ::RestoreDC(dc, saved);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
        ::DeleteObject(bitmap);
    }

    COLORREF colour = 0;
    uint8_t picture = 0;
    uint8_t position = 0;
};

}  // namespace

std::unique_ptr<OptionsPreview> MakeBackgroundPreview() { return std::make_unique<CBackgroundPreview>(); }

bool OptionsHost::ChooseColour(HWND owner, COLORREF* colour, std::array<uint32_t, 16>& custom) {
    std::array<COLORREF, 16> colours;
    std::copy(custom.begin(), custom.end(), colours.begin());
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = *colour;
    cc.lpCustColors = colours.data();
    cc.Flags = CC_RGBINIT;
    if (!::ChooseColorW(&cc))
        return false;
    *colour = cc.rgbResult;
    std::copy(colours.begin(), colours.end(), custom.begin());
    return true;
}

COptionsDlg::COptionsDlg(OptionsHost& optionsHost) : CDialog(IDD_OPTIONS, optionsHost.OwnerWindow()), host(optionsHost) {}

COptionsDlg::~COptionsDlg() = default;

BOOL COptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const AppPreferences& prefs = host.GetPrefs();
    preview = host.MakePreview();
    if (preview && preview->CreatePreview(this, kPreviewRect, IDC_OPTIONS_PREVIEW)) {
        preview->SetBgColor(prefs.bgColor);
        preview->SetPicture(prefs.bgPicture);
        preview->SetPicturePosition(prefs.bgPicturePosition);
    } else {
        preview.reset();
    }

    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(L"Game");
    SendDlgItemMessage(IDC_OPTIONS_TAB, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
    tab.pszText = const_cast<wchar_t*>(L"Background");
    SendDlgItemMessage(IDC_OPTIONS_TAB, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&tab));

    auto fill = [this](int id, std::initializer_list<const wchar_t*> items) {
        for (const wchar_t* item : items)
            SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    };
    fill(IDC_TIME_LIMIT, {L"1 min", L"3 min", L"5 min", L"10 min"});
    fill(IDC_PLAY_MODE, {L"Clicking", L"Drag and Drop"});
    fill(IDC_PICTURE, {L"(None)", L"King's Field"});
    fill(IDC_POSITION, {L"Center", L"Tile", L"Stretch"});

    SetTimedGameCtl(prefs.timedGame);
    SetTimeLimitCtl(prefs.timeLimit);
    SetAnimationCtl(prefs.animation);
    SetPlayModeCtl(prefs.playMode);
    SetColorCtl(prefs.bgColor);
    SetPictureCtl(prefs.bgPicture);
    SetPicturePositionCtl(prefs.bgPicturePosition);
    OnTabChange();
    return TRUE;
}

// ---- controls

int COptionsDlg::ListSelection(int id) const { return static_cast<int>(SendDlgItemMessage(id, CB_GETCURSEL)); }
void COptionsDlg::SelectListItem(int id, int index) const {
    SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void COptionsDlg::SetTimedGameCtl(uint8_t value) {
    SendDlgItemMessage(IDC_TIMED_GAME, BM_SETCHECK, static_cast<WPARAM>(CheckFromFlag(value)));
}
uint8_t COptionsDlg::GetTimedGameCtl() const {
    return FlagFromCheck(static_cast<int>(SendDlgItemMessage(IDC_TIMED_GAME, BM_GETCHECK)));
}
void COptionsDlg::SetTimeLimitCtl(uint32_t minutes) { SelectListItem(IDC_TIME_LIMIT, TimeLimitIndex(minutes)); }
uint32_t COptionsDlg::GetTimeLimitCtl() const { return TimeLimitFromIndex(ListSelection(IDC_TIME_LIMIT)); }
void COptionsDlg::SetAnimationCtl(uint8_t value) {
    SendDlgItemMessage(IDC_ANIMATION, BM_SETCHECK, static_cast<WPARAM>(CheckFromFlag(value)));
}
uint8_t COptionsDlg::GetAnimationCtl() const {
    return FlagFromCheck(static_cast<int>(SendDlgItemMessage(IDC_ANIMATION, BM_GETCHECK)));
}
void COptionsDlg::SetPlayModeCtl(PlayMode value) {
    SelectListItem(IDC_PLAY_MODE, ListIndex(static_cast<uint8_t>(value), kPlayModeItems));
}
PlayMode COptionsDlg::GetPlayModeCtl() const {
    return static_cast<PlayMode>(ValueFromListIndex(ListSelection(IDC_PLAY_MODE), kPlayModeItems,
                                                    static_cast<uint8_t>(host.GetPrefs().playMode)));
}
void COptionsDlg::SetPictureCtl(uint8_t value) { SelectListItem(IDC_PICTURE, ListIndex(value, kPictureItems)); }
uint8_t COptionsDlg::GetPictureCtl() const {
    return ValueFromListIndex(ListSelection(IDC_PICTURE), kPictureItems, host.GetPrefs().bgPicture);
}
void COptionsDlg::SetPicturePositionCtl(uint8_t value) {
    SelectListItem(IDC_POSITION, ListIndex(value, kPicturePositionItems));
}
uint8_t COptionsDlg::GetPicturePositionCtl() const {
    return ValueFromListIndex(ListSelection(IDC_POSITION), kPicturePositionItems, host.GetPrefs().bgPicturePosition);
}

OptionValues COptionsDlg::GetValues() const {
    OptionValues v;
    v.timedGame = GetTimedGameCtl();
    v.timeLimit = GetTimeLimitCtl();
    v.animation = GetAnimationCtl();
    v.playMode = GetPlayModeCtl();
    v.bgColor = GetColorCtl();
    v.bgPicture = GetPictureCtl();
    v.bgPicturePosition = GetPicturePositionCtl();
    return v;
}

int COptionsDlg::GetCurrentPage() const { return static_cast<int>(SendDlgItemMessage(IDC_OPTIONS_TAB, TCM_GETCURSEL)); }

// ---- handlers

void COptionsDlg::OnTabChange() {
    const int page = GetCurrentPage();
    if (page != 0 && page != 1)
        return;
    for (int id : kGamePage)
        ::ShowWindow(GetDlgItemHwnd(id), page == 0 ? SW_SHOW : SW_HIDE);
    for (int id : kBackgroundPage)
        ::ShowWindow(GetDlgItemHwnd(id), page == 1 ? SW_SHOW : SW_HIDE);
}

void COptionsDlg::OnColorButton() {
    COLORREF colour = swatchColour;
    std::array<uint32_t, 16>& custom = host.GetPrefs().bgCustomColors;
    // The colour dialog belongs to this dialog: it is modal to it, and this
    // dialog cannot close while it is open.
    if (!host.ChooseColour(hwnd, &colour, custom))
        return;
    swatchColour = colour;
    ::InvalidateRect(GetDlgItemHwnd(IDC_COLOR_SWATCH), nullptr, FALSE);
    if (preview)
        preview->SetBgColor(colour);
    PreviewChanged();
}

void COptionsDlg::OnPictureChange() {
    if (preview)
        preview->SetPicture(GetPictureCtl());
    PreviewChanged();
}

void COptionsDlg::OnPositionChange() {
    if (preview)
        preview->SetPicturePosition(GetPicturePositionCtl());
    PreviewChanged();
}

void COptionsDlg::PreviewChanged() {
    backgroundTried = true;
    if (!preview)
        return;
    preview->MarkForRender();
    ::InvalidateRect(preview->GetWindow(), nullptr, FALSE);
}

void COptionsDlg::OnOK() {
    optionsChanged = ApplyOptionValues(GetValues(), host.GetPrefs(), host);
    CDialog::OnOK();
}

void COptionsDlg::OnCancel() {
    if (backgroundTried && preview)
        preview->ForgetRendered();
    CDialog::OnCancel();
}

BOOL COptionsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (id == IDC_COLOR_SWATCH && code == BN_CLICKED) {
        OnColorButton();
        return TRUE;
    }
    if (id == IDC_PICTURE && code == CBN_SELCHANGE) {
        OnPictureChange();
        return TRUE;
    }
    if (id == IDC_POSITION && code == CBN_SELCHANGE) {
        OnPositionChange();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL COptionsDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (wParam == IDC_OPTIONS_TAB && header && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        OnTabChange();
        *result = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
}

BOOL COptionsDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_CTLCOLORSTATIC) {
        // Labels and check boxes lie on the tab control's page: they draw
        // their text without a background of their own.
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        const int onPage[] = {IDC_TIMED_GAME, IDC_TIME_LIMIT_LABEL, IDC_ANIMATION, IDC_PLAY_MODE_LABEL,
                              IDC_COLOR_LABEL, IDC_PICTURE_LABEL, IDC_POSITION_LABEL};
        if (std::find(std::begin(onPage), std::end(onPage), id) != std::end(onPage)) {
            // The page under the control first, then the text over it.
            HDC dc = reinterpret_cast<HDC>(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            HWND tab = GetDlgItemHwnd(IDC_OPTIONS_TAB);
            RECT at;
            ::GetWindowRect(control, &at);
            ::MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&at), 2);
            POINT origin;
            ::SetViewportOrgEx(dc, -at.left, -at.top, &origin);
            ::SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
            ::SetBkMode(dc, TRANSPARENT);
            *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            return TRUE;
        }
    }
    return CDialog::OnWndMsg(message, wParam, lParam, result);
}

void COptionsDlg::OnDrawItem(int id, DRAWITEMSTRUCT* item) {
    if (id != IDC_COLOR_SWATCH) {
        CDialog::OnDrawItem(id, item);
        return;
    }
    HBRUSH brush = ::CreateSolidBrush(swatchColour);
    ::FillRect(item->hDC, &item->rcItem, brush);
    ::DeleteObject(brush);
    DrawFrame(item->hDC, &item->rcItem, RGB(0, 0, 0), RGB(0, 0, 0));
}

}  // namespace corvelle
