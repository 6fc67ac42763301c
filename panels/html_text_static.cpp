// The rules text control; the layout walk itself is rich_text_layout.cpp.
#include "panels/html_text_static.h"

#include "panels/rich_text_layout.h"

namespace corvelle {

namespace {

std::u16string_view View(const std::wstring& text) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// Widths from a device context in the control's two fonts; the DC's own
// font is put back when the measurer goes.
class DcMeasurer : public RichTextMeasurer {
public:
    DcMeasurer(HDC target, HFONT normalFont, HFONT boldFont)
        : dc(target), normal(normalFont), bold(boldFont), original(::SelectObject(target, normalFont)) {}
    ~DcMeasurer() { ::SelectObject(dc, original); }
    DcMeasurer(const DcMeasurer&) = delete;
    DcMeasurer& operator=(const DcMeasurer&) = delete;

    int32_t CharWidth(char16_t c, bool inBold) override { return TextWidth(&c, 1, inBold); }
    int32_t TextWidth(const char16_t* text, size_t length, bool inBold) override {
        Use(inBold);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text), static_cast<int>(length), &size);
        return size.cx;
    }
    void Use(bool inBold) {
        if (inBold == selectedBold) return;
        ::SelectObject(dc, inBold ? bold : normal);
        selectedBold = inBold;
    }

private:
    HDC dc;
    HFONT normal;
    HFONT bold;
    HGDIOBJ original;
    bool selectedBold = false;
};

}  // namespace

CHtmlTextStatic::CHtmlTextStatic() {
    LOGFONTW font{};
    font.lfHeight = kRichTextLineHeight;
    normalFont = ::CreateFontIndirectW(&font);
    font.lfWeight = FW_BOLD;
    boldFont = ::CreateFontIndirectW(&font);
}

CHtmlTextStatic::~CHtmlTextStatic() {
    DestroyWindow();
    memory.Destroy();
    ::DeleteObject(normalFont);
    ::DeleteObject(boldFont);
}

bool CHtmlTextStatic::Create(const wchar_t* initial, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    text = initial != nullptr ? initial : L"";
    const bool made = CStatic::Create(text.c_str(), style | SS_OWNERDRAW, rect, parent, id);
    if (made) CreateMemoryDC();
    return made;
}

void CHtmlTextStatic::SetText(const wchar_t* newText) {
    text = newText != nullptr ? newText : L"";
    SetWindowText(text.c_str());
}

void CHtmlTextStatic::CreateMemoryDC() { memory.Create(hwnd); }

uint32_t CHtmlTextStatic::MeasureHeight(uint32_t width) {
    // Any DC measures: the measurer selects the control's own fonts, the
    // ones DrawItem draws with.
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    int32_t height;
    {
        DcMeasurer measurer(dc, normalFont, boldFont);
        height = MeasureRichText(View(text), measurer, static_cast<int32_t>(width));
    }
    ::DeleteDC(dc);
    return static_cast<uint32_t>(height);
}

BOOL CHtmlTextStatic::DrawItem(DRAWITEMSTRUCT* item) {
    const RECT rc = item->rcItem;
    if (!::EqualRect(&rc, &memory.GetArea())) CreateMemoryDC();
    HDC dc = memory.GetDC();
    if (dc == nullptr) return TRUE;
    if (memory.IsStale()) {
        HBRUSH brush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        {
            DcMeasurer measurer(dc, normalFont, boldFont);
            WalkRichText(View(text), measurer, rc.left, rc.right, rc.top, rc.bottom,
                         [&](const RichTextGlyph& glyph) {
                             measurer.Use(glyph.bold);
                             RECT at{glyph.x, glyph.y, rc.right, rc.bottom};
                             ::DrawTextW(dc, &text[glyph.index], 1, &at, 0);
                         });
        }
        ::SetBkMode(dc, oldMode);
        memory.Painted();
    }
    memory.BlitTo(item->hDC, POINT{0, 0});
    return TRUE;
}

}  // namespace corvelle
