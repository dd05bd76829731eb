// Reference counting and QueryInterface for our COM classes. A class derives from
// ComObject<I1, I2, ...> and answers FindInterface with the interfaces it implements.
#pragma once
#include <windows.h>
#include <ole2.h>
#include "module.h"
#include <new>
#include <utility>

namespace fw {

template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = FindInterface(iid);
        if (!*out) return E_NOINTERFACE;
        static_cast<IUnknown*>(*out)->AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() { Module::AddObject(); }
    virtual ~ComObject() { Module::ReleaseObject(); }
    // Returns the interface pointer for iid (IUnknown included) or nullptr; no AddRef.
    virtual void* FindInterface(REFIID iid) = 0;

private:
    LONG refs_ = 1;  // the creator holds the first reference
};

// Helper for FindInterface: `if (auto p = Answer<IFoo>(this, iid, IID_IFoo)) return p;`
template <class I, class T>
inline void* Answer(T* self, REFIID asked, REFIID iid) {
    return IsEqualIID(asked, iid) ? static_cast<I*>(self) : nullptr;
}

// Creates an object whose constructor leaves one reference, and hands out iid.
template <class T, class... Args>
HRESULT CreateInstance(REFIID iid, void** out, Args&&... args) {
    if (!out) return E_POINTER;
    *out = nullptr;
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace fw
