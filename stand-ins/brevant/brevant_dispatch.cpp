// Late binding of the Brevant object: names, DISPIDs and Invoke, without a type
// library. Results come back as the call's value (Read, GetVersion, IsConnected);
// a failure becomes DISP_E_EXCEPTION with the error description.
#include "brevant_object.h"
#include "bstr.h"
#include "com_ptr.h"
#include <cwchar>

namespace brevant {
namespace {

enum DispatchId : DISPID {
    kGetVersion = 1, kSetParameters, kOpen, kConnect, kWrite, kRead, kDisconnect, kClose, kIsConnected, kInterrupt
};

struct Member {
    const wchar_t* name;
    DISPID id;
    UINT minArguments;
    UINT maxArguments;
};

constexpr Member kMembers[] = {
    {L"GetVersion", kGetVersion, 0, 0}, {L"SetParameters", kSetParameters, 1, 1}, {L"Open", kOpen, 0, 0},
    {L"Connect", kConnect, 1, 1},       {L"Write", kWrite, 1, 1},                  {L"Read", kRead, 0, 0},
    {L"Disconnect", kDisconnect, 0, 1}, {L"Close", kClose, 0, 0},                  {L"IsConnected", kIsConnected, 0, 0},
    {L"Interrupt", kInterrupt, 0, 0},
};

const Member* FindMember(DISPID id) {
    for (const Member& m : kMembers)
        if (m.id == id) return &m;
    return nullptr;
}

// The first argument (arguments come in reverse order) as a BSTR; empty when absent.
HRESULT StringArgument(const DISPPARAMS& params, fw::Variant& out) {
    if (params.cArgs == 0) {
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocString(L"");
        return out.bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    fw::Variant value;
    HRESULT hr = VariantCopyInd(&value, &params.rgvarg[params.cArgs - 1]);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&out, &value, 0, VT_BSTR);
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

void FillException(HRESULT failure, EXCEPINFO* exception) {
    if (!exception) return;
    *exception = EXCEPINFO{};
    exception->scode = failure;
    fw::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) == S_OK && info) {
        info->GetSource(&exception->bstrSource);
        info->GetDescription(&exception->bstrDescription);
    }
}

}  // namespace

STDMETHODIMP BrevantObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP BrevantObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP BrevantObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const Member& m : kMembers)
        if (names[0] && _wcsicmp(names[0], m.name) == 0) ids[0] = m.id;
    // Names after the first would be named arguments, which no member takes.
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP BrevantObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    const Member* member = FindMember(id);
    if (!member || !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
    if (params->cArgs < member->minArguments || params->cArgs > member->maxArguments) return DISP_E_BADPARAMCOUNT;
    if (result) VariantInit(result);

    fw::Variant argument;
    if (member->maxArguments > 0)
        if (HRESULT hr = StringArgument(*params, argument); FAILED(hr)) return hr;
    HRESULT hr = E_UNEXPECTED;
    BSTR text = nullptr;
    VARIANT_BOOL connected = VARIANT_FALSE;
    switch (id) {
    case kGetVersion: hr = GetVersion(&text); break;
    case kSetParameters: hr = SetParameters(argument.bstrVal); break;
    case kOpen: hr = Open(); break;
    case kConnect: hr = Connect(argument.bstrVal); break;
    case kWrite: hr = Write(argument.bstrVal); break;
    case kRead: hr = Read(&text); break;
    case kDisconnect: hr = Disconnect(argument.bstrVal); break;
    case kClose: hr = Close(); break;
    case kIsConnected: hr = IsConnected(&connected); break;
    case kInterrupt: hr = Interrupt(); break;
    }
    if (FAILED(hr)) {
        SysFreeString(text);
        FillException(hr, exception);
        return DISP_E_EXCEPTION;
    }
    if (id == kGetVersion || id == kRead) {
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = text;
        } else {
            SysFreeString(text);
        }
    } else if (id == kIsConnected && result) {
        result->vt = VT_BOOL;
        result->boolVal = connected;
    }
    return S_OK;
}

}  // namespace brevant
