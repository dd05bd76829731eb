// The sink the test container connects to a control's default source interface: an IDispatch
// that answers that interface's IID and records the DISPID of every event fired into it.
#pragma once
#include <oaidl.h>
#include <vector>
#include "framework/com_ptr.h"

namespace tc {

class EventSink final : public IDispatch {
public:
    static fw::ComPtr<EventSink> Create(REFIID eventInterface);

    const IID& EventInterface() const { return iid_; }
    const std::vector<DISPID>& Fired() const { return fired_; }
    // How many arguments the last event carried.
    size_t LastArgumentCount() const { return lastArgs_; }
    void Clear() { fired_.clear(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

private:
    explicit EventSink(REFIID iid) : iid_(iid) {}
    ~EventSink() = default;

    ULONG refs_ = 0;
    IID iid_;
    std::vector<DISPID> fired_;
    size_t lastArgs_ = 0;
};

}  // namespace tc
