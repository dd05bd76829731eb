// Type-library driven dispatch: member lookup, argument checks and coercion, out parameters.
#include "dispatch.h"
#include "bstr.h"
#include <oleauto.h>

namespace fw {

DispatchArgs::~DispatchArgs() {
    for (VARIANT& v : values_) VariantClear(&v);
    for (BSTR b : outValues_) SysFreeString(b);
}

long DispatchArgs::Long(size_t i) const { return values_[i].vt == VT_I2 ? values_[i].iVal : values_[i].lVal; }
short DispatchArgs::Short(size_t i) const { return values_[i].vt == VT_I2 ? values_[i].iVal : static_cast<short>(values_[i].lVal); }
bool DispatchArgs::Bool(size_t i) const {
    return values_[i].vt == VT_BOOL ? values_[i].boolVal != VARIANT_FALSE : values_[i].lVal != 0;
}
BSTR DispatchArgs::Bstr(size_t i) const { return values_[i].vt == VT_BSTR ? values_[i].bstrVal : nullptr; }
std::string DispatchArgs::Ansi(size_t i) const { return BstrToAnsi(Bstr(i)); }
IDispatch* DispatchArgs::Dispatch(size_t i) const { return values_[i].vt == VT_DISPATCH ? values_[i].pdispVal : nullptr; }

void DispatchArgs::SetOutBstr(size_t i, BSTR value) {
    SysFreeString(outValues_[i]);
    outValues_[i] = value;
}

HRESULT LoadModuleTypeLib(HINSTANCE module, ITypeLib** out) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return LoadTypeLibEx(path, REGKIND_NONE, out);
}

VARTYPE TypeInfoDispatch::Resolve(ITypeInfo* info, const TYPEDESC& desc) const {
    if (desc.vt == VT_PTR) {
        // A pointer to an interface is the interface itself; any other pointer is by reference.
        VARTYPE pointee = Resolve(info, *desc.lptdesc);
        bool isInterface = desc.lptdesc->vt == VT_USERDEFINED && (pointee == VT_DISPATCH || pointee == VT_UNKNOWN);
        return isInterface ? pointee : (VT_BYREF | pointee);
    }
    if (desc.vt != VT_USERDEFINED) return desc.vt;
    // Aliases such as OLE_COLOR resolve to their base type; interfaces to VT_DISPATCH/VT_UNKNOWN.
    ComPtr<ITypeInfo> ref;
    if (FAILED(info->GetRefTypeInfo(desc.hreftype, ref.ReleaseAndGetAddressOf()))) return VT_VARIANT;
    TYPEATTR* attr = nullptr;
    if (FAILED(ref->GetTypeAttr(&attr))) return VT_VARIANT;
    VARTYPE vt = VT_VARIANT;
    if (attr->typekind == TKIND_ALIAS) vt = Resolve(ref.Get(), attr->tdescAlias);
    else if (attr->typekind == TKIND_DISPATCH || (attr->wTypeFlags & TYPEFLAG_FDUAL)) vt = VT_DISPATCH;
    else if (attr->typekind == TKIND_INTERFACE) vt = VT_UNKNOWN;
    else if (attr->typekind == TKIND_ENUM) vt = VT_I4;
    ref->ReleaseTypeAttr(attr);
    return vt;
}

HRESULT TypeInfoDispatch::Load(HINSTANCE module, REFIID dispinterface) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadModuleTypeLib(module, lib.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    hr = lib->GetTypeInfoOfGuid(dispinterface, typeInfo_.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    TYPEATTR* attr = nullptr;
    hr = typeInfo_->GetTypeAttr(&attr);
    if (FAILED(hr)) return hr;
    auto memberFor = [this](DISPID id) -> Member& {
        for (Member& m : members_)
            if (m.id == id) return m;
        members_.push_back(Member{});
        members_.back().id = id;
        return members_.back();
    };
    for (UINT f = 0; f < attr->cFuncs; ++f) {
        FUNCDESC* func = nullptr;
        if (FAILED(typeInfo_->GetFuncDesc(f, &func))) continue;
        Signature sig;
        for (SHORT p = 0; p < func->cParams; ++p)
            sig.params.push_back(Resolve(typeInfo_.Get(), func->lprgelemdescParam[p].tdesc));
        Member& m = memberFor(func->memid);
        if (func->invkind == INVOKE_FUNC) { m.hasMethod = true; m.method = sig; }
        else if (func->invkind == INVOKE_PROPERTYGET) { m.hasGet = true; m.get = sig; }
        else { m.hasPut = true; m.put = sig; }
        typeInfo_->ReleaseFuncDesc(func);
    }
    for (UINT v = 0; v < attr->cVars; ++v) {
        VARDESC* var = nullptr;
        if (FAILED(typeInfo_->GetVarDesc(v, &var))) continue;
        Member& m = memberFor(var->memid);
        m.hasGet = true;
        m.hasPut = !(var->wVarFlags & VARFLAG_FREADONLY);
        m.put.params = {Resolve(typeInfo_.Get(), var->elemdescVar.tdesc)};
        typeInfo_->ReleaseVarDesc(var);
    }
    typeInfo_->ReleaseTypeAttr(attr);
    return S_OK;
}

const TypeInfoDispatch::Member* TypeInfoDispatch::Find(DISPID id) const {
    for (const Member& m : members_)
        if (m.id == id) return &m;
    return nullptr;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!typeInfo_) return E_UNEXPECTED;
    *out = typeInfo_.Get();
    (*out)->AddRef();
    return S_OK;
}

