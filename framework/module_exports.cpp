// DllMain, DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer.
#include "module_exports.h"
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        fw::Module::Attach(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return fw::Module::GetClassObject(g_moduleDefinition.classes, g_moduleDefinition.classCount, clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return fw::Module::CanUnloadNow(); }

STDAPI DllRegisterServer() {
    return fw::RegisterServer(g_moduleDefinition.classes, g_moduleDefinition.classCount, g_moduleDefinition.typeLib);
}

STDAPI DllUnregisterServer() {
    return fw::UnregisterServer(g_moduleDefinition.classes, g_moduleDefinition.classCount,
                                g_moduleDefinition.typeLib);
}
