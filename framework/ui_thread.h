// A user-interface thread: its own message loop, started suspended so that the creator
// can set its priority, and deleting itself when it ends.
#pragma once
#include <windows.h>

namespace fw {

class UiThread {
public:
    UiThread() = default;
    virtual ~UiThread() = default;
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Creates the thread suspended; false when it cannot be made (the object is then the
    // caller's to delete).
    bool CreateSuspended();
    void Resume(int priority = THREAD_PRIORITY_NORMAL);
    DWORD ThreadId() const { return threadId_; }

protected:
    // Runs first on the new thread; returning false ends it through ExitInstance.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return 0; }
    // Ends the current thread at once, deleting this object (no ExitInstance).
    [[noreturn]] void EndNow(DWORD exitCode);

private:
    static DWORD WINAPI ThreadMain(void* self);
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace fw
