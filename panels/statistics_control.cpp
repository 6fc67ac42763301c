// The statistics control.
#include "panels/statistics_control.h"

#include <algorithm>
#include <cwchar>

#include "panels/panel_texts.h"
#include "platform/font.h"

namespace corvelle {

CStatisticsControl::CStatisticsControl(const std::u16string& gameName) : name(gameName) {
    LOGFONTW logFont{};
    logFont.lfHeight = kAppFontHeight;
    font = ::CreateFontIndirectW(&logFont);
    ReadGameStatistics(name, statistics);
}

CStatisticsControl::~CStatisticsControl() {
    DestroyWindow();
    memory.Destroy();
    ::DeleteObject(font);
}

bool CStatisticsControl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CStatic::Create(L"", style | SS_OWNERDRAW, rect, parent, id)) return false;
    CreatePicture();
    return true;
}

void CStatisticsControl::CreatePicture() { memory.Create(hwnd); }

void CStatisticsControl::Reload(const char16_t* gameName) {
    if (gameName != nullptr) name = gameName;
    ReadGameStatistics(name, statistics);
    memory.Invalidate();
    if (hwnd != nullptr) Invalidate(FALSE);
}

BOOL CStatisticsControl::DrawItem(DRAWITEMSTRUCT* item) {
    const RECT rc = item->rcItem;
    if (!::EqualRect(&rc, &memory.GetArea())) CreatePicture();
    HDC dc = memory.GetDC();
    if (dc == nullptr) return TRUE;
    if (memory.IsStale()) {
        ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        HGDIOBJ oldFont = ::SelectObject(dc, font);
        static const wchar_t* const labels[5] = {L"Games Played:", L"Games Won:", L"Win Rate:", L"Total Time:",
                                                 L"Average Game Time:"};
        const auto values = StatisticsValues(statistics.played, statistics.won, statistics.totalSeconds);
        // Labels end at x = 105 and values start 5 pixels further, unless a
        // label needs more room in this font: then the column widens.
        LONG labelRight = 105;
        for (const wchar_t* label : labels) {
            SIZE size{};
            ::GetTextExtentPoint32W(dc, label, static_cast<int>(::wcslen(label)), &size);
            labelRight = std::max(labelRight, rc.left + size.cx);
        }
        for (int line = 0; line < 5; ++line) {
            const int32_t top = rc.top + 20 * line;
            RECT label{rc.left, top, labelRight, rc.bottom};
            ::DrawTextW(dc, labels[line], -1, &label, DT_RIGHT);
            RECT value{labelRight + 5, top, rc.right, rc.bottom};
            ::DrawTextW(dc, reinterpret_cast<const wchar_t*>(values[line].c_str()), -1, &value, 0);
        }
        ::SelectObject(dc, oldFont);
        ::SetBkMode(dc, oldMode);
        memory.Painted();
    }
    memory.BlitTo(item->hDC, POINT{0, 0});
    return TRUE;
}

}  // namespace corvelle
