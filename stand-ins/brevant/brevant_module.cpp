// Brevant.dll's module: its one class, the class object and self-registration.
#include "brevant_api.h"
#include "brevant_object.h"
#include "module.h"
#include "registration.h"
#include "resource.h"

namespace {

// ProgID of the class, for script hosts; the control creates it by CLSID.
constexpr char kProgId[] = "Brevant.Connection.1";

HRESULT UpdateRegistry(bool registering) {
    if (!registering) return fw::UnregisterClassKeys(CLSID_Brevant, kProgId);
    fw::ClassRegistration registration{};
    registration.clsid = &CLSID_Brevant;
    registration.progId = kProgId;
    registration.nameStringId = IDS_BREVANT_NAME;
    registration.threadingModel = "Apartment";
    return fw::RegisterClassKeys(registration);
}

const fw::ClassEntry kClasses[] = {{&CLSID_Brevant, &brevant::BrevantObject::Create, &UpdateRegistry}};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        fw::Module::Attach(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return fw::Module::GetClassObject(kClasses, 1, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return fw::Module::CanUnloadNow(); }

extern "C" HRESULT WINAPI DllRegisterServer() { return fw::RegisterServer(kClasses, 1, nullptr); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return fw::UnregisterServer(kClasses, 1, nullptr); }
