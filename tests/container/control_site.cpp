// The test container's control site: every call is logged, and answered as a form would.
#include "control_site.h"

#include <cmath>
#include <string>

namespace tc {
namespace {

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

int ScreenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

fw::ComPtr<ControlSite> ControlSite::Create(std::shared_ptr<CallLog> log,
                                            fw::ComPtr<InPlaceFrame> frame,
                                            bool offerInPlaceSiteEx) {
    return fw::ComPtr<ControlSite>(new ControlSite(std::move(log), std::move(frame), offerInPlaceSiteEx));
}

RECT ControlSite::ClipRect() const {
    RECT clip{};
    GetClientRect(frame_->Window(), &clip);
    return clip;
}

void ControlSite::Log(const char* name, long value) {
    log_->Add(std::string(name) + " " + std::to_string(value));
}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(static_cast<IOleInPlaceSiteEx*>(this));
    else if (iid == IID_IOleInPlaceSiteEx && offerEx_)
        *out = static_cast<IOleInPlaceSiteEx*>(this);
    else if (iid == IID_IOleControlSite)
        *out = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IAdviseSink || iid == IID_IAdviseSinkEx)
        *out = static_cast<IAdviseSinkEx*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else if (iid == IID_IPropertyNotifySink)
        *out = static_cast<IPropertyNotifySink*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ControlSite::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

// IOleClientSite

STDMETHODIMP ControlSite::SaveObject() {
    log_->Add("SaveObject");
    return S_OK;
}

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    log_->Add("GetMoniker");
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;  // controls on a form are not linkable
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
    log_->Add("GetContainer");
    if (!container) return E_POINTER;
    return frame_->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
}

STDMETHODIMP ControlSite::ShowObject() {
    log_->Add("ShowObject");
    return S_OK;
}

STDMETHODIMP ControlSite::OnShowWindow(BOOL show) {
    Log("OnShowWindow", show ? 1 : 0);
    return S_OK;
}

STDMETHODIMP ControlSite::RequestNewObjectLayout() {
    log_->Add("RequestNewObjectLayout");
    return E_NOTIMPL;
}

// IOleWindow, IOleInPlaceSite(Ex)

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
    log_->Add("GetWindow");
    if (!window) return E_POINTER;
    *window = frame_->Window();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP ControlSite::ContextSensitiveHelp(BOOL) {
    log_->Add("ContextSensitiveHelp");
    return S_OK;
}

STDMETHODIMP ControlSite::CanInPlaceActivate() {
    log_->Add("CanInPlaceActivate");
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceActivate() {
    log_->Add("OnInPlaceActivate");
    inPlaceActive_ = true;
    return S_OK;
}

STDMETHODIMP ControlSite::OnUIActivate() {
    log_->Add("OnUIActivate");
    uiActive_ = true;
    return S_OK;
}

// The frame is also the document window, so no separate IOleInPlaceUIWindow is handed out.
STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* pos, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    log_->Add("GetWindowContext");
    if (!frame || !document || !pos || !clip) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(frame_.Get());
    (*frame)->AddRef();
    *document = nullptr;
    *pos = pos_;
    *clip = ClipRect();
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = frame_->Window();
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::Scroll(SIZE) {
    log_->Add("Scroll");
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::OnUIDeactivate(BOOL undoable) {
    Log("OnUIDeactivate", undoable ? 1 : 0);
    uiActive_ = false;
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceDeactivate() {
    log_->Add("OnInPlaceDeactivate");
    inPlaceActive_ = false;
    frame_->ForgetActiveObject();
    return S_OK;
}

STDMETHODIMP ControlSite::DiscardUndoState() {
    log_->Add("DiscardUndoState");
    return S_OK;
}

STDMETHODIMP ControlSite::DeactivateAndUndo() {
    log_->Add("DeactivateAndUndo");
    return S_OK;
}

// A form grants the new rectangle and tells the control so through SetObjectRects.
STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT pos) {
    if (!pos) return E_POINTER;
    log_->Add("OnPosRectChange " + RectText(*pos));
    pos_ = *pos;
    if (control_) {
        fw::ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(control_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid()))) {
            const RECT clip = ClipRect();
            inPlace->SetObjectRects(&pos_, &clip);
        }
    }
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) {
    Log("OnInPlaceActivateEx", static_cast<long>(flags));
    if (noRedraw) *noRedraw = FALSE;
    inPlaceActive_ = true;
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceDeactivateEx(BOOL noRedraw) {
    Log("OnInPlaceDeactivateEx", noRedraw ? 1 : 0);
    inPlaceActive_ = false;
    frame_->ForgetActiveObject();
    return S_OK;
}

STDMETHODIMP ControlSite::RequestUIActivate() {
    log_->Add("RequestUIActivate");
    return S_OK;
}

// IOleControlSite

STDMETHODIMP ControlSite::OnControlInfoChanged() {
    log_->Add("OnControlInfoChanged");
    return S_OK;
}

STDMETHODIMP ControlSite::LockInPlaceActive(BOOL lock) {
    Log("LockInPlaceActive", lock ? 1 : 0);
    return S_OK;
}

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** extended) {
    log_->Add("GetExtendedControl");
    if (extended) *extended = nullptr;
    return E_NOTIMPL;
}

