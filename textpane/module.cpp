// Textpane.ocx module: entry points and the table of its classes.
#include <windows.h>
#include <olectl.h>
#include "module.h"
#include "registration.h"
#include "textpane.h"
#include "textpane_ctrl.h"
#include "textpane_prop_page.h"

namespace {

const fw::ClassEntry kClasses[] = {
    {&CLSID_Textpane, CTextpaneCtrl::Create, CTextpaneCtrl::UpdateRegistry},
    {&CLSID_TextpanePropPage, CTextpanePropPage::Create, CTextpanePropPage::UpdateRegistry},
};
const size_t kClassCount = sizeof kClasses / sizeof kClasses[0];
const fw::TypeLibInfo kTypeLib = {&LIBID_TextpaneLib, 1, 0, 0x409};

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
STDAPI DllRegisterServer() { return fw::RegisterServer(kClasses, kClassCount, &kTypeLib); }
STDAPI DllUnregisterServer() { return fw::UnregisterServer(kClasses, kClassCount, &kTypeLib); }
