// OLE control base: interfaces, dispatch with stock properties, IOleObject and IOleControl.
#include "ole_control.h"
#include "bstr.h"
#include "registration.h"

namespace fw {

OleControl::OleControl(const ControlClassInfo& info)
    : info_(info), backColor_(0x80000000 | COLOR_WINDOW) {
    dispatch_.Load(Module::Instance(), *info.dispatchIid);
    eventPoint_ = ComPtr<ConnectionPoint>::Attach(
        new ConnectionPoint(static_cast<IConnectionPointContainer*>(this), *info.eventsIid));
    notifyPoint_ = ComPtr<ConnectionPoint>::Attach(
        new ConnectionPoint(static_cast<IConnectionPointContainer*>(this), IID_IPropertyNotifySink));
    fontSink_ = ComPtr<FontChangeSink>::Attach(new FontChangeSink([this] {
        SetModifiedFlag();
        StockPropertyChanged(DISPID_FONT);
    }));
    CreateOleAdviseHolder(adviseHolder_.ReleaseAndGetAddressOf());
    ResetStockProperties();
}

OleControl::~OleControl() {
    fontSink_->Disconnect();
    eventPoint_->DisconnectAll();
    notifyPoint_->DisconnectAll();
    DestroyControlWindow();
}

void* OleControl::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, *info_.dispatchIid))
        return static_cast<IDispatch*>(this);
    if (IsEqualIID(iid, IID_IOleObject)) return static_cast<IOleObject*>(this);
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
        return static_cast<IOleInPlaceObject*>(this);
    if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) return static_cast<IOleInPlaceActiveObject*>(this);
    if (IsEqualIID(iid, IID_IOleControl)) return static_cast<IOleControl*>(this);
    if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) return static_cast<IViewObject2*>(this);
    if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
        return static_cast<IPersistStreamInit*>(this);
    if (IsEqualIID(iid, IID_IPersistPropertyBag)) return static_cast<IPersistPropertyBag*>(this);
    if (IsEqualIID(iid, IID_IPersistStorage)) return static_cast<IPersistStorage*>(this);
    if (IsEqualIID(iid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        return static_cast<IProvideClassInfo2*>(this);
    if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) return static_cast<ISpecifyPropertyPages*>(this);
    return nullptr;
}

// ---- IDispatch ----

STDMETHODIMP OleControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = dispatch_.TypeInfo() ? 1 : 0;
    return S_OK;
}

STDMETHODIMP OleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) { return dispatch_.GetTypeInfo(index, out); }

STDMETHODIMP OleControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return dispatch_.GetIDsOfNames(names, count, ids);
}

STDMETHODIMP OleControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep, UINT* argError) {
    // Keep the object alive while a member runs (a member may release the last container reference).
    ComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    return dispatch_.Invoke(*this, id, flags, params, result, excep, argError);
}

HRESULT OleControl::InvokeMember(DISPID id, WORD kind, DispatchArgs& args, VARIANT* result, EXCEPINFO* excep) {
    bool handled = false;
    HRESULT hr = InvokeStockProperty(id, kind, args, result, &handled);
    if (handled) return hr;
    if (id == DISPID_ABOUTBOX && kind == DISPATCH_METHOD) {
        OnAboutBox();
        return S_OK;
    }
    return InvokeControlMember(id, kind, args, result, excep);
}

