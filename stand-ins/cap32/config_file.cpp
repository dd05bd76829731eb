// Locating the configuration: environment variable first, then beside the DLL.
#include "config_file.h"
#include "handles.h"
#include <windows.h>

namespace cap32 {
namespace {

constexpr DWORD kMaxConfigBytes = 1 << 20;

std::string LibraryFolder() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ReadConfigFile), &module);
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, n);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxConfigBytes) return false;
    text.assign(size, '\0');
    DWORD read = 0;
    if (size && !ReadFile(file.Get(), &text[0], size, &read, nullptr)) return false;
    text.resize(read);
    return true;
}

}  // namespace

bool ReadConfigFile(std::string& text, std::string& path) {
    char variable[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA(kConfigVariable, variable, MAX_PATH);
    if (n > 0 && n < MAX_PATH) path = variable;
    else path = LibraryFolder() + "\\" + kConfigFileName;
    return ReadWholeFile(path, text);
}

}  // namespace cap32
