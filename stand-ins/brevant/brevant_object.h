// The Brevant automation object: a line to a loopback TCP endpoint behind the
// IBrevant interface. States: closed, open (Open), connected (Connect).
#pragma once
#include "brevant_api.h"
#include "brevant_parameters.h"
#include "com_object.h"
#include "loopback_connection.h"

namespace brevant {

class BrevantObject : public fw::ComObject<IBrevant, ISupportErrorInfo> {
public:
    static HRESULT Create(REFIID iid, void** out);
    BrevantObject() = default;
    ~BrevantObject() override;

    // IDispatch, by hand: names and DISPIDs in brevant_dispatch.cpp.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    // IBrevant
    STDMETHODIMP GetVersion(BSTR* version) override;
    STDMETHODIMP SetParameters(BSTR parameters) override;
    STDMETHODIMP Open() override;
    STDMETHODIMP Connect(BSTR address) override;
    STDMETHODIMP Write(BSTR text) override;
    STDMETHODIMP Read(BSTR* received) override;
    STDMETHODIMP Disconnect(BSTR reserved) override;
    STDMETHODIMP Close() override;
    STDMETHODIMP IsConnected(VARIANT_BOOL* connected) override;
    STDMETHODIMP Interrupt() override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    void* FindInterface(REFIID iid) override;
    HRESULT Fail(HRESULT result, const std::string& description) const;
    // The failure asked for with fail=operation, or S_OK.
    HRESULT Requested(const char* operation) const;
    HRESULT SocketFailure(const char* action, int error) const;

    Parameters parameters_;
    bool open_ = false;
    std::string address_;  // as given to Connect, for descriptions
    LoopbackConnection connection_;
};

}  // namespace brevant
