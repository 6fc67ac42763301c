// Internal to the window layer: creating windows of classes that are not our
// own (controls, dialogs) with their object bound before the first message.
#pragma once

#include <windows.h>

namespace corvelle {

class CWnd;

HWND CreateBoundWindow(CWnd* object, DWORD exStyle, const wchar_t* className,
                       const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent,
                       HMENU menu);
HWND CreateBoundDialog(CWnd* object, const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc);

}  // namespace corvelle
