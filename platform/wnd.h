// The window base class of the program's own window layer: creation with a
// registered default child class (or any class), the object bound to its
// HWND while CreateWindowEx runs, one virtual handler per message,
// Default() for the default processing of the message being handled, and
// notifications of child controls reflected to the objects that own them.
#pragma once

#include <windows.h>

#include <string>

namespace corvelle {

// UTF-16 text as the wide-character API takes it (wchar_t is 16 bits here).
inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

class CWnd {
public:
    CWnd();
    // Destruction order: dispatching to this object stops, a subclassed
    // window gets its previous procedure back (while the HWND is valid), and
    // a window this object created is then destroyed. A window that was only
    // subclassed (SubclassWindow, SubclassDlgItem) stays alive.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The registered default child window class (no double clicks, arrow
    // cursor, no background brush: its windows paint themselves).
    static const wchar_t* DefaultClassName();
    // Registers a window class whose windows are dispatched to their objects
    // (style, cursor and brush as given). Registering the same name again is
    // harmless. Returns false on failure.
    static bool RegisterClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                              HBRUSH background);

    // Creates the window. For classes registered through RegisterClass the
    // object is handed over in lpCreateParams and bound in WM_NCCREATE; other
    // classes (controls, dialogs) are subclassed as soon as the window exists,
    // before its first message. Either way every message sent during
    // CreateWindowEx reaches the object. False when the window was not made.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName,
                  DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // A child window of the default class.
    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Destroys the window (the object stays and can create another).
    bool DestroyWindow();

    // Binds this object to an existing window (a control or a dialog item)
    // by replacing its window procedure; messages the object does not handle
    // go to the previous procedure. False when the window is already bound.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    // Gives the window its previous procedure back and unbinds it.
    HWND UnsubclassWindow();

    // The object bound to window, or nullptr.
    static CWnd* FromHandlePermanent(HWND window);

    HWND GetSafeHwnd() const { return hwnd; }
    operator HWND() const { return hwnd; }
    CWnd* GetParent() const;
    // The object bound to child `id`, or nullptr when the child has none
    // (GetDlgItemHwnd gives the window of any child).
    CWnd* GetDlgItem(int id) const;
    HWND GetDlgItemHwnd(int id) const { return ::GetDlgItem(hwnd, id); }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageW(hwnd, id, message, wParam, lParam);
    }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(hwnd); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(hwnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(hwnd, message, wParam, lParam);
    }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(hwnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(hwnd); }
    BOOL ShowWindow(int command) const { return ::ShowWindow(hwnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(hwnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(hwnd, enable); }
    void MoveWindow(const RECT& r, BOOL repaint = TRUE) const {
        ::MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
    }
    void GetClientRect(RECT* r) const { ::GetClientRect(hwnd, r); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(hwnd, r); }
    void ScreenToClient(RECT* r) const;
    // Centres the window on its owner (when that is shown and not
    // minimised), else on the work area of its monitor, and keeps it on that
    // work area.
    void CenterWindow() const;
    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(hwnd, text); }
    // The window's text in buffer (size units including the terminator).
    int GetWindowText(wchar_t* buffer, int size) const { return ::GetWindowTextW(hwnd, buffer, size); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const {
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(hwnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(hwnd, id); }
    HWND SetCapture() const { return ::SetCapture(hwnd); }

    // Runs the default processing of the message being handled (the
    // previous procedure of a subclassed window, DefWindowProc otherwise)
    // and returns its result. Only meaningful inside a handler.
    LRESULT Default();

protected:
    // Every message of the window passes here. The base calls OnWndMsg and
    // runs the default processing when OnWndMsg did not handle the message.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Calls the handler of the message below; returns FALSE for messages
    // without one. A handler's base version runs Default().
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The default processing of any message for this window.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Handlers (typed as their messages carry them).
    virtual int OnCreate(CREATESTRUCTW* create);
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnClose();
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual HCURSOR OnQueryDragIcon();
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnLButtonDblClk(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnRButtonUp(UINT flags, POINT point);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual void OnCaptureChanged(HWND newCapture);
    virtual void OnVScroll(UINT code, UINT position, HWND scrollBar);
    virtual void OnHScroll(UINT code, UINT position, HWND scrollBar);
    // WM_COMMAND after reflection: menu items, accelerators and control
    // notifications the control's own object did not take. Return TRUE when
    // handled; FALSE runs Default().
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY after reflection; *result is the message's result.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // WM_DRAWITEM / WM_MEASUREITEM of a child: the base reflects them to the
    // control's object (DrawItem / MeasureItem) and runs Default() when it
    // does not draw.
    virtual void OnDrawItem(int id, DRAWITEMSTRUCT* item);
    virtual void OnMeasureItem(int id, MEASUREITEMSTRUCT* item);

    // Reflected notifications, answered by the control's own object.
    // WM_COMMAND from this control (its notification code): TRUE when
    // handled, so the parent does not see it.
    virtual BOOL OnCommandReflect(UINT code);
    // WM_NOTIFY from this control: TRUE when handled, *result is returned.
    virtual BOOL OnNotifyReflect(NMHDR* header, LRESULT* result);
    // Owner drawing of this control: TRUE when drawn / measured.
    virtual BOOL DrawItem(DRAWITEMSTRUCT* item);
    virtual BOOL MeasureItem(MEASUREITEMSTRUCT* item);

    // Called after the window's last message (WM_NCDESTROY), when the object
    // is already unbound. Objects are owned by their creators: the base does
    // nothing.
    virtual void PostNcDestroy();

    // Offers a notification to the object of control `child`; TRUE when that
    // object handled it (*result then holds the message's result).
    static BOOL ReflectChildNotify(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT* result);

    HWND hwnd = nullptr;
    bool ownsWindow = false;          // destroyed with the object (made by this object)

private:
    friend struct WindowBinding;
    // The message being handled, for Default().
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Bind(HWND window, WNDPROC previous);
    void Unbind();

    WNDPROC previousProc = nullptr;   // subclassed windows: the procedure replaced
    CurrentMessage currentMessage{};
};

// The window layer's own (CWnd::CreateEx for classes that are not ours,
// CDialog for its dialogs): a window of any class, or a dialog from a
// template, created with `object` bound to it before its first message.
HWND CreateBoundWindow(CWnd* object, DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                       const RECT& rect, HWND parent, HMENU menu);
HWND CreateBoundDialog(CWnd* object, const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc);

}  // namespace corvelle
