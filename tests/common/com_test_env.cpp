// Late-bound calls for tests.
#include "com_test_env.h"

namespace testing_support {

DISPID DispatchId(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result,
                   EXCEPINFO* excep) {
    DISPID id = DispatchId(object, name);
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    UINT argError = 0;
    EXCEPINFO local = {};
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, excep ? excep : &local,
                                &argError);
    if (!excep) {
        SysFreeString(local.bstrSource);
        SysFreeString(local.bstrDescription);
        SysFreeString(local.bstrHelpFile);
    }
    for (VARIANT& v : args) VariantClear(&v);
    return hr;
}

VARIANT LongArg(long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT ShortArg(short value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT BoolArg(bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT StringArg(const char* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = fw::Bstr::FromAnsi(text).Detach();
    return v;
}

}  // namespace testing_support
