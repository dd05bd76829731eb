// RAII owners for Win32 kernel handles, GDI objects, icons and windows.
#pragma once
#include <windows.h>
#include <utility>

namespace fw {

template <class H, class Traits>
class UniqueOwner {
public:
    UniqueOwner() = default;
    explicit UniqueOwner(H h) : h_(h) {}
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    UniqueOwner& operator=(UniqueOwner&& o) noexcept { std::swap(h_, o.h_); return *this; }
    ~UniqueOwner() { Reset(); }

    void Reset(H h = Traits::Invalid()) {
        H old = std::exchange(h_, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    H Get() const { return h_; }
    H Release() { return std::exchange(h_, Traits::Invalid()); }
    explicit operator bool() const { return h_ != Traits::Invalid(); }

private:
    H h_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
template <class T>
struct GdiObjectTraits {
    static T Invalid() { return nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND h) { if (IsWindow(h)) DestroyWindow(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};

using UniqueHandle = UniqueOwner<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueOwner<HANDLE, FileHandleTraits>;
template <class T> using UniqueGdi = UniqueOwner<T, GdiObjectTraits<T>>;
using UniqueIcon = UniqueOwner<HICON, IconTraits>;
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;
using UniqueModule = UniqueOwner<HMODULE, ModuleTraits>;
using UniqueMemoryDc = UniqueOwner<HDC, MemoryDcTraits>;

// Selects a GDI object into a DC for the lifetime of the guard.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() { if (old_) SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window DC released on destruction.
class WindowDc {
public:
    explicit WindowDc(HWND w) : w_(w), dc_(GetDC(w)) {}
    ~WindowDc() { if (dc_) ReleaseDC(w_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }
private:
    HWND w_;
    HDC dc_;
};

}  // namespace fw
