// Hosting one ActiveX control in a dialog.
#include "control_site.h"

namespace fw {

void* ControlSite::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) return static_cast<IOleClientSite*>(this);
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        return static_cast<IOleInPlaceSite*>(this);
    if (IsEqualIID(iid, IID_IOleControlSite)) return static_cast<IOleControlSite*>(this);
    if (IsEqualIID(iid, IID_IDispatch)) return static_cast<IDispatch*>(this);
    return nullptr;
}

HRESULT ControlSite::CreateControl(REFCLSID clsid, const RECT& rect, const BYTE* savedState, size_t stateSize) {
    rect_ = rect;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object_.OutVoid());
    if (FAILED(hr)) return hr;
    DWORD misc = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    IOleClientSite* site = this;
    if (misc & OLEMISC_SETCLIENTSITEFIRST) object_->SetClientSite(site);
    ComPtr<IPersistStreamInit> persist = object_.As<IPersistStreamInit>(IID_IPersistStreamInit);
    if (persist) {
        if (savedState && stateSize) {
            ComPtr<IStream> stream;
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, stateSize);
            if (!memory) return E_OUTOFMEMORY;
            CopyMemory(GlobalLock(memory), savedState, stateSize);
            GlobalUnlock(memory);
            hr = CreateStreamOnHGlobal(memory, TRUE, stream.ReleaseAndGetAddressOf());
            if (FAILED(hr)) {
                GlobalFree(memory);
                return hr;
            }
            hr = persist->Load(stream.Get());
        } else {
            hr = persist->InitNew();
        }
        if (FAILED(hr)) return hr;
    }
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) object_->SetClientSite(site);
    SIZEL extent = {MulDiv(rect.right - rect.left, 2540, 96), MulDiv(rect.bottom - rect.top, 2540, 96)};
    object_->SetExtent(DVASPECT_CONTENT, &extent);
    hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, parent_, &rect_);
    if (FAILED(hr)) return hr;
    return object_->QueryInterface(IID_IDispatch, dispatch_.OutVoid());
}

void ControlSite::Destroy() {
    dispatch_.Reset();
    if (!object_) return;
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
}

HWND ControlSite::ControlWindow() const {
    HWND window = nullptr;
    ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    if (inPlace) inPlace->GetWindow(&window);
    return window;
}

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = parent_;
    return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT pos,
                                           LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    if (pos) *pos = rect_;
    if (clip) *clip = rect_;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = parent_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT pos) {
    if (!pos) return E_POINTER;
    rect_ = *pos;
    ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    if (inPlace) inPlace->SetObjectRects(&rect_, &rect_);
    return S_OK;
}

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                 UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace fw
