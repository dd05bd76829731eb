// Source interface lookup and connection point wiring.
#include "connection_points.h"

#include <olectl.h>

#include "framework/com_ptr.h"

namespace tc {
namespace {

// Releases a TYPEATTR with the type info it came from.
class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) {
        if (FAILED(info->GetTypeAttr(&attr_))) attr_ = nullptr;
    }
    ~TypeAttr() { if (attr_) info_->ReleaseTypeAttr(attr_); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    const TYPEATTR* operator->() const { return attr_; }
    explicit operator bool() const { return attr_ != nullptr; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

HRESULT SourceFromClassInfo(IUnknown* control, IID* source) {
    fw::ComPtr<IProvideClassInfo> provide;
    HRESULT hr = control->QueryInterface(IID_IProvideClassInfo, provide.OutVoid());
    if (FAILED(hr)) return hr;
    fw::ComPtr<ITypeInfo> coclass;
    if (FAILED(hr = provide->GetClassInfo(coclass.ReleaseAndGetAddressOf()))) return hr;
    TypeAttr attr(coclass.Get());
    if (!attr) return E_FAIL;
    const int wantedFlags = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || (flags & wantedFlags) != wantedFlags)
            continue;
        HREFTYPE ref = 0;
        fw::ComPtr<ITypeInfo> events;
        if (FAILED(hr = coclass->GetRefTypeOfImplType(i, &ref)) ||
            FAILED(hr = coclass->GetRefTypeInfo(ref, events.ReleaseAndGetAddressOf())))
            return hr;
        TypeAttr eventsAttr(events.Get());
        if (!eventsAttr) return E_FAIL;
        *source = eventsAttr->guid;
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT FindPoint(IUnknown* control, REFIID iid, fw::ComPtr<IConnectionPoint>* point) {
    fw::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, container.OutVoid());
    if (FAILED(hr)) return hr;
    return container->FindConnectionPoint(iid, point->ReleaseAndGetAddressOf());
}

}  // namespace

HRESULT FindDefaultSourceInterface(IUnknown* control, IID* source) {
    if (!control || !source) return E_POINTER;
    fw::ComPtr<IProvideClassInfo2> provide2;
    if (SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2, provide2.OutVoid())) &&
        SUCCEEDED(provide2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, source)))
        return S_OK;
    return SourceFromClassInfo(control, source);
}

HRESULT AdviseConnectionPoint(IUnknown* control, REFIID iid, IUnknown* sink, DWORD* cookie) {
    fw::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(control, iid, &point);
    return FAILED(hr) ? hr : point->Advise(sink, cookie);
}

HRESULT UnadviseConnectionPoint(IUnknown* control, REFIID iid, DWORD cookie) {
    fw::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(control, iid, &point);
    return FAILED(hr) ? hr : point->Unadvise(cookie);
}

}  // namespace tc
