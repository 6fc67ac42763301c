// Window objects and their HWNDs: binding, the window procedures and the
// dispatch of messages to the virtual handlers.
#include "platform/wnd.h"

#include <mutex>
#include <unordered_map>

namespace corvelle {

namespace {

// Window properties: the bound object and, for subclassed windows, the
// procedure that was replaced (kept so the window still works if it is ever
// reached without its object).
constexpr wchar_t kObjectProp[] = L"CorvelleWnd";
constexpr wchar_t kPreviousProcProp[] = L"CorvelleWndPrev";
constexpr wchar_t kDefaultClass[] = L"CorvelleWnd";

// The same bindings kept inside the process, where every message looks its
// window's object up: reading a window property is a round trip to the
// system for each read (under Wine, to its server process), and a panel's
// build or layout dispatches hundreds of messages. An entry lives exactly
// as long as the binding (Bind to Unbind, at the latest WM_NCDESTROY or the
// object's destruction).
struct BoundObjects {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> objects;
};

BoundObjects& Bound() {
    static BoundObjects bound;
    return bound;
}

// The object to bind to the next window the thread creates (windows of
// other classes than our own: controls and dialogs).
thread_local CWnd* pendingObject = nullptr;
// The object CreateEx hands to a window of our own class in lpCreateParams.
// Only that value is trusted: a window of our class made by other code (a
// dialog template naming the class) brings other creation data.
thread_local CWnd* creatingObject = nullptr;

}  // namespace

// Access to CWnd's private binding for the window procedures.
struct WindowBinding {
    static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            auto* object = static_cast<CWnd*>(create->lpCreateParams);
            if (object != nullptr && object == creatingObject && object->hwnd == nullptr) {
                creatingObject = nullptr;
                object->Bind(window, nullptr);
            }
        }
        if (CWnd* object = CWnd::FromHandlePermanent(window)) {
            return object->Dispatch(window, message, wParam, lParam);
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (CWnd* object = CWnd::FromHandlePermanent(window)) {
            return object->Dispatch(window, message, wParam, lParam);
        }
        auto previous = reinterpret_cast<WNDPROC>(::GetPropW(window, kPreviousProcProp));
        if (previous != nullptr) return ::CallWindowProcW(previous, window, message, wParam, lParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    // Subclasses the window being created for the pending object before the
    // window's first message.
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && pendingObject != nullptr) {
            CWnd* object = pendingObject;
            pendingObject = nullptr;
            object->SubclassWindow(reinterpret_cast<HWND>(wParam));
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static bool IsOwnClass(const wchar_t* className) {
        WNDCLASSEXW info{};
        info.cbSize = sizeof info;
        return ::GetClassInfoExW(::GetModuleHandleW(nullptr), className, &info) &&
               info.lpfnWndProc == &OwnClassProc;
    }
};

namespace {

// Runs `make`, which creates one window, with `object` bound to that window
// from its first message on.
template <typename Make>
HWND CreateWithBinding(CWnd* object, Make make) {
    CWnd* outer = pendingObject;
    pendingObject = object;
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, &WindowBinding::CreationHook, nullptr,
                                     ::GetCurrentThreadId());
    HWND window = make();
    if (hook != nullptr) ::UnhookWindowsHookEx(hook);
    pendingObject = outer;
    return window;
}

}  // namespace

HWND CreateBoundWindow(CWnd* object, DWORD exStyle, const wchar_t* className,
                       const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent,
                       HMENU menu) {
    return CreateWithBinding(object, [&] {
        return ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                 ::GetModuleHandleW(nullptr), nullptr);
    });
}

HWND CreateBoundDialog(CWnd* object, const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc) {
    return CreateWithBinding(object, [&] {
        return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, owner,
                                            proc, 0);
    });
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (hwnd == nullptr) return;
    HWND window = hwnd;
    bool owns = ownsWindow;
    Unbind();
    if (owns) ::DestroyWindow(window);
}

const wchar_t* CWnd::DefaultClassName() {
    static const bool registered =
        RegisterClass(kDefaultClass, 0, ::LoadCursorW(nullptr, IDC_ARROW), nullptr);
    (void)registered;
    return kDefaultClass;
}

