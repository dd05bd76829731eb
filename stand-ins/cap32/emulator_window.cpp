// The emulator window's thread, window procedure and listing.
#include "emulator_window.h"
#include "handles.h"
#include <mutex>
#include <new>

namespace cap32 {

struct EmulatorWindow::Shared {
    std::mutex mutex;
    std::string pending;  // text not yet in the listing
    std::string title;
    HWND window = nullptr;
    HWND listing = nullptr;
    fw::UniqueHandle ready{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

namespace {

constexpr UINT kAppendMessage = WM_APP + 1;
constexpr UINT kTitleMessage = WM_APP + 2;
constexpr int kListingId = 100;
constexpr int kListingLimit = 60000;  // characters kept; older half dropped beyond it
constexpr DWORD kStartTimeoutMs = 5000;
constexpr DWORD kStopTimeoutMs = 5000;

using Shared = EmulatorWindow::Shared;

void AppendPending(Shared& shared) {
    std::string text;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        text.swap(shared.pending);
    }
    if (text.empty()) return;
    HWND listing = shared.listing;
    int length = GetWindowTextLengthA(listing);
    if (length + static_cast<int>(text.size()) > kListingLimit) {
        SendMessageA(listing, EM_SETSEL, 0, length / 2);
        SendMessageA(listing, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
        length = GetWindowTextLengthA(listing);
    }
    SendMessageA(listing, EM_SETSEL, length, length);
    SendMessageA(listing, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* shared = reinterpret_cast<Shared*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_SIZE:
        if (shared && shared->listing) MoveWindow(shared->listing, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case kAppendMessage:
        if (shared) AppendPending(*shared);
        return 0;
    case kTitleMessage:
        if (shared) {
            std::string title;
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                title = shared->title;
            }
            SetWindowTextA(window, title.c_str());
        }
        return 0;
    case WM_CLOSE:
        // The user closing the emulator's window only hides it; the library ends it.
        if (wParam != 1) {
            ShowWindow(window, SW_HIDE);
            return 0;
        }
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kEmulatorWindowClass;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&WindowProc), &module);
    return module;
}

struct ThreadStart {
    std::shared_ptr<Shared> shared;
    HMODULE module;  // a reference held by the thread, so the library outlives it
};

DWORD WINAPI WindowThread(void* parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    HMODULE module = start->module;
    {
        std::shared_ptr<Shared> shared = std::move(start->shared);
        start.reset();
        HINSTANCE instance = ThisModule();
        if (RegisterWindowClass(instance)) {
            shared->window = CreateWindowExA(0, kEmulatorWindowClass, shared->title.c_str(), WS_OVERLAPPEDWINDOW,
                                             CW_USEDEFAULT, CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance,
                                             shared.get());
        }
        if (shared->window) {
            shared->listing = CreateWindowExA(
                WS_EX_CLIENTEDGE, "EDIT", "",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0, 0,
                shared->window, reinterpret_cast<HMENU>(kListingId), instance, nullptr);
            SendMessageA(shared->listing, EM_SETLIMITTEXT, 0, 0);
            SendMessageA(shared->listing, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), 0);
            RECT client;
            GetClientRect(shared->window, &client);
            MoveWindow(shared->listing, 0, 0, client.right, client.bottom, FALSE);
        }
        SetEvent(shared->ready.Get());
        MSG message;
        while (shared->window && GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

std::unique_ptr<EmulatorWindow> EmulatorWindow::Start(const std::string& title) {
    std::unique_ptr<EmulatorWindow> window(new (std::nothrow) EmulatorWindow);
    if (!window) return nullptr;
    window->shared_ = std::make_shared<Shared>();
    window->shared_->title = title;
    if (!window->shared_->ready) return nullptr;

    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&WindowProc), &module))
        return nullptr;
    auto* start = new (std::nothrow) ThreadStart{window->shared_, module};
    window->thread_ = start ? CreateThread(nullptr, 0, WindowThread, start, 0, nullptr) : nullptr;
    if (!window->thread_) {
        delete start;
        FreeLibrary(module);
        return nullptr;
    }
    WaitForSingleObject(window->shared_->ready.Get(), kStartTimeoutMs);
    if (!window->shared_->window) return nullptr;  // the thread ends by itself
    return window;
}

EmulatorWindow::~EmulatorWindow() {
    if (shared_ && shared_->window) PostMessageA(shared_->window, WM_CLOSE, 1, 0);
    if (thread_) {
        WaitForSingleObject(thread_, kStopTimeoutMs);
        CloseHandle(thread_);
    }
}

void EmulatorWindow::Show(bool show) {
    // Asynchronous: the caller never waits for the window's thread.
    ShowWindowAsync(shared_->window, show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void EmulatorWindow::SetTitle(const std::string& title) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->title = title;
    }
    PostMessageA(shared_->window, kTitleMessage, 0, 0);
}

void EmulatorWindow::Append(const std::string& text) {
    bool first;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        first = shared_->pending.empty();
        shared_->pending += text;
    }
    if (first) PostMessageA(shared_->window, kAppendMessage, 0, 0);
}

HWND EmulatorWindow::Handle() const { return shared_->window; }

}  // namespace cap32
