// Late-bound calls on the control by dispatch id, with the exception they raise.
#include "comm_control.h"
#include "com_test_env.h"
#include <cstdio>
#include "bstr.h"

namespace serial_line {

const CLSID kCommControlClsid = {0x648A5600, 0x2C6E, 0x101B, {0x82, 0xB6, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14}};

std::string HresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::ostream& operator<<(std::ostream& out, const CallResult& result) {
    out << HresultText(result.hr);
    if (result.hr == DISP_E_EXCEPTION)
        out << " (scode " << HresultText(result.scode) << ", " << result.source << ": \"" << result.description << "\")";
    return out;
}

namespace {

CallResult Invoke(IDispatch* dispatch, DISPID id, WORD flags, VARIANT* argument, VARIANT* result) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {argument, argument ? &named : nullptr, argument ? 1u : 0u, argument ? 1u : 0u};
    EXCEPINFO excep = {};
    UINT argError = 0;
    CallResult outcome;
    outcome.hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &excep, &argError);
    if (outcome.hr == DISP_E_EXCEPTION) {
        if (excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);
        outcome.scode = excep.scode;
        outcome.source = fw::BstrToAnsi(excep.bstrSource);
        outcome.description = fw::BstrToAnsi(excep.bstrDescription);
    }
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    return outcome;
}

}  // namespace

HRESULT CommControl::Create() {
    return CoCreateInstance(kCommControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch_.OutVoid());
}

CallResult CommControl::Put(DISPID id, VARIANT value) {
    CallResult result = Invoke(dispatch_.Get(), id, DISPATCH_PROPERTYPUT, &value, nullptr);
    VariantClear(&value);
    return result;
}

CallResult CommControl::Get(DISPID id, VARIANT* result) {
    return Invoke(dispatch_.Get(), id, DISPATCH_PROPERTYGET, nullptr, result);
}

CallResult CommControl::SetCommPort(short port) { return Put(kDispCommPort, testing_support::ShortArg(port)); }

CallResult CommControl::SetHandshaking(long value) { return Put(kDispHandshaking, testing_support::LongArg(value)); }

CallResult CommControl::SetPortOpen(bool open) { return Put(kDispPortOpen, testing_support::BoolArg(open)); }

CallResult CommControl::SetSettings(const std::string& text) {
    return Put(kDispSettings, testing_support::StringArg(text.c_str()));
}

CallResult CommControl::OutputText(const std::wstring& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return Put(kDispOutput, v);
}

CallResult CommControl::OutputBytes(const std::string& bytes) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (v.parray && SUCCEEDED(SafeArrayAccessData(v.parray, &data))) {
        if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(v.parray);
    }
    return Put(kDispOutput, v);
}

CallResult CommControl::Input(std::wstring* text) {
    fw::Variant value;
    CallResult result = Get(kDispInput, &value);
    text->clear();
    if (result.Ok() && value.vt != VT_BSTR) result.hr = DISP_E_TYPEMISMATCH;  // Input is always a string
    if (result.Ok()) text->assign(value.bstrVal, SysStringLen(value.bstrVal));
    return result;
}

bool CommControl::PortOpen() {
    fw::Variant value;
    return Get(kDispPortOpen, &value).Ok() && value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
}

std::string CommControl::Settings() {
    fw::Variant value;
    if (!Get(kDispSettings, &value).Ok() || value.vt != VT_BSTR) return "<no settings>";
    return fw::BstrToAnsi(value.bstrVal);
}

std::wstring Latin1(const std::string& bytes) {
    std::wstring text;
    for (unsigned char c : bytes) text += static_cast<wchar_t>(c);
    return text;
}

std::string Bytes(const std::wstring& latin1) {
    std::string bytes;
    for (wchar_t c : latin1) bytes += static_cast<char>(c & 0xFF);
    return bytes;
}

}  // namespace serial_line