bool CWnd::RegisterClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                         HBRUSH background) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    if (::GetClassInfoExW(instance, className, &info)) {
        return info.lpfnWndProc == &WindowBinding::OwnClassProc;
    }
    info.style = classStyle;
    info.lpfnWndProc = &WindowBinding::OwnClassProc;
    info.hInstance = instance;
    info.hCursor = cursor;
    info.hbrBackground = background;
    info.lpszClassName = className;
    return ::RegisterClassExW(&info) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName,
                    DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (hwnd != nullptr) return false;
    HWND parentWindow = parent != nullptr ? parent->hwnd : nullptr;
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND window;
    if (WindowBinding::IsOwnClass(className)) {
        CWnd* outer = creatingObject;
        creatingObject = this;
        window = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parentWindow,
                                   menu, ::GetModuleHandleW(nullptr), this);
        creatingObject = outer;
    } else {
        window = CreateBoundWindow(this, exStyle, className, windowName, style, rect,
                                   parentWindow, menu);
    }
    if (window == nullptr) return false;   // a failed creation has unbound itself
    if (hwnd != window) {
        // Not bound (should not happen): the window would run without us.
        ::DestroyWindow(window);
        return false;
    }
    ownsWindow = true;
    return true;
}

bool CWnd::Create(const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, DefaultClassName(), windowName, style, rect, parent, id);
}

bool CWnd::DestroyWindow() {
    if (hwnd == nullptr) return false;
    return ::DestroyWindow(hwnd) != 0;
}

bool CWnd::SubclassWindow(HWND window) {
    if (hwnd != nullptr || window == nullptr || FromHandlePermanent(window) != nullptr) return false;
    auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (previous == &WindowBinding::OwnClassProc) previous = nullptr;   // our class: no subclass
    if (!Bind(window, previous)) return false;
    if (previous != nullptr) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(&WindowBinding::SubclassProc));
    }
    ownsWindow = false;
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr || parent->hwnd == nullptr) return false;
    return SubclassWindow(::GetDlgItem(parent->hwnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = hwnd;
    Unbind();
    return window;
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    if (window == nullptr) return nullptr;
    BoundObjects& bound = Bound();
    std::lock_guard<std::mutex> hold(bound.lock);
    const auto found = bound.objects.find(window);
    return found != bound.objects.end() ? found->second : nullptr;
}

CWnd* CWnd::GetParent() const {
    return FromHandlePermanent(::GetParent(hwnd));
}

CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandlePermanent(::GetDlgItem(hwnd, id));
}

