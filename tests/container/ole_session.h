// OleInitialize for the lifetime of an object; the container and the ATL host both need OLE
// (in-place activation, fonts, clipboard formats) on the thread that uses them.
#pragma once
#include <ole2.h>

namespace tc {

class OleSession {
public:
    OleSession() : hr_(OleInitialize(nullptr)) {}
    ~OleSession() { if (SUCCEEDED(hr_)) OleUninitialize(); }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace tc
