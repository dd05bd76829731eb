// Portlex.ocx module: entry points and the table of its classes.
#include <winsock2.h>
#include <windows.h>
#include "portlex.h"
#include "module.h"
#include "portlex_ctrl.h"
#include "registration.h"

const fw::TypeLibInfo& PortlexTypeLib();

namespace {
const fw::ClassEntry kClasses[] = {
    {&CLSID_Portlex, CPortlexCtrl::Create, CPortlexCtrl::UpdateRegistry},
};
const size_t kClassCount = sizeof kClasses / sizeof kClasses[0];
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        fw::Module::Attach(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return fw::Module::GetClassObject(kClasses, kClassCount, clsid, iid, out);
}
STDAPI DllCanUnloadNow() { return fw::Module::CanUnloadNow(); }
STDAPI DllRegisterServer() { return fw::RegisterServer(kClasses, kClassCount, &PortlexTypeLib()); }
STDAPI DllUnregisterServer() { return fw::UnregisterServer(kClasses, kClassCount, &PortlexTypeLib()); }