void CWnd::ScreenToClient(RECT* r) const {
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::CenterWindow() const {
    RECT window;
    ::GetWindowRect(hwnd, &window);
    // Over a visible owner that is not minimised, else over the work area;
    // either way kept on the work area of the monitor it centres on, its
    // top-left corner first when it is larger than that area.
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    const bool overOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(overOwner ? owner : hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT area = work;
    if (overOwner) ::GetWindowRect(owner, &area);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWnd::Bind(HWND window, WNDPROC previous) {
    if (!::SetPropW(window, kObjectProp, this)) return false;
    if (previous != nullptr) ::SetPropW(window, kPreviousProcProp, reinterpret_cast<HANDLE>(previous));
    {
        BoundObjects& bound = Bound();
        std::lock_guard<std::mutex> hold(bound.lock);
        bound.objects[window] = this;
    }
    hwnd = window;
    previousProc = previous;
    return true;
}

void CWnd::Unbind() {
    if (hwnd == nullptr) return;
    {
        BoundObjects& bound = Bound();
        std::lock_guard<std::mutex> hold(bound.lock);
        const auto found = bound.objects.find(hwnd);
        if (found != bound.objects.end() && found->second == this) bound.objects.erase(found);
    }
    ::RemovePropW(hwnd, kObjectProp);
    if (previousProc != nullptr) {
        auto now = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
        if (now == &WindowBinding::SubclassProc) {
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
            ::RemovePropW(hwnd, kPreviousProcProp);
        }
        // Otherwise someone subclassed the window after us: our procedure
        // stays in their chain and forwards through the kept property.
    }
    hwnd = nullptr;
    previousProc = nullptr;
    ownsWindow = false;
}

LRESULT CWnd::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage outer = currentMessage;
    currentMessage = {message, wParam, lParam};
    LRESULT result = WindowProc(message, wParam, lParam);
    currentMessage = outer;
    if (message == WM_NCDESTROY && hwnd == window) {
        // The window's last message: it has had its default processing, so
        // the object lets go of it and may now be reused or deleted.
        Unbind();
        PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::Default() {
    return DefWindowProc(currentMessage.message, currentMessage.wParam, currentMessage.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProc != nullptr) return ::CallWindowProcW(previousProc, hwnd, message, wParam, lParam);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

namespace {

POINT PointOf(LPARAM lParam) {
    // Signed: points left of or above the window (while captured) are negative.
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    switch (message) {
    case WM_CREATE:
        *result = OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
        return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_ERASEBKGND:
        *result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
               static_cast<short>(HIWORD(lParam)));
        return TRUE;
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_CLOSE: OnClose(); return TRUE;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_QUERYDRAGICON:
        *result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return TRUE;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam)); return TRUE;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam)); return TRUE;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam)); return TRUE;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam)); return TRUE;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam)); return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam)); return TRUE;
    case WM_SETCURSOR:
        *result = OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_COMMAND: {
        auto control = reinterpret_cast<HWND>(lParam);
        if (control != nullptr && ::GetAncestor(control, GA_PARENT) == hwnd &&
            ReflectChildNotify(control, message, wParam, lParam, result)) {
            return TRUE;
        }
        if (!OnCommand(wParam, lParam)) *result = Default();
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        // Only notifications of our own children: a control's inner windows
        // (a list view's header) notify the control, not us.
        if (header != nullptr && header->hwndFrom != nullptr &&
            ::GetAncestor(header->hwndFrom, GA_PARENT) == hwnd &&
            ReflectChildNotify(header->hwndFrom, message, wParam, lParam, result)) {
            return TRUE;
        }
        LRESULT handled = 0;
        if (OnNotify(wParam, lParam, &handled)) {
            *result = handled;
        } else {
            *result = Default();
        }
        return TRUE;
    }
    case WM_DRAWITEM:
        OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CWnd::ReflectChildNotify(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT* result) {
    CWnd* object = FromHandlePermanent(child);
    if (object == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (!object->OnCommandReflect(HIWORD(wParam))) return FALSE;
        *result = 0;
        return TRUE;
    case WM_NOTIFY: {
        LRESULT answer = 0;
        if (!object->OnNotifyReflect(reinterpret_cast<NMHDR*>(lParam), &answer)) return FALSE;
        *result = answer;
        return TRUE;
    }
    case WM_DRAWITEM:
        if (!object->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return FALSE;
        *result = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        if (!object->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return FALSE;
        *result = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

int CWnd::OnCreate(CREATESTRUCTW*) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnLButtonDblClk(UINT, POINT) { Default(); }
void CWnd::OnRButtonDown(UINT, POINT) { Default(); }
void CWnd::OnRButtonUp(UINT, POINT) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnCaptureChanged(HWND) { Default(); }
void CWnd::OnVScroll(UINT, UINT, HWND) { Default(); }
void CWnd::OnHScroll(UINT, UINT, HWND) { Default(); }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CWnd::OnDrawItem(int, DRAWITEMSTRUCT* item) {
    LRESULT result = 0;
    if (item->CtlType == ODT_MENU ||
        !ReflectChildNotify(item->hwndItem, WM_DRAWITEM, static_cast<WPARAM>(item->CtlID),
                            reinterpret_cast<LPARAM>(item), &result)) {
        Default();
    }
}

void CWnd::OnMeasureItem(int id, MEASUREITEMSTRUCT* item) {
    LRESULT result = 0;
    HWND control = item->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(hwnd, id);
    if (control == nullptr ||
        !ReflectChildNotify(control, WM_MEASUREITEM, static_cast<WPARAM>(id),
                            reinterpret_cast<LPARAM>(item), &result)) {
        Default();
    }
}

BOOL CWnd::OnCommandReflect(UINT) { return FALSE; }
BOOL CWnd::OnNotifyReflect(NMHDR*, LRESULT*) { return FALSE; }
BOOL CWnd::DrawItem(DRAWITEMSTRUCT*) { return FALSE; }
BOOL CWnd::MeasureItem(MEASUREITEMSTRUCT*) { return FALSE; }
void CWnd::PostNcDestroy() {}

}  // namespace corvelle