HRESULT OleControl::InvokeStockProperty(DISPID id, WORD kind, DispatchArgs& args, VARIANT* result, bool* handled) {
    DWORD bit = id == DISPID_BACKCOLOR ? kStockBackColor : id == DISPID_CAPTION ? kStockCaption
              : id == DISPID_FONT ? kStockFont : id == DISPID_BORDERSTYLE ? kStockBorderStyle
              : id == DISPID_ENABLED ? kStockEnabled : 0;
    *handled = bit && (info_.stockProperties & bit);
    if (!*handled) return S_OK;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    if (put && args.Count() != 1) return DISP_E_BADPARAMCOUNT;
    switch (id) {
    case DISPID_BACKCOLOR:
        if (!put) { result->vt = VT_UI4; result->ulVal = backColor_; return S_OK; }
        backColor_ = static_cast<OLE_COLOR>(args.Long(0));
        break;
    case DISPID_CAPTION:
        if (!put) { result->vt = VT_BSTR; result->bstrVal = SysAllocString(caption_.c_str()); return S_OK; }
        caption_ = args.Bstr(0) ? std::wstring(args.Bstr(0), SysStringLen(args.Bstr(0))) : std::wstring();
        break;
    case DISPID_BORDERSTYLE:
        if (!put) { result->vt = VT_I2; result->iVal = borderStyle_; return S_OK; }
        if (args.Short(0) != 0 && args.Short(0) != 1) return CTL_E_INVALIDPROPERTYVALUE;
        borderStyle_ = args.Short(0);
        break;
    case DISPID_ENABLED:
        if (!put) { result->vt = VT_BOOL; result->boolVal = enabled_ ? VARIANT_TRUE : VARIANT_FALSE; return S_OK; }
        enabled_ = args.Bool(0);
        if (window_) EnableWindow(window_, enabled_);
        break;
    case DISPID_FONT:
        if (!put) {
            result->vt = VT_DISPATCH;
            result->pdispVal = nullptr;
            if (font_) font_->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&result->pdispVal));
            return S_OK;
        }
        {
            ComPtr<IFont> copy = CloneFont(args.Dispatch(0));
            if (!copy) return CTL_E_INVALIDPROPERTYVALUE;
            SetFont(copy);
        }
        break;
    }
    SetModifiedFlag();
    StockPropertyChanged(id);
    return S_OK;
}

void OleControl::StockPropertyChanged(DISPID id) {
    notifyPoint_->NotifyChanged(id);
    InvalidateControl();
}

void OleControl::SetFont(ComPtr<IFont> font) {
    fontSink_->Disconnect();
    font_ = std::move(font);
    fontSink_->Connect(font_.Get());
}

void OleControl::ResetStockProperties() {
    backColor_ = 0x80000000 | COLOR_WINDOW;
    borderStyle_ = 0;
    caption_.clear();
    enabled_ = true;
    if (info_.stockProperties & kStockFont) {
        // The container's font when it offers one, else our default.
        Variant ambient;
        ComPtr<IFont> font;
        if (SUCCEEDED(GetAmbientProperty(DISPID_AMBIENT_FONT, &ambient)) &&
            (ambient.vt == VT_DISPATCH || ambient.vt == VT_UNKNOWN) && ambient.punkVal)
            font = CloneFont(ambient.punkVal);
        SetFont(font ? font : CreateDefaultFont());
    }
}

COLORREF OleControl::TranslateColor(OLE_COLOR color) const {
    COLORREF rgb = RGB(255, 255, 255);
    OleTranslateColor(color, nullptr, &rgb);
    return rgb;
}

