#include "dialog_template.h"

void DialogTemplate::Align() {
    if (words.size() % 2 != 0) words.push_back(0);
}

void DialogTemplate::PutString(const std::wstring& s) {
    for (wchar_t c : s) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
}

void DialogTemplate::PutDword(DWORD v) {
    words.push_back(LOWORD(v));
    words.push_back(HIWORD(v));
}

DialogTemplate::DialogTemplate(const std::wstring& caption, short cx, short cy,
                               const std::vector<TemplateButton>& buttons, DWORD style) {
    PutDword(style != 0 ? style : (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    PutDword(0);                                     // extended style
    words.push_back(static_cast<WORD>(buttons.size()));
    words.push_back(10);                            // x, y, cx, cy
    words.push_back(10);
    words.push_back(static_cast<WORD>(cx));
    words.push_back(static_cast<WORD>(cy));
    words.push_back(0);                             // no menu
    words.push_back(0);                             // the standard dialog class
    PutString(caption);
    if ((style == 0) || (style & DS_SETFONT)) {
        words.push_back(8);
        PutString(L"MS Shell Dlg");
    }
    short y = 4;
    for (const TemplateButton& b : buttons) {
        Align();
        PutDword(WS_CHILD | WS_VISIBLE | b.style);
        PutDword(0);
        words.push_back(4);
        words.push_back(static_cast<WORD>(y));
        words.push_back(50);
        words.push_back(14);
        y = static_cast<short>(y + 16);
        words.push_back(b.id);
        words.push_back(0xFFFF);                    // predefined class:
        words.push_back(0x0080);                    // button
        PutString(b.text);
        words.push_back(0);                         // no creation data
    }
    words.push_back(0);
    words.push_back(0);
}
