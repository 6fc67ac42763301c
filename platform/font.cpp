// Fonts owned by their objects, and the shared control font.
#include "platform/font.h"

namespace corvelle {

bool CFont::CreateFontIndirect(const LOGFONTW* logFont) {
    DeleteObject();
    font_ = ::CreateFontIndirectW(logFont);
    return font_ != nullptr;
}

bool CFont::CreateAppFont() {
    LOGFONTW logFont{};
    logFont.lfHeight = kAppFontHeight;
    return CreateFontIndirect(&logFont);
}

void CFont::DeleteObject() {
    if (font_ != nullptr) ::DeleteObject(font_);
    font_ = nullptr;
}

}  // namespace corvelle
