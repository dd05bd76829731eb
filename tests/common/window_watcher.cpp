// Window watcher for tests of modal windows.
#include "window_watcher.h"

namespace testing_support {

WindowWatcher::WindowWatcher(std::string caption, std::function<void(HWND)> onFound,
                             std::function<void(HWND)> onTick, DWORD pollMs)
    : caption_(std::move(caption)), onFound_(std::move(onFound)), onTick_(std::move(onTick)), pollMs_(pollMs),
      thread_([this] { Run(); }) {}

WindowWatcher::~WindowWatcher() {
    stop_ = true;
    thread_.join();
}

void WindowWatcher::Run() {
    HWND window = nullptr;
    while (!stop_) {
        HWND now = FindProcessWindow(caption_.c_str());
        if (now && !window) {
            window = now;
            found_ = true;
            if (onFound_) onFound_(window);
        } else if (window && !IsWindow(window)) {
            return;
        } else if (window && onTick_) {
            onTick_(window);
        }
        Sleep(pollMs_);
    }
}

HWND FindProcessWindow(const char* caption) {
    for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, caption); window;
         window = FindWindowExA(nullptr, window, nullptr, caption)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) return window;
    }
    return nullptr;
}

std::string WindowText(HWND window) {
    // Asked of another thread's window, which may be going away: trust only the length
    // the window answers with.
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                        SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    return std::string(text, length < sizeof text ? length : 0);
}

std::string DialogItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace testing_support
