// The emulator's window: a plain top-level window with a read-only listing of a
// connection's traffic. It lives on a thread of its own, so it stays responsive
// whether or not the caller's thread ever pumps messages.
#pragma once
#include <windows.h>
#include <memory>
#include <string>

namespace cap32 {

class EmulatorWindow {
public:
    // Starts the window's thread and waits for the (hidden) window; nullptr when
    // no window can be made (no display, no memory).
    static std::unique_ptr<EmulatorWindow> Start(const std::string& title);
    ~EmulatorWindow();  // closes the window and waits for its thread
    EmulatorWindow(const EmulatorWindow&) = delete;
    EmulatorWindow& operator=(const EmulatorWindow&) = delete;

    void Show(bool show);
    void SetTitle(const std::string& title);
    void Append(const std::string& text);  // appended by the window's thread, soon after
    HWND Handle() const;

    struct Shared;

private:
    EmulatorWindow() = default;
    std::shared_ptr<Shared> shared_;
    HANDLE thread_ = nullptr;
};

// Window class of the emulator window, for finding it.
constexpr char kEmulatorWindowClass[] = "Cap32EmulatorWindow";

}  // namespace cap32
