// COM for a test program's main thread (single-threaded apartment, as a form host has),
// and late-bound calls the way script hosts make them.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>
#include <vector>
#include "bstr.h"
#include "com_ptr.h"

namespace testing_support {

struct ComApartment {
    ComApartment() { OleInitialize(nullptr); }
    ~ComApartment() { OleUninitialize(); }
};

DISPID DispatchId(IDispatch* object, const wchar_t* name);
// Invokes a member by name; args are given first to last (they are reversed for the call).
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
                   VARIANT* result, EXCEPINFO* excep = nullptr);
VARIANT LongArg(long value);
VARIANT ShortArg(short value);
VARIANT BoolArg(bool value);
// The BSTR belongs to the returned VARIANT; CallByName clears its arguments.
VARIANT StringArg(const char* text);

}  // namespace testing_support
