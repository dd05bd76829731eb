// The COM server module: instance handle, object and lock counts, class objects.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>

namespace fw {

using CreateFunction = HRESULT (*)(REFIID iid, void** out);

// One row per creatable class of a module: its CLSID, how to make an instance,
// and how to write (true) or remove (false) its registry entries.
struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
    HRESULT (*updateRegistry)(bool registering);
};

class Module {
public:
    static void Attach(HINSTANCE instance);  // from DllMain, DLL_PROCESS_ATTACH
    static HINSTANCE Instance();
    static std::string Path();               // full path of this module file
    static std::string Folder();             // its folder, without the trailing backslash
    static void AddObject();
    static void ReleaseObject();
    static void Lock(bool lock);
    static HRESULT CanUnloadNow();
    static HRESULT GetClassObject(const ClassEntry* classes, size_t count, REFCLSID clsid, REFIID iid, void** out);
};

}  // namespace fw
