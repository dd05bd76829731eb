// The serial communications control: identity, registration and its six members.
#include "mscomm_ctrl.h"
#include <olectl.h>
#include "bstr.h"
#include "byte_text.h"
#include "modem_picture.h"
#include "mscomm.h"
#include "resource.h"

namespace {

enum : DISPID {
    kDispCommPort = 4,
    kDispHandshaking = 10,
    kDispPortOpen = 20,
    kDispSettings = 23,
    kDispOutput = 25,
    kDispInput = 26,
};

const char kSource[] = "MSComm";
const char kProgId[] = "MSCOMMLib.MSComm.1";
// The dialog template that hosts the control carries a state of version 1.0 with no
// stock properties; the framework's stream format reads it as ours.
const DWORD kSavedStateVersion = 0x00010000;
// Invisible at run time: a host keeps it in a hidden dialog and only drives it.
const DWORD kMiscStatus = OLEMISC_INVISIBLEATRUNTIME | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST |
                          OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

const fw::ControlClassInfo kClassInfo = {
    &CLSID_MSComm, &DIID__DMSComm, &DIID__DMSCommEvents, 0, kSavedStateVersion, kMiscStatus,
    IDS_MSCOMM_TYPE_NAME, nullptr, 0, "MSCommControlWindow"};

// A character above U+00FF goes out as its single byte in the ANSI code page, so that
// text a caller converted from ANSI (the euro sign of code page 1252, say) keeps its byte.
int AnsiByteFor(wchar_t character) {
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &character, 1, bytes, sizeof bytes, nullptr,
                                     &usedDefault);
    return length == 1 && !usedDefault ? static_cast<unsigned char>(bytes[0]) : -1;
}

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message(text ? text : "", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message + " (error " + std::to_string(error) + ")";
}

// Access to the elements of a one-dimensional byte array for the lifetime of the guard.
class SafeArrayBytes {
public:
    explicit SafeArrayBytes(SAFEARRAY* array) : array_(array) {
        LONG lower = 0, upper = -1;
        if (!array_ || SafeArrayGetDim(array_) != 1 || SafeArrayGetElemsize(array_) != 1 ||
            FAILED(SafeArrayGetLBound(array_, 1, &lower)) || FAILED(SafeArrayGetUBound(array_, 1, &upper)) ||
            FAILED(SafeArrayAccessData(array_, &data_))) {
            data_ = nullptr;
            return;
        }
        count_ = upper >= lower ? static_cast<size_t>(upper - lower + 1) : 0;
    }
    ~SafeArrayBytes() { if (data_) SafeArrayUnaccessData(array_); }
    SafeArrayBytes(const SafeArrayBytes&) = delete;
    SafeArrayBytes& operator=(const SafeArrayBytes&) = delete;

    bool Valid() const { return data_ != nullptr; }
    std::string Bytes() const { return std::string(static_cast<const char*>(data_), count_); }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
    size_t count_ = 0;
};

}  // namespace

const fw::TypeLibInfo CMSCommCtrl::kTypeLib = {&LIBID_MSCommLib, 1, 0, 0x409};

CMSCommCtrl::CMSCommCtrl() : fw::OleControl(kClassInfo) {}

HRESULT CMSCommCtrl::Create(REFIID iid, void** out) { return fw::CreateInstance<CMSCommCtrl>(iid, out); }

HRESULT CMSCommCtrl::UpdateRegistry(bool registering) {
    if (!registering) return fw::UnregisterClassKeys(CLSID_MSComm, kProgId);
    const fw::ClassRegistration reg = {&CLSID_MSComm, kProgId, IDS_MSCOMM_TYPE_NAME, "Apartment",
                                       true, false, kMiscStatus, IDB_MSCOMM, &kTypeLib};
    return fw::RegisterClassKeys(reg);
}

