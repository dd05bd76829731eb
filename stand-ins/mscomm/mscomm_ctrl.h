// CMSCommCtrl: the serial communications control. It keeps the port number, line
// settings and handshaking, opens the port on PortOpen and moves bytes through Output
// and Input. Every failure reaches the caller as an automation exception.
#pragma once
#include <string>
#include "comm_settings.h"
#include "ole_control.h"
#include "registration.h"
#include "serial_port.h"

class CMSCommCtrl : public fw::OleControl {
public:
    static HRESULT Create(REFIID iid, void** out);
    static HRESULT UpdateRegistry(bool registering);
    static const fw::TypeLibInfo kTypeLib;

    CMSCommCtrl();

private:
    void OnDraw(HDC dc, HDC attributeDc, const RECT& bounds, const RECT& invalid) override;
    HRESULT InvokeControlMember(DISPID id, WORD kind, fw::DispatchArgs& args, VARIANT* result,
                                EXCEPINFO* excep) override;

    HRESULT PutCommPort(long port, EXCEPINFO* excep);
    HRESULT PutHandshaking(long value, EXCEPINFO* excep);
    HRESULT PutPortOpen(bool open, EXCEPINFO* excep);
    HRESULT PutSettings(const std::string& text, EXCEPINFO* excep);
    HRESULT PutOutput(const VARIANT& value, EXCEPINFO* excep);
    HRESULT GetInput(VARIANT* result, EXCEPINFO* excep);

    HRESULT Raise(EXCEPINFO* excep, const std::string& description, HRESULT scode);
    HRESULT RaiseIoError(EXCEPINFO* excep, const char* what, DWORD error);
    std::string PortName() const;

    short m_nCommPort = 1;
    mscomm::Handshaking m_handshaking = mscomm::Handshaking::kNone;
    mscomm::LineSettings m_settings;
    mscomm::SerialPort m_port;
};
