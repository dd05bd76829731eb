// Self-registration: class keys under HKEY_CLASSES_ROOT and the type library
// embedded in the module's resources.
#pragma once
#include <windows.h>
#include <ole2.h>
#include "module.h"

namespace fw {

struct TypeLibInfo {
    const GUID* libid;
    WORD major;
    WORD minor;
    LCID lcid;
};

// Everything written for one class. Text ids name strings of the module's own table.
struct ClassRegistration {
    const CLSID* clsid;
    const char* progId;           // may be null
    UINT nameStringId;            // user type name (default value of the class key)
    const char* threadingModel;   // "Apartment", "Both", ...
    bool control;                 // "Control" key, MiscStatus, ToolboxBitmap32, TypeLib, Version
    bool insertable;              // "Insertable" key under the class and the ProgID
    DWORD miscStatus;
    UINT bitmapId;                // toolbox bitmap resource
    const TypeLibInfo* typeLib;   // may be null
};

HRESULT RegisterClassKeys(const ClassRegistration& reg);
HRESULT UnregisterClassKeys(const CLSID& clsid, const char* progId);

// Registers type library resource 1 of this module, with the module's folder as help folder.
HRESULT RegisterModuleTypeLib();
HRESULT UnregisterModuleTypeLib(const TypeLibInfo& info);

// DllRegisterServer / DllUnregisterServer: the type library first, then every class.
// Results: S_OK, SELFREG_E_TYPELIB or SELFREG_E_CLASS.
HRESULT RegisterServer(const ClassEntry* classes, size_t count, const TypeLibInfo* typeLib);
HRESULT UnregisterServer(const ClassEntry* classes, size_t count, const TypeLibInfo* typeLib);

std::string GuidToString(const GUID& guid);
std::string LoadResourceString(UINT id);

}  // namespace fw