HRESULT TypeInfoDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
    if (!typeInfo_) return E_UNEXPECTED;
    if (!names || !ids) return E_POINTER;
    return DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
}

HRESULT TypeInfoDispatch::Invoke(DispatchTarget& target, DISPID id, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excep, UINT* argError) {
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    if (params->cArgs && !params->rgvarg) return E_INVALIDARG;
    const Member* member = Find(id);
    if (!member) return DISP_E_MEMBERNOTFOUND;

    WORD kind;
    const Signature* sig;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!member->hasPut) return DISP_E_MEMBERNOTFOUND;
        kind = DISPATCH_PROPERTYPUT;
        sig = &member->put;
        if (params->cNamedArgs > 1 || (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            return DISP_E_NONAMEDARGS;
    } else {
        if ((flags & DISPATCH_METHOD) && member->hasMethod) { kind = DISPATCH_METHOD; sig = &member->method; }
        else if ((flags & DISPATCH_PROPERTYGET) && member->hasGet) { kind = DISPATCH_PROPERTYGET; sig = &member->get; }
        else return DISP_E_MEMBERNOTFOUND;
    }
    const std::vector<VARTYPE>& expected = sig->params;
    if (params->cArgs != expected.size()) return DISP_E_BADPARAMCOUNT;

    // Where each declared parameter sits in rgvarg: named arguments (methods only; their
    // DISPIDs are parameter positions) come first, positional ones follow, last first.
    const UINT count = params->cArgs;
    const UINT named = kind == DISPATCH_PROPERTYPUT ? 0 : params->cNamedArgs;
    if (named > count || (named && !params->rgdispidNamedArgs)) return E_INVALIDARG;
    std::vector<int> slot(count, -1);
    for (UINT n = 0; n < named; ++n) {
        DISPID position = params->rgdispidNamedArgs[n];
        if (position < 0 || static_cast<UINT>(position) >= count || slot[position] != -1) {
            if (argError) *argError = n;
            return DISP_E_PARAMNOTFOUND;
        }
        slot[position] = static_cast<int>(n);
    }
    for (UINT i = 0, next = count - 1; i < count; ++i) {
        if (slot[i] != -1) continue;
        if (next < named) return DISP_E_PARAMNOTFOUND;  // a positional argument after a named one
        slot[i] = static_cast<int>(next--);
    }

    DispatchArgs args;
    args.values_.resize(count);
    args.outTargets_.assign(count, nullptr);
    args.outValues_.assign(count, nullptr);
    for (VARIANT& v : args.values_) VariantInit(&v);
    for (UINT i = 0; i < count; ++i) {
        VARIANT& source = params->rgvarg[slot[i]];
        VARTYPE want = expected[i];
        HRESULT hr = S_OK;
        if (want & VT_BYREF) {
            // Callers that cannot pass a reference (JScript) pass a value: the output is dropped.
            if (source.vt == want || source.vt == (VT_BYREF | VT_VARIANT)) args.outTargets_[i] = &source;
        } else if (want == VT_VARIANT) {
            hr = VariantCopyInd(&args.values_[i], &source);
        } else {
            Variant plain;
            hr = VariantCopyInd(&plain, &source);
            if (SUCCEEDED(hr)) hr = VariantChangeType(&args.values_[i], &plain, 0, want);
            if (FAILED(hr) && hr != DISP_E_OVERFLOW) hr = DISP_E_TYPEMISMATCH;
        }
        if (FAILED(hr)) {
            if (argError) *argError = static_cast<UINT>(slot[i]);
            return hr;
        }
    }

    Variant localResult;
    VARIANT* out = result ? result : &localResult;
    if (result) VariantInit(result);
    HRESULT hr = target.InvokeMember(id, kind, args, out, excep);
    if (FAILED(hr)) return hr;
    for (UINT i = 0; i < count; ++i) {
        VARIANT* reference = args.outTargets_[i];
        if (!reference || !args.outValues_[i]) continue;
        BSTR value = args.outValues_[i];
        args.outValues_[i] = nullptr;
        if (reference->vt == (VT_BYREF | VT_BSTR)) {
            SysFreeString(*reference->pbstrVal);
            *reference->pbstrVal = value;
        } else {
            VariantClear(reference->pvarVal);
            reference->pvarVal->vt = VT_BSTR;
            reference->pvarVal->bstrVal = value;
        }
    }
    return hr;
}

HRESULT RaiseDispatchException(EXCEPINFO* excep, const char* source, const std::string& description, HRESULT scode) {
    if (excep) {
        ZeroMemory(excep, sizeof *excep);
        excep->bstrSource = Bstr::FromAnsi(source ? source : "").Detach();
        excep->bstrDescription = Bstr::FromAnsi(description).Detach();
        excep->scode = scode;
    }
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.ReleaseAndGetAddressOf()))) {
        std::wstring desc = AnsiToWide(description), src = AnsiToWide(source ? source : "");
        create->SetDescription(desc.data());
        create->SetSource(src.data());
        ComPtr<IErrorInfo> info = create.As<IErrorInfo>(IID_IErrorInfo);
        SetErrorInfo(0, info.Get());
    }
    return DISP_E_EXCEPTION;
}

}  // namespace fw
