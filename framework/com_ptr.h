// Owning smart pointer for COM interfaces: AddRef on copy, Release on destruction.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <utility>

namespace fw {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) { ComPtr c; c.p_ = p; return c; }
    T* Detach() { return std::exchange(p_, nullptr); }

    void Reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: releases what is held first.
    T** ReleaseAndGetAddressOf() { Reset(); return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(iid, out.OutVoid());
        return out;
    }

private:
    T* p_ = nullptr;
};

}  // namespace fw
