// The browser control's container: one COM object (the site) answers the
// client-site, in-place-site, in-place-frame, document-host and event-sink
// interfaces; the host owns it and the control.
#include "platform/web_browser_host.h"

#include <ole2.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ocidl.h>

namespace corvelle {

class CWebBrowserHost::Site final : public IOleClientSite,
                              public IOleInPlaceSite,
                              public IOleInPlaceFrame,
                              public IDocHostUIHandler,
                              public IDispatch {
public:
    Site(CWebBrowserHost* owner, HWND parent) : host(owner), window(parent) {}

    void Detach() { host = nullptr; }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceFrame || iid == IID_IOleInPlaceUIWindow) {
            *out = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IDocHostUIHandler) {
            *out = static_cast<IDocHostUIHandler*>(this);
        } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }

    // ---- IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // ---- IOleWindow (shared by the in-place site and frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (out == nullptr) return E_POINTER;
        *out = window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        if (frame) {
            *frame = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
        }
        if (document) *document = nullptr;
        RECT client{};
        ::GetClientRect(window, &client);
        if (position) *position = client;
        if (clip) *clip = client;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = window;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // ---- IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, no tool space.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // ---- IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return S_OK;   // no context menu over the page
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        if (info == nullptr) return E_POINTER;
        info->dwFlags = HostInfoFlags();
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target) *target = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** dispatch) override {
        if (dispatch) *dispatch = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

    // ---- IDispatch: the browser's events
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (id == DISPID_NAVIGATEERROR && params != nullptr && params->cArgs >= 1 &&
            params->rgvarg[0].vt == (VT_BYREF | VT_BOOL) && params->rgvarg[0].pboolVal != nullptr) {
            *params->rgvarg[0].pboolVal = VARIANT_TRUE;   // no error page: the owner shows its own
        }
        if (host != nullptr && host->onNavigationEnd) {
            if (id == DISPID_NAVIGATECOMPLETE2) host->onNavigationEnd(true);
            if (id == DISPID_NAVIGATEERROR) host->onNavigationEnd(false);
        }
        return S_OK;
    }

    // The control and its interfaces, held while created.
    IOleObject* object = nullptr;
    IWebBrowser2* browser = nullptr;
    IConnectionPoint* events = nullptr;
    DWORD eventsCookie = 0;

private:
    ~Site() = default;
    CWebBrowserHost* host;
    HWND window;
    ULONG refs = 1;
};

namespace {

// The system's HTML engine (the document object that renders every page in
// the browser control). Without it the control still starts, but each
// navigation only fails, after a load run on the control's own threads.
constexpr CLSID kClsidHtmlDocument = {0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

// Asked once per process (OLE initialised): the engine does not come or go
// while the program runs.
bool HtmlEngineAvailable() {
    static const bool available = [] {
        IClassFactory* factory = nullptr;
        if (FAILED(::CoGetClassObject(kClsidHtmlDocument, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory)))) {
            return false;
        }
        factory->Release();
        return true;
    }();
    return available;
}

}  // namespace

CWebBrowserHost::CWebBrowserHost() = default;

CWebBrowserHost::~CWebBrowserHost() { Destroy(); }

DWORD CWebBrowserHost::HostInfoFlags() { return DOCHOSTUIFLAG_SCROLL_NO; }

bool CWebBrowserHost::IsCreated() const { return site != nullptr; }

bool CWebBrowserHost::Create(HWND parent, const RECT& rect) {
    Destroy();
    // The control needs OLE on this thread; each successful call is matched
    // by one OleUninitialize in Destroy.
    if (FAILED(::OleInitialize(nullptr))) return false;
    if (!HtmlEngineAvailable()) {
        ::OleUninitialize();
        return false;
    }
    site = new Site(this, parent);
    bool ok = SUCCEEDED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                           reinterpret_cast<void**>(&site->object)));
    ok = ok && SUCCEEDED(site->object->SetClientSite(static_cast<IOleClientSite*>(site)));
    if (ok) ::OleSetContainedObject(site->object, TRUE);
    RECT r = rect;
    ok = ok && SUCCEEDED(site->object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                              static_cast<IOleClientSite*>(site), 0, parent, &r));
    ok = ok && SUCCEEDED(site->object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&site->browser)));
    if (!ok) {
        Destroy();
        return false;
    }
    site->browser->put_Silent(VARIANT_TRUE);
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(site->object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &site->events)) &&
            FAILED(site->events->Advise(static_cast<IDispatch*>(site), &site->eventsCookie))) {
            site->events->Release();
            site->events = nullptr;
        }
        points->Release();
    }
    SetRect(rect);
    return true;
}

void CWebBrowserHost::Destroy() {
    if (site == nullptr) return;
    Site* s = site;
    site = nullptr;
    s->Detach();
    if (s->events != nullptr) {
        s->events->Unadvise(s->eventsCookie);
        s->events->Release();
    }
    if (s->browser != nullptr) {
        s->browser->Stop();   // no load left running into the shut-down
        s->browser->Release();
    }
    if (s->object != nullptr) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(s->object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        s->object->Close(OLECLOSE_NOSAVE);
        s->object->SetClientSite(nullptr);
        s->object->Release();
    }
    s->Release();
    ::OleUninitialize();
}

bool CWebBrowserHost::Navigate(const wchar_t* address) {
    if (site == nullptr || site->browser == nullptr) return false;
    BSTR url = ::SysAllocString(address);
    if (url == nullptr) return false;
    VARIANT empty;
    ::VariantInit(&empty);
    const HRESULT hr = site->browser->Navigate(url, &empty, &empty, &empty, &empty);
    ::SysFreeString(url);
    return SUCCEEDED(hr);
}

bool CWebBrowserHost::Refresh() {
    if (site == nullptr || site->browser == nullptr) return false;
    VARIANT level;
    ::VariantInit(&level);
    level.vt = VT_I4;
    level.lVal = REFRESH_COMPLETELY;
    return SUCCEEDED(site->browser->Refresh2(&level));
}

void CWebBrowserHost::SetRect(const RECT& rect) {
    if (site == nullptr || site->object == nullptr) return;
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(site->object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&rect, &rect);
        inPlace->Release();
    }
}

}  // namespace corvelle
