// The serial port host: an invisible dialog (template 212) holding the serial
// communications control, and the wrapper through which the control core drives it.
#pragma once
#include <windows.h>
#include <string>
#include "control_dialog.h"

// One dispatch call per operation. A failure of the hosted control comes back as its
// HRESULT with the control's own exception information filled in.
class CMSComm {
public:
    void Attach(IDispatch* control) { m_control = control; }
    bool Exists() const { return m_control != nullptr; }
    HRESULT SetCommPort(short port, EXCEPINFO* error);
    HRESULT SetHandshaking(long handshaking, EXCEPINFO* error);
    HRESULT SetPortOpen(BOOL open, EXCEPINFO* error);
    HRESULT SetSettings(const char* settings, EXCEPINFO* error);
    HRESULT SetOutput(const VARIANT& output, EXCEPINFO* error);
    HRESULT GetInput(VARIANT* input, EXCEPINFO* error);

private:
    HRESULT Put(DISPID id, VARIANT& value, EXCEPINFO* error);
    IDispatch* m_control = nullptr;  // owned by the dialog's control site
};

class CMSCommDlg : public fw::ControlDialog {
public:
    CMSCommDlg();
    CMSComm m_comm;

private:
    BOOL OnInitDialog() override;
};
