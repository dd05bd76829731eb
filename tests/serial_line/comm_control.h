// The registered serial communications control, created by its CLSID and called through
// IDispatch::Invoke with the fixed dispatch ids, as the serial port host calls it.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ostream>
#include <string>
#include "com_ptr.h"

namespace serial_line {

extern const CLSID kCommControlClsid;

enum : DISPID {
    kDispCommPort = 4,
    kDispHandshaking = 10,
    kDispPortOpen = 20,
    kDispSettings = 23,
    kDispOutput = 25,
    kDispInput = 26,
};

// The outcome of one call: its HRESULT and, for an automation exception, what it carried.
struct CallResult {
    HRESULT hr = E_UNEXPECTED;
    SCODE scode = 0;
    std::string source;
    std::string description;
    bool Ok() const { return hr == S_OK; }
};
std::ostream& operator<<(std::ostream& out, const CallResult& result);
std::string HresultText(HRESULT hr);

class CommControl {
public:
    HRESULT Create();
    void Release() { dispatch_.Reset(); }
    IDispatch* Dispatch() const { return dispatch_.Get(); }

    // A property put; value is cleared after the call.
    CallResult Put(DISPID id, VARIANT value);
    // A property get; result receives the value.
    CallResult Get(DISPID id, VARIANT* result);

    CallResult SetCommPort(short port);
    CallResult SetHandshaking(long value);
    CallResult SetPortOpen(bool open);
    CallResult SetSettings(const std::string& text);
    CallResult OutputText(const std::wstring& text);
    CallResult OutputBytes(const std::string& bytes);
    // Input's string; result.hr tells whether there was one.
    CallResult Input(std::wstring* text);
    bool PortOpen();
    std::string Settings();

private:
    fw::ComPtr<IDispatch> dispatch_;
};

// Text of characters U+0000 to U+00FF from bytes, and back, for expectations.
std::wstring Latin1(const std::string& bytes);
std::string Bytes(const std::wstring& latin1);

}  // namespace serial_line
