// Fonts owned by their objects, and the shared control font.
#include "platform/font.h"

namespace corvelle {

bool CFont::CreateFontIndirect(const LOGFONTW* logFont) {
    DeleteObject();
    font = ::CreateFontIndirectW(logFont);
    return font != nullptr;
}

bool CFont::CreateAppFont() {
    LOGFONTW logFont{};
    logFont.lfHeight = kAppFontHeight;
    return CreateFontIndirect(&logFont);
}

void CFont::DeleteObject() {
    if (font != nullptr) ::DeleteObject(font);
    font = nullptr;
}

}  // namespace corvelle
