// IDispatch driven by a dispinterface of the module's embedded type library: names and
// DISPIDs come from the type library, arguments are checked and coerced to the declared
// types, and the call lands in one InvokeMember of the object.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>
#include <vector>
#include "com_ptr.h"

namespace fw {

// The arguments of one call, in declared order, already coerced to the declared types.
class DispatchArgs {
public:
    DispatchArgs() = default;
    DispatchArgs(const DispatchArgs&) = delete;
    DispatchArgs& operator=(const DispatchArgs&) = delete;
    ~DispatchArgs();

    size_t Count() const { return values_.size(); }
    long Long(size_t i) const;
    short Short(size_t i) const;
    bool Bool(size_t i) const;          // VARIANT_BOOL or a 32-bit BOOL
    BSTR Bstr(size_t i) const;          // may be null
    std::string Ansi(size_t i) const;   // the BSTR as ANSI text, "" for null
    IDispatch* Dispatch(size_t i) const;
    const VARIANT& Value(size_t i) const { return values_[i]; }
    // For a BSTR* parameter: the new string to hand back (ownership passes to the caller).
    void SetOutBstr(size_t i, BSTR value);

private:
    friend class TypeInfoDispatch;
    std::vector<VARIANT> values_;
    std::vector<VARIANT*> outTargets_;  // the caller's by-reference argument, or null
    std::vector<BSTR> outValues_;
};

class DispatchTarget {
public:
    // kind is one of DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT.
    // A put passes the new value as the last argument.
    virtual HRESULT InvokeMember(DISPID id, WORD kind, DispatchArgs& args, VARIANT* result, EXCEPINFO* excep) = 0;

protected:
    ~DispatchTarget() = default;
};

class TypeInfoDispatch {
public:
    // Loads the dispinterface iid from type library resource 1 of module.
    HRESULT Load(HINSTANCE module, REFIID dispinterface);
    ITypeInfo* TypeInfo() const { return typeInfo_.Get(); }

    HRESULT GetTypeInfo(UINT index, ITypeInfo** out);
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT Invoke(DispatchTarget& target, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excep, UINT* argError);

private:
    struct Signature {
        std::vector<VARTYPE> params;  // VT_BYREF|x for out parameters
    };
    struct Member {
        DISPID id = 0;
        bool hasMethod = false, hasGet = false, hasPut = false;
        Signature method, get, put;
    };
    const Member* Find(DISPID id) const;
    VARTYPE Resolve(ITypeInfo* info, const TYPEDESC& desc) const;

    ComPtr<ITypeInfo> typeInfo_;
    std::vector<Member> members_;
};

// Fills EXCEPINFO for an automation exception and returns DISP_E_EXCEPTION.
HRESULT RaiseDispatchException(EXCEPINFO* excep, const char* source, const std::string& description,
                               HRESULT scode = E_FAIL);

// Loads type library resource 1 of a module (cached per module).
HRESULT LoadModuleTypeLib(HINSTANCE module, ITypeLib** out);

}  // namespace fw
