// Module state and the one class factory that serves every class of the module.
#include "module.h"
#include "com_object.h"
#include <windows.h>

namespace fw {
namespace {

HINSTANCE g_instance = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

class ClassFactory : public ComObject<IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        Module::Lock(lock != FALSE);
        return S_OK;
    }

private:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
            return static_cast<IClassFactory*>(this);
        return nullptr;
    }
    CreateFunction create_;
};

}  // namespace

void Module::Attach(HINSTANCE instance) { g_instance = instance; }
HINSTANCE Module::Instance() { return g_instance; }

std::string Module::Path() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_instance, path, MAX_PATH);
    return path;
}

std::string Module::Folder() {
    std::string path = Path();
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void Module::AddObject() { InterlockedIncrement(&g_objects); }
void Module::ReleaseObject() { InterlockedDecrement(&g_objects); }
void Module::Lock(bool lock) {
    if (lock) InterlockedIncrement(&g_locks);
    else InterlockedDecrement(&g_locks);
}

HRESULT Module::CanUnloadNow() { return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE; }

HRESULT Module::GetClassObject(const ClassEntry* classes, size_t count, REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (IsEqualCLSID(*classes[i].clsid, clsid))
            return fw::CreateInstance<ClassFactory>(iid, out, classes[i].create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace fw