HRESULT OleControl::GetAmbientProperty(DISPID id, VARIANT* value) {
    ComPtr<IDispatch> ambient = site_.As<IDispatch>(IID_IDispatch);
    if (!ambient) return E_NOINTERFACE;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

bool OleControl::AmbientUserMode() {
    Variant mode;
    if (FAILED(GetAmbientProperty(DISPID_AMBIENT_USERMODE, &mode)) || mode.vt != VT_BOOL) return true;
    return mode.boolVal != VARIANT_FALSE;
}

void OleControl::FireEvent(DISPID id) {
    if (freezeCount_ > 0) return;  // the container asked not to get events now
    ComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    eventPoint_->FireDispatch(id);
}

// ---- IOleObject ----

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site) {
    // A container that drops its site without closing us first still gets a clean teardown.
    if (!site && inPlaceActive_) InPlaceDeactivate();
    site_ = site;
    if (!site) {
        inPlaceSite_.Reset();
        frame_.Reset();
        document_.Reset();
    }
    return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP OleControl::Close(DWORD saveOption) {
    InPlaceDeactivate();
    if (site_ && dirty_ && (saveOption == OLECLOSE_SAVEIFDIRTY)) site_->SaveObject();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

STDMETHODIMP OleControl::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP OleControl::GetClipboardData(DWORD, IDataObject** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT pos) {
    if (activeSite && !site_) site_ = activeSite;
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(verb, parent, pos);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (window_) ShowWindow(window_, SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES:
        ShowPropertyFrame(parent);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

void OleControl::ShowPropertyFrame(HWND parent) {
    if (!info_.propertyPageCount) return;
    IUnknown* self = static_cast<IDispatch*>(this);
    std::wstring caption = AnsiToWide(LoadResourceString(info_.userTypeNameId));
    OleCreatePropertyFrame(parent, 0, 0, caption.c_str(), 1, &self, info_.propertyPageCount,
                           const_cast<CLSID*>(info_.propertyPages), LOCALE_USER_DEFAULT, 0, nullptr);
}

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(*info_.clsid, out); }

STDMETHODIMP OleControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *info_.clsid;
    return S_OK;
}

STDMETHODIMP OleControl::GetUserType(DWORD, LPOLESTR* name) {
    if (!name) return E_POINTER;
    std::wstring text = AnsiToWide(LoadResourceString(info_.userTypeNameId));
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*name) return E_OUTOFMEMORY;
    lstrcpyW(*name, text.c_str());
    return S_OK;
}

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (size->cx != extent_.cx || size->cy != extent_.cy) {
        extent_ = *size;
        SetModifiedFlag();
    }
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP OleControl::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_) return E_OUTOFMEMORY;
    return adviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP OleControl::Unadvise(DWORD cookie) {
    if (!adviseHolder_) return OLE_E_NOCONNECTION;
    return adviseHolder_->Unadvise(cookie);
}

STDMETHODIMP OleControl::EnumAdvise(IEnumSTATDATA** out) {
    if (!adviseHolder_) return E_FAIL;
    return adviseHolder_->EnumAdvise(out);
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? info_.miscStatus : 0;
    return S_OK;
}

// ---- IOleControl ----

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP OleControl::OnAmbientPropertyChange(DISPID) {
    InvalidateControl();
    return S_OK;
}

STDMETHODIMP OleControl::FreezeEvents(BOOL freeze) {
    freezeCount_ += freeze ? 1 : -1;
    if (freezeCount_ < 0) freezeCount_ = 0;
    return S_OK;
}

// ---- IConnectionPointContainer, IProvideClassInfo2, ISpecifyPropertyPages ----

STDMETHODIMP OleControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    std::vector<ComPtr<IConnectionPoint>> points = {eventPoint_.Get(), notifyPoint_.Get()};
    return fw::CreateInstance<ConnectionPointEnumerator>(IID_IEnumConnectionPoints, reinterpret_cast<void**>(out),
                                                         points);
}

STDMETHODIMP OleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ConnectionPoint* point = IsEqualIID(iid, *info_.eventsIid) ? eventPoint_.Get()
                           : IsEqualIID(iid, IID_IPropertyNotifySink) ? notifyPoint_.Get() : nullptr;
    if (!point) return CONNECT_E_NOCONNECTION;
    *out = point;
    point->AddRef();
    return S_OK;
}

STDMETHODIMP OleControl::GetClassInfo(ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadModuleTypeLib(Module::Instance(), lib.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(*info_.clsid, out);
}

STDMETHODIMP OleControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = *info_.eventsIid;
    return S_OK;
}

STDMETHODIMP OleControl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (!info_.propertyPageCount) return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * info_.propertyPageCount));
    if (!pages->pElems) return E_OUTOFMEMORY;
    for (ULONG i = 0; i < info_.propertyPageCount; ++i) pages->pElems[i] = info_.propertyPages[i];
    pages->cElems = info_.propertyPageCount;
    return S_OK;
}

}  // namespace fw
