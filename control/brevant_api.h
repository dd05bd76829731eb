// The Brevant automation object as Portlex calls it: its class, its interface in
// vtable order, and nothing else. Portlex and our own Brevant.dll include this one
// header, so caller and callee cannot disagree on a slot.
#pragma once
#include <windows.h>
#include <ole2.h>

// {C200EA3E-EA2F-11D5-955A-0090271CA8C4}
inline constexpr CLSID CLSID_Brevant = {0xC200EA3E, 0xEA2F, 0x11D5, {0x95, 0x5A, 0x00, 0x90, 0x27, 0x1C, 0xA8, 0xC4}};
// {C200EA3D-EA2F-11D5-955A-0090271CA8C4}
inline constexpr IID IID_IBrevant = {0xC200EA3D, 0xEA2F, 0x11D5, {0x95, 0x5A, 0x00, 0x90, 0x27, 0x1C, 0xA8, 0xC4}};

// Portlex creates the object with this context (in-process server, handler or local server).
constexpr DWORD kBrevantClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// A dual interface. Slots 0-2 IUnknown, 3-6 IDispatch and 7 GetVersion are never
// called by Portlex; neither is slot 15, IsConnected, between Close and Interrupt.
// Every BSTR argument is made and freed by the caller; Read hands back a new BSTR
// that the caller frees, also after a failure.
struct IBrevant : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetVersion(BSTR* version) = 0;          // slot 7
    virtual HRESULT STDMETHODCALLTYPE SetParameters(BSTR parameters) = 0;     // slot 8
    virtual HRESULT STDMETHODCALLTYPE Open() = 0;                             // slot 9
    virtual HRESULT STDMETHODCALLTYPE Connect(BSTR address) = 0;              // slot 10
    virtual HRESULT STDMETHODCALLTYPE Write(BSTR text) = 0;                   // slot 11
    virtual HRESULT STDMETHODCALLTYPE Read(BSTR* received) = 0;               // slot 12
    virtual HRESULT STDMETHODCALLTYPE Disconnect(BSTR reserved) = 0;          // slot 13
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;                            // slot 14
    virtual HRESULT STDMETHODCALLTYPE IsConnected(VARIANT_BOOL* connected) = 0;  // slot 15
    virtual HRESULT STDMETHODCALLTYPE Interrupt() = 0;                        // slot 16
};
