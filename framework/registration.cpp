// Writing and removing the registry entries of our COM classes and type libraries.
#include "registration.h"
#include <windows.h>
#include <olectl.h>
#include <oleauto.h>
#include <string>

namespace fw {
namespace {

LSTATUS SetValue(HKEY root, const std::string& subKey, const char* name, const std::string& value) {
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc;
}

LSTATUS DeleteTree(HKEY root, const std::string& subKey) {
    LSTATUS rc = RegDeleteTreeA(root, subKey.c_str());
    if (rc == ERROR_SUCCESS) rc = RegDeleteKeyA(root, subKey.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace

std::string GuidToString(const GUID& guid) {
    wchar_t wide[40] = {};
    StringFromGUID2(guid, wide, 40);
    char text[40] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string LoadResourceString(UINT id) {
    char text[1024] = {};
    int n = LoadStringA(Module::Instance(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

HRESULT RegisterClassKeys(const ClassRegistration& reg) {
    const std::string clsid = GuidToString(*reg.clsid);
    const std::string key = "CLSID\\" + clsid;
    const std::string name = LoadResourceString(reg.nameStringId);
    const std::string path = Module::Path();
    bool ok = SetValue(HKEY_CLASSES_ROOT, key, nullptr, name) == ERROR_SUCCESS;
    ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", nullptr, path) == ERROR_SUCCESS;
    ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel",
                        reg.threadingModel ? reg.threadingModel : "Apartment") == ERROR_SUCCESS;
    if (reg.progId) {
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\ProgID", nullptr, reg.progId) == ERROR_SUCCESS;
        ok = ok && SetValue(HKEY_CLASSES_ROOT, reg.progId, nullptr, name) == ERROR_SUCCESS;
        ok = ok && SetValue(HKEY_CLASSES_ROOT, std::string(reg.progId) + "\\CLSID", nullptr, clsid) == ERROR_SUCCESS;
        if (reg.insertable)
            ok = ok && SetValue(HKEY_CLASSES_ROOT, std::string(reg.progId) + "\\Insertable", nullptr, "") == ERROR_SUCCESS;
    }
    if (reg.insertable) ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\Insertable", nullptr, "") == ERROR_SUCCESS;
    if (reg.control) {
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\Control", nullptr, "") == ERROR_SUCCESS;
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\MiscStatus", nullptr, "0") == ERROR_SUCCESS;
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\MiscStatus\\1", nullptr,
                            std::to_string(reg.miscStatus)) == ERROR_SUCCESS;
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\ToolboxBitmap32", nullptr,
                            path + ", " + std::to_string(reg.bitmapId)) == ERROR_SUCCESS;
    }
    if (reg.typeLib) {
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\TypeLib", nullptr, GuidToString(*reg.typeLib->libid)) == ERROR_SUCCESS;
        ok = ok && SetValue(HKEY_CLASSES_ROOT, key + "\\Version", nullptr,
                            std::to_string(reg.typeLib->major) + "." + std::to_string(reg.typeLib->minor)) == ERROR_SUCCESS;
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterClassKeys(const CLSID& clsid, const char* progId) {
    bool ok = DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid)) == ERROR_SUCCESS;
    if (progId) ok = DeleteTree(HKEY_CLASSES_ROOT, progId) == ERROR_SUCCESS && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT RegisterModuleTypeLib() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(Module::Instance(), path.data(), MAX_PATH));
    ITypeLib* typeLib = nullptr;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &typeLib);
    if (FAILED(hr)) return hr;
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
    hr = RegisterTypeLib(typeLib, path.data(), folder.data());
    typeLib->Release();
    return hr;
}

HRESULT UnregisterModuleTypeLib(const TypeLibInfo& info) {
    HRESULT hr = UnRegisterTypeLib(*info.libid, info.major, info.minor, info.lcid, SYS_WIN32);
    // Nothing registered is not a failure of unregistering.
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
}

HRESULT RegisterServer(const ClassEntry* classes, size_t count, const TypeLibInfo* typeLib) {
    if (typeLib && FAILED(RegisterModuleTypeLib())) return SELFREG_E_TYPELIB;
    for (size_t i = 0; i < count; ++i)
        if (FAILED(classes[i].updateRegistry(true))) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT UnregisterServer(const ClassEntry* classes, size_t count, const TypeLibInfo* typeLib) {
    if (typeLib && FAILED(UnregisterModuleTypeLib(*typeLib))) return SELFREG_E_TYPELIB;
    for (size_t i = 0; i < count; ++i)
        if (FAILED(classes[i].updateRegistry(false))) return SELFREG_E_CLASS;
    return S_OK;
}

}  // namespace fw
