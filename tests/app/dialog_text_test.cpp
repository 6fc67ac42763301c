// Every dialog template of the program, made by the dialog manager with its
// own font as the program makes it: every static and button text, and the
// texts the program puts into a template's controls when it runs, measured
// with that font, fits its control's rectangle.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace corvelle {
namespace {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c == L'\n' ? '|' : static_cast<char>(c < 128 ? c : '?');
    return out;
}

std::vector<UINT> DialogIds() {
    std::vector<UINT> ids;
    ::EnumResourceNamesW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<LPCWSTR>(RT_DIALOG),
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<UINT>*>(param)->push_back(LOWORD(name));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// The template of dialog `id` as stored, made hidden (its style without
// WS_VISIBLE), so that the test does not show it.
std::vector<uint8_t> HiddenTemplate(UINT id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    if (!found) return {};
    const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, found)));
    std::vector<uint8_t> bytes(data, data + ::SizeofResource(module, found));
    // DLGTEMPLATEEX (version 1, signature 0xFFFF) keeps its style at byte
    // 12, DLGTEMPLATE at byte 0.
    const bool extended = bytes.size() >= 16 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    const size_t at = extended ? 12 : 0;
    DWORD style = 0;
    std::memcpy(&style, bytes.data() + at, sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(bytes.data() + at, &style, sizeof style);
    return bytes;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The rectangle `text` takes when drawn with the control's font and
// `flags`, wrapped (when the flags say so) at `width`.
RECT TextExtent(HWND control, const std::wstring& text, UINT flags, int width) {
    HDC dc = ::GetDC(control);
    auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    RECT r{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), -1, &r, flags | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return r;
}

// Room a control keeps around its text: a push button's edges and focus
// rectangle, a check box's box and the gap after it.
constexpr int kButtonMarginX = 8;
constexpr int kButtonMarginY = 4;
constexpr int kCheckRoom = 17;

// Why `text` does not fit control `control` of its dialog ("" when it fits,
// and for controls that show no text of their own).
std::string Misfit(HWND control, const std::wstring& text) {
    RECT client;
    ::GetClientRect(control, &client);
    const int w = client.right, h = client.bottom;
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    const std::wstring kind = ClassOf(control);
    RECT need{};
    int roomX = 0, roomY = 0;
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
            type != SS_SIMPLE)
            return "";
        UINT flags = DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        if ((style & SS_CENTERIMAGE) || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
            flags |= DT_SINGLELINE;
        else
            flags |= DT_WORDBREAK;
        need = TextExtent(control, text, flags, w);
    } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        const UINT flags = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        switch (type) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            roomX = kButtonMarginX;
            roomY = kButtonMarginY;
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            roomX = kCheckRoom;
            break;
        case BS_GROUPBOX:
            roomX = kButtonMarginX;
            break;
        default:
            return "";   // owner drawn: no text of its own
        }
        need = TextExtent(control, text, flags, w - roomX);
    } else {
        return "";
    }
    if (text.empty()) return "";
    if (need.right + roomX <= w && need.bottom + roomY <= h) return "";
    return "\"" + Narrow(text) + "\" needs " + std::to_string(need.right + roomX) + " x " +
           std::to_string(need.bottom + roomY) + " px, its control is " + std::to_string(w) + " x " +
           std::to_string(h);
}

// Texts the program sets into a template's controls when it runs.
struct RunTimeText {
    UINT dialog;
    int control;
    std::wstring text;
};

std::wstring String(UINT id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

TEST(DialogTemplates, EveryTextFitsItsControlWithTheDialogsFont) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::vector<UINT> ids = DialogIds();
    // The program's dialogs: the main window, selection, options, lost,
    // win, simple win and about.
    ASSERT_GE(ids.size(), 7u);
    const RunTimeText runTime[] = {
        {IDD_GAME_LOST, IDC_LOST_TEXT, String(IDS_TIME_UP_TEXT)},
        {IDD_GAME_LOST, IDC_LOST_UNDO, L"Restart"},
    };
    ASSERT_FALSE(runTime[0].text.empty());
    int measured = 0;
    for (UINT id : ids) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        const std::vector<uint8_t> bytes = HiddenTemplate(id);
        ASSERT_FALSE(bytes.empty());
        HWND dialog = ::CreateDialogIndirectParamW(
            ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
            [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0);
        ASSERT_NE(dialog, nullptr);
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            const std::string misfit = Misfit(child, TextOf(child));
            EXPECT_EQ(misfit, "") << "control " << ::GetDlgCtrlID(child);
            ++measured;
        }
        for (const RunTimeText& text : runTime) {
            if (text.dialog != id) continue;
            HWND child = ::GetDlgItem(dialog, text.control);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(Misfit(child, text.text), "") << "control " << text.control << " when the program runs";
        }
        ::DestroyWindow(dialog);
    }
    EXPECT_GE(measured, 20);
}

}  // namespace
}  // namespace corvelle
