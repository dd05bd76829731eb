// Small helpers for tests that run real programs and files under Wine: the test
// program's folder, temporary files, environment variables and child processes.
#pragma once
#include <windows.h>
#include <string>

namespace peers {

// Folder of the running test program, without a trailing backslash.
std::string ProgramFolder();

// A file with the given text, deleted when the object ends.
class TempFile {
public:
    TempFile(const std::string& path, const std::string& text);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }
    bool Written() const { return written_; }

private:
    std::string path_;
    bool written_ = false;
};

// Sets (or, with value nullptr, removes) an environment variable of this
// process and puts the old value back when the object ends.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::string old_;
    bool hadOld_ = false;
};

// Runs a command line and waits for it; its exit code, or -1 when it could not
// start or did not end within timeoutMs.
long RunProcess(const std::string& commandLine, DWORD timeoutMs = 30000);

// Registers (or unregisters) a COM server module with regsvr32 /s; its exit code.
long Regsvr32(const std::string& modulePath, bool unregister = false);

// The default value of a key under HKEY_CLASSES_ROOT (or a named value with
// valueName); false when the key or value does not exist.
bool ReadClassesRootValue(const std::string& subKey, const char* valueName, std::string& value);
bool ClassesRootKeyExists(const std::string& subKey);

}  // namespace peers
