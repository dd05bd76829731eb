// Watches, from a thread of its own, for a top-level window with a given caption while
// the test's thread is blocked in a modal loop; records what it saw and can press a button.
#pragma once
#include <windows.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class WindowWatcher {
public:
    // onFound runs on the watcher thread once, when the window appears; afterwards
    // onTick runs every pollMs while the window exists.
    WindowWatcher(std::string caption, std::function<void(HWND)> onFound,
                  std::function<void(HWND)> onTick = nullptr, DWORD pollMs = 20);
    ~WindowWatcher();
    bool Found() const { return found_; }

private:
    void Run();
    std::string caption_;
    std::function<void(HWND)> onFound_, onTick_;
    DWORD pollMs_;
    std::atomic<bool> stop_{false}, found_{false};
    std::thread thread_;
};

// The top-level window of this process with that caption: tests running beside this one
// in other processes may show windows with the same caption.
HWND FindProcessWindow(const char* caption);
std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);
// Presses a dialog button (as a click would) by posting its command.
void PressButton(HWND dialog, int id);

}  // namespace testing_support
