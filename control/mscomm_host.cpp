// The serial port host dialog and its control wrapper.
#include "mscomm_host.h"
#include "bstr.h"
#include "resource.h"

namespace {
enum : DISPID { kCommPort = 4, kHandshaking = 10, kPortOpen = 20, kSettings = 23, kOutput = 25, kInput = 26 };
}

HRESULT CMSComm::Put(DISPID id, VARIANT& value, EXCEPINFO* error) {
    if (!m_control) return E_POINTER;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    return m_control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, error,
                             nullptr);
}

HRESULT CMSComm::SetCommPort(short port, EXCEPINFO* error) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = port;
    return Put(kCommPort, v, error);
}

HRESULT CMSComm::SetHandshaking(long handshaking, EXCEPINFO* error) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = handshaking;
    return Put(kHandshaking, v, error);
}

HRESULT CMSComm::SetPortOpen(BOOL open, EXCEPINFO* error) {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = open ? VARIANT_TRUE : VARIANT_FALSE;
    return Put(kPortOpen, v, error);
}

HRESULT CMSComm::SetSettings(const char* settings, EXCEPINFO* error) {
    fw::Bstr text = fw::Bstr::FromAnsi(settings);
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    return Put(kSettings, v, error);
}

HRESULT CMSComm::SetOutput(const VARIANT& output, EXCEPINFO* error) {
    VARIANT v = output;
    return Put(kOutput, v, error);
}

HRESULT CMSComm::GetInput(VARIANT* input, EXCEPINFO* error) {
    if (!m_control) return E_POINTER;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return m_control->Invoke(kInput, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, input, error,
                             nullptr);
}

CMSCommDlg::CMSCommDlg() : fw::ControlDialog(IDD_MSCOMM_HOST) {}

BOOL CMSCommDlg::OnInitDialog() {
    m_comm.Attach(ControlDispatch(IDC_MSCOMM));
    return TRUE;
}
