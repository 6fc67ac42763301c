// CHtmlTextStatic: the rules text. An owner-drawn static control that
// understands "<b>", "</b>" and "<br>", wraps words to its width, lays the
// text out once into a memory bitmap and copies that to the screen on every
// paint; MeasureHeight tells the height a text needs at a width, measured
// with the fonts that draw it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "platform/drawing.h"

namespace corvelle {

class CHtmlTextStatic : public CStatic {
public:
    CHtmlTextStatic();
    ~CHtmlTextStatic() override;

    // The static control's Create with SS_OWNERDRAW added; keeps a copy of
    // the text and makes the memory bitmap.
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Replaces the text (the old layout stays until MarkForRedraw or a new
    // size).
    void SetText(const wchar_t* text);
    const std::wstring& GetText() const { return text; }
    void MarkForRedraw() { memory.Invalidate(); }
    bool NeedsRedraw() const { return memory.IsStale(); }
    // The height the text takes at `width` pixels.
    uint32_t MeasureHeight(uint32_t width);
    // The memory bitmap holding the last layout (for checks of what shows).
    HDC GetMemoryDC() const { return memory.GetDC(); }
    HFONT GetNormalFont() const { return normalFont; }

protected:
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;

private:
    void CreateMemoryDC();

    std::wstring text;
    HFONT normalFont = nullptr;
    HFONT boldFont = nullptr;
    CBackBuffer memory;
};

}  // namespace corvelle
