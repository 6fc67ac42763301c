// In-memory dialog templates for the window-layer tests: a caption, a size
// in dialog units and push buttons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct TemplateButton {
    WORD id;
    std::wstring text;
    DWORD style = BS_PUSHBUTTON | WS_TABSTOP;
};

class DialogTemplate {
public:
    DialogTemplate(const std::wstring& caption, short cx, short cy,
                   const std::vector<TemplateButton>& buttons, DWORD style = 0);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    void Align();
    void PutString(const std::wstring& s);
    void PutDword(DWORD v);
    std::vector<WORD> words;
};
