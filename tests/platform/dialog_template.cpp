#include "dialog_template.h"

void DialogTemplate::Align() {
    if (words_.size() % 2 != 0) words_.push_back(0);
}

void DialogTemplate::PutString(const std::wstring& s) {
    for (wchar_t c : s) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
}

void DialogTemplate::PutDword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
}

DialogTemplate::DialogTemplate(const std::wstring& caption, short cx, short cy,
                               const std::vector<TemplateButton>& buttons, DWORD style) {
    PutDword(style != 0 ? style : (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    PutDword(0);                                     // extended style
    words_.push_back(static_cast<WORD>(buttons.size()));
    words_.push_back(10);                            // x, y, cx, cy
    words_.push_back(10);
    words_.push_back(static_cast<WORD>(cx));
    words_.push_back(static_cast<WORD>(cy));
    words_.push_back(0);                             // no menu
    words_.push_back(0);                             // the standard dialog class
    PutString(caption);
    if ((style == 0) || (style & DS_SETFONT)) {
        words_.push_back(8);
        PutString(L"MS Shell Dlg");
    }
    short y = 4;
    for (const TemplateButton& b : buttons) {
        Align();
        PutDword(WS_CHILD | WS_VISIBLE | b.style);
        PutDword(0);
        words_.push_back(4);
        words_.push_back(static_cast<WORD>(y));
        words_.push_back(50);
        words_.push_back(14);
        y = static_cast<short>(y + 16);
        words_.push_back(b.id);
        words_.push_back(0xFFFF);                    // predefined class:
        words_.push_back(0x0080);                    // button
        PutString(b.text);
        words_.push_back(0);                         // no creation data
    }
    words_.push_back(0);
    words_.push_back(0);
}
