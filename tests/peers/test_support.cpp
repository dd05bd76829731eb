// Files, environment, child processes and registry reads for tests.
#include "test_support.h"
#include <vector>

namespace peers {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/"));
}

TempFile::TempFile(const std::string& path, const std::string& text) : path_(path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    written_ = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    CloseHandle(file);
}

TempFile::~TempFile() { DeleteFileA(path_.c_str()); }

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : name_(name) {
    DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n > 0) {
        std::vector<char> buffer(n);
        GetEnvironmentVariableA(name, buffer.data(), n);
        old_ = buffer.data();
        hadOld_ = true;
    }
    SetEnvironmentVariableA(name, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr); }

long RunProcess(const std::string& commandLine, DWORD timeoutMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    long result = -1;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code))
        result = static_cast<long>(code);
    CloseHandle(process.hProcess);
    return result;
}

long Regsvr32(const std::string& modulePath, bool unregister) {
    return RunProcess(std::string("regsvr32.exe /s ") + (unregister ? "/u " : "") + "\"" + modulePath + "\"");
}

bool ReadClassesRootValue(const std::string& subKey, const char* valueName, std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    LSTATUS rc = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
    value = buffer;
    return true;
}

bool ClassesRootKeyExists(const std::string& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace peers
