// User-interface threads.
#include "ui_thread.h"

namespace fw {

bool UiThread::CreateSuspended() {
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, CREATE_SUSPENDED, &threadId_);
    return thread_ != nullptr;
}

void UiThread::Resume(int priority) {
    SetThreadPriority(thread_, priority);
    HANDLE thread = thread_;
    thread_ = nullptr;
    ResumeThread(thread);
    CloseHandle(thread);  // the thread owns itself from here on
}

DWORD WINAPI UiThread::ThreadMain(void* param) {
    auto* self = static_cast<UiThread*>(param);
    int exitCode = 0;
    if (self->InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageA(GetActiveWindow(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    exitCode = self->ExitInstance();
    delete self;
    return static_cast<DWORD>(exitCode);
}

void UiThread::EndNow(DWORD exitCode) {
    delete this;
    ExitThread(exitCode);
}

}  // namespace fw
