// Connection points and their enumerator.
#include "connection_point.h"

namespace fw {

void* ConnectionPoint::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint))
        return static_cast<IConnectionPoint*>(this);
    return nullptr;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = container_;
    container_->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    ComPtr<IUnknown> checked;
    if (FAILED(sink->QueryInterface(iid_, checked.OutVoid()))) {
        // An event sink may answer only IDispatch for our dispinterface.
        if (IsEqualIID(iid_, IID_IPropertyNotifySink) || FAILED(sink->QueryInterface(IID_IDispatch, checked.OutVoid())))
            return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, checked});
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void ConnectionPoint::FireDispatch(DISPID id) {
    // Sinks may unadvise while being called: iterate over a copy.
    std::vector<Sink> sinks = sinks_;
    for (Sink& sink : sinks) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        static_cast<IDispatch*>(sink.unknown.Get())->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                            &none, nullptr, nullptr, nullptr);
    }
}

void ConnectionPoint::NotifyChanged(DISPID id) {
    std::vector<Sink> sinks = sinks_;
    for (Sink& sink : sinks) static_cast<IPropertyNotifySink*>(sink.unknown.Get())->OnChanged(id);
}

void* ConnectionPointEnumerator::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints))
        return static_cast<IEnumConnectionPoints*>(this);
    return nullptr;
}

STDMETHODIMP ConnectionPointEnumerator::Next(ULONG count, IConnectionPoint** out, ULONG* fetched) {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    while (n < count && position_ < points_.size()) {
        out[n] = points_[position_++].Get();
        out[n++]->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP ConnectionPointEnumerator::Skip(ULONG count) {
    position_ += count;
    if (position_ > points_.size()) {
        position_ = static_cast<ULONG>(points_.size());
        return S_FALSE;
    }
    return S_OK;
}

STDMETHODIMP ConnectionPointEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

STDMETHODIMP ConnectionPointEnumerator::Clone(IEnumConnectionPoints** out) {
    return fw::CreateInstance<ConnectionPointEnumerator>(IID_IEnumConnectionPoints, reinterpret_cast<void**>(out),
                                                         points_, position_);
}

}  // namespace fw
