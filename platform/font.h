// A font object that owns its HFONT, and the application's shared control
// font (a LOGFONTW all zero but for a height of 14), which the labels and
// controls of the side panels use.
#pragma once

#include <windows.h>

namespace corvelle {

constexpr LONG kAppFontHeight = 14;

class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // Replaces the font with one made from `logFont`; false on failure.
    bool CreateFontIndirect(const LOGFONTW* logFont);
    // The shared control font: LOGFONTW zeroed, lfHeight = kAppFontHeight.
    bool CreateAppFont();
    void DeleteObject();
    HFONT GetSafeHandle() const { return font; }
    operator HFONT() const { return font; }

private:
    HFONT font = nullptr;
};

}  // namespace corvelle
