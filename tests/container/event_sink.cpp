// Event sink of the test container.
#include "event_sink.h"

namespace tc {

fw::ComPtr<EventSink> EventSink::Create(REFIID eventInterface) {
    return fw::ComPtr<EventSink>(new EventSink(eventInterface));
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != iid_) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) EventSink::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

// Every event is accepted; a form with no handler for it ignores it the same way.
STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO*, UINT*) {
    fired_.push_back(id);
    lastArgs_ = params ? params->cArgs : 0;
    if (result) VariantInit(result);
    return S_OK;
}

}  // namespace tc