// Container units are pixels of the screen.
STDMETHODIMP ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    Log("TransformCoords", static_cast<long>(flags));
    if (!himetric || !container) return E_POINTER;
    const double dpiX = ScreenDpi(LOGPIXELSX), dpiY = ScreenDpi(LOGPIXELSY);
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x * dpiX / 2540.0);
        container->y = static_cast<float>(himetric->y * dpiY / 2540.0);
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = std::lround(container->x * 2540.0 / dpiX);
        himetric->y = std::lround(container->y * 2540.0 / dpiY);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::TranslateAccelerator(MSG*, DWORD) {
    log_->Add("TranslateAccelerator");
    return S_FALSE;
}

STDMETHODIMP ControlSite::OnFocus(BOOL gotFocus) {
    Log("OnFocus", gotFocus ? 1 : 0);
    return S_OK;
}

STDMETHODIMP ControlSite::ShowPropertyFrame() {
    log_->Add("ShowPropertyFrame");
    return E_NOTIMPL;  // the control shows its own pages
}

// IAdviseSink(Ex)

STDMETHODIMP_(void) ControlSite::OnDataChange(FORMATETC*, STGMEDIUM*) { log_->Add("OnDataChange"); }
STDMETHODIMP_(void) ControlSite::OnViewChange(DWORD aspect, LONG) { Log("OnViewChange", static_cast<long>(aspect)); }
STDMETHODIMP_(void) ControlSite::OnRename(IMoniker*) { log_->Add("OnRename"); }
STDMETHODIMP_(void) ControlSite::OnSave() { log_->Add("OnSave"); }
STDMETHODIMP_(void) ControlSite::OnClose() { log_->Add("OnClose"); }
STDMETHODIMP_(void) ControlSite::OnViewStatusChange(DWORD status) { Log("OnViewStatusChange", static_cast<long>(status)); }

// IDispatch: ambient properties by DISPID only, as controls ask for them.

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    log_->Add("GetIDsOfNames");
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    Log("Ambient", static_cast<long>(id));
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;  // ambients are read-only
    if (!result) return E_INVALIDARG;
    VariantInit(result);
    return ambient_.Get(id, result);
}

// IPropertyNotifySink

STDMETHODIMP ControlSite::OnChanged(DISPID id) {
    Log("OnChanged", static_cast<long>(id));
    return S_OK;
}

STDMETHODIMP ControlSite::OnRequestEdit(DISPID id) {
    Log("OnRequestEdit", static_cast<long>(id));
    return S_OK;
}

}  // namespace tc