HRESULT CMSCommCtrl::InvokeControlMember(DISPID id, WORD kind, fw::DispatchArgs& args, VARIANT* result,
                                         EXCEPINFO* excep) {
    const bool put = kind == DISPATCH_PROPERTYPUT;
    const bool get = kind == DISPATCH_PROPERTYGET;
    switch (id) {
    case kDispCommPort:
        if (put) return PutCommPort(args.Short(0), excep);
        if (get) {
            result->vt = VT_I2;
            result->iVal = m_nCommPort;
            return S_OK;
        }
        break;
    case kDispHandshaking:
        if (put) return PutHandshaking(args.Long(0), excep);
        if (get) {
            result->vt = VT_I4;
            result->lVal = static_cast<long>(m_handshaking);
            return S_OK;
        }
        break;
    case kDispPortOpen:
        if (put) return PutPortOpen(args.Bool(0), excep);
        if (get) {
            result->vt = VT_BOOL;
            result->boolVal = m_port.IsOpen() ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        break;
    case kDispSettings:
        if (put) return PutSettings(args.Ansi(0), excep);
        if (get) {
            result->vt = VT_BSTR;
            result->bstrVal = fw::Bstr::FromAnsi(mscomm::FormatSettings(m_settings)).Detach();
            return result->bstrVal ? S_OK : E_OUTOFMEMORY;
        }
        break;
    case kDispOutput:
        if (put) return PutOutput(args.Value(0), excep);
        break;
    case kDispInput:
        if (get) return GetInput(result, excep);
        break;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CMSCommCtrl::PutCommPort(long port, EXCEPINFO* excep) {
    if (!mscomm::IsValidPortNumber(port)) return Raise(excep, "Invalid port number", CTL_E_INVALIDPROPERTYVALUE);
    if (m_port.IsOpen()) return Raise(excep, "Port already open", CTL_E_ILLEGALFUNCTIONCALL);
    m_nCommPort = static_cast<short>(port);
    SetModifiedFlag();
    return S_OK;
}

HRESULT CMSCommCtrl::PutHandshaking(long value, EXCEPINFO* excep) {
    if (!mscomm::IsValidHandshaking(value))
        return Raise(excep,
                     "Invalid Handshaking value " + std::to_string(value) +
                         ": use 0 (none), 1 (XON/XOFF), 2 (RTS/CTS) or 3 (both)",
                     CTL_E_INVALIDPROPERTYVALUE);
    const auto handshaking = static_cast<mscomm::Handshaking>(value);
    if (m_port.IsOpen()) {
        DWORD error = m_port.Configure(m_settings, handshaking);
        if (error) return RaiseIoError(excep, "Cannot change the handshaking of", error);
    }
    m_handshaking = handshaking;
    SetModifiedFlag();
    return S_OK;
}

HRESULT CMSCommCtrl::PutPortOpen(bool open, EXCEPINFO* excep) {
    if (!open) {
        m_port.Close();
        InvalidateControl();
        return S_OK;
    }
    if (m_port.IsOpen()) return Raise(excep, "Port already open", CTL_E_ILLEGALFUNCTIONCALL);
    DWORD error = m_port.Open(m_nCommPort, m_settings, m_handshaking);
    switch (error) {
    case 0:
        InvalidateControl();
        return S_OK;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Raise(excep, "Invalid port number: " + PortName() + " does not exist", CTL_E_DEVICEUNAVAILABLE);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return Raise(excep, "Port " + PortName() + " is in use by another program", CTL_E_PERMISSIONDENIED);
    default:
        return RaiseIoError(excep, "Cannot open", error);
    }
}

HRESULT CMSCommCtrl::PutSettings(const std::string& text, EXCEPINFO* excep) {
    mscomm::LineSettings settings = m_settings;
    mscomm::SettingsError parseError = mscomm::ParseSettings(text, settings);
    if (parseError != mscomm::SettingsError::kNone)
        return Raise(excep, "Invalid Settings \"" + text + "\": " + mscomm::SettingsErrorText(parseError),
                     CTL_E_INVALIDPROPERTYVALUE);
    if (m_port.IsOpen()) {
        DWORD error = m_port.Configure(settings, m_handshaking);
        if (error) return RaiseIoError(excep, ("Cannot apply the settings " + text + " to").c_str(), error);
    }
    m_settings = settings;
    SetModifiedFlag();
    return S_OK;
}

HRESULT CMSCommCtrl::PutOutput(const VARIANT& value, EXCEPINFO* excep) {
    std::string bytes;
    if (value.vt == VT_BSTR) {
        bytes = mscomm::TextToBytes(value.bstrVal, SysStringLen(value.bstrVal), AnsiByteFor);
    } else if (value.vt == (VT_ARRAY | VT_UI1) || value.vt == (VT_ARRAY | VT_I1)) {
        SafeArrayBytes array(value.parray);
        if (!array.Valid()) return Raise(excep, "Output takes a one-dimensional array of bytes", CTL_E_INVALIDPROPERTYVALUE);
        bytes = array.Bytes();
    } else {
        return Raise(excep, "Output takes a string or an array of bytes", CTL_E_INVALIDPROPERTYVALUE);
    }
    if (!m_port.IsOpen()) return Raise(excep, "Port not open", CTL_E_ILLEGALFUNCTIONCALL);
    DWORD error = m_port.Write(bytes);
    if (error == ERROR_TIMEOUT)
        return Raise(excep, "Write to " + PortName() + " timed out: the line takes no more data", CTL_E_DEVICEIOERROR);
    if (error) return RaiseIoError(excep, "Cannot write to", error);
    return S_OK;
}

HRESULT CMSCommCtrl::GetInput(VARIANT* result, EXCEPINFO* excep) {
    if (!m_port.IsOpen()) return Raise(excep, "Port not open", CTL_E_ILLEGALFUNCTIONCALL);
    std::string bytes;
    DWORD error = m_port.ReadAvailable(bytes);
    if (error) return RaiseIoError(excep, "Cannot read from", error);
    const std::wstring text = mscomm::BytesToText(bytes.data(), bytes.size());
    result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!result->bstrVal) return E_OUTOFMEMORY;
    result->vt = VT_BSTR;
    return S_OK;
}

HRESULT CMSCommCtrl::Raise(EXCEPINFO* excep, const std::string& description, HRESULT scode) {
    return fw::RaiseDispatchException(excep, kSource, description, scode);
}

HRESULT CMSCommCtrl::RaiseIoError(EXCEPINFO* excep, const char* what, DWORD error) {
    return Raise(excep, std::string(what) + " " + PortName() + ": " + SystemMessage(error), CTL_E_DEVICEIOERROR);
}

std::string CMSCommCtrl::PortName() const { return "COM" + std::to_string(m_nCommPort); }

void CMSCommCtrl::OnDraw(HDC dc, HDC, const RECT& bounds, const RECT&) {
    mscomm::DrawModemPicture(dc, bounds, m_port.IsOpen());
}
