// Open and Close: selecting one of the five services, bringing it up and taking it down.
#include <winsock2.h>
#include "portlex_ctrl.h"
#include "bstr.h"
#include "mscomm_host.h"
#include "error_text.h"
#include "registration.h"
#include "resource.h"
#include "service_string.h"
#include "textpane_host.h"

namespace {

const long kFailure = -9;
const int kChunkSize = 6144;
const int kInDataSize = 0x10000;
const DWORD kTextpaneWaitMs = 8000;

// Looks a capture-library function up by name at each use.
template <class Fn>
Fn CapFunction(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Fn>(GetProcAddress(library, name)) : nullptr;
}

void CloseEvent(HANDLE& event) {
    if (event) CloseHandle(event);
    event = nullptr;
}

}  // namespace

void CPortlexCtrl::ReleaseCommonResources() {
    CloseEvent(m_hEchoChoiceEvent);
    CloseEvent(m_hEchoDialogReady);
    CloseEvent(m_hTextpaneReady);
    CloseEvent(m_hCancelEvent);
    delete[] m_pRecvChunk;
    m_pRecvChunk = nullptr;
    m_nRecvChunkSize = 0;
    delete[] m_pInData;
    m_pInData = nullptr;
    m_nInLength = m_nInOffset = 0;
}

bool CPortlexCtrl::StartTextpaneHost() {
    auto* thread = new CTextpaneThd(&m_pTextpaneDialog, m_hTextpaneReady, m_hCancelEvent);
    if (!thread->CreateSuspended()) {
        delete thread;
        ShowErrorId(IDS_NO_TEXTPANE_THREAD);
        return false;
    }
    thread->Resume(THREAD_PRIORITY_NORMAL);
    if (WaitForSingleObject(m_hTextpaneReady, kTextpaneWaitMs) != WAIT_OBJECT_0) {
        ShowErrorId(IDS_NO_TEXTPANE_DIALOG);
        return false;
    }
    HWND dialog = m_pTextpaneDialog ? m_pTextpaneDialog->Handle() : nullptr;
    ShowWindow(dialog, m_bShowTextpane ? SW_SHOW : SW_HIDE);
    UpdateWindow(dialog);
    return true;
}

void CPortlexCtrl::EndTextpaneHost() {
    if (m_pTextpaneDialog && IsWindow(m_pTextpaneDialog->Handle())) {
        // Returns once the terminal window's thread has ended.
        SendMessageA(m_pTextpaneDialog->Handle(), WM_COMMAND, IDC_TEXTPANE_DESTROY, 0);
    }
    m_pTextpaneDialog = nullptr;
}

HWND CPortlexCtrl::TextpaneWindow() const {
    HWND dialog = m_pTextpaneDialog ? m_pTextpaneDialog->Handle() : nullptr;
    return dialog && IsWindow(dialog) ? dialog : nullptr;
}

void CPortlexCtrl::SetShowTextpane(BOOL bShow) {
    if (bShow == m_bShowTextpane) return;
    m_bShowTextpane = bShow;
    if (m_nService == portlex::kServiceTelvora) {
        if (auto setState = CapFunction<CapSetPsStateFn>(m_hCapLib, kCapSetPsStateName)) {
            CapPsStateRecord record = {static_cast<WORD>(bShow ? kCapStateShow : kCapStateHide), 0};
            CapStatus status = setState(&m_capSession, m_hCapConn, &record);
            if (status != 0) ShowErrorStatus(status, "SetPSState");
        }
    } else if (HWND dialog = TextpaneWindow()) {
        ShowWindow(dialog, bShow ? SW_SHOW : SW_HIDE);
    }
    SetModifiedFlag();
}

void CPortlexCtrl::RaiseLater(const EXCEPINFO& error, HRESULT hr) {
    m_strPendingError = error.bstrDescription ? fw::BstrToAnsi(error.bstrDescription) : "Serial port error";
    m_hrPendingError = error.scode ? error.scode : hr;
}

long CPortlexCtrl::Open(const char* lpszService) {
    if (m_wOpenStage != 0) return kFailure;
    const char* service = lpszService ? lpszService : "";
    RecreateControlWindow();
    // Whatever a failed Open left behind is made anew below.
    ReleaseCommonResources();
    m_hEchoChoiceEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hEchoDialogReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hTextpaneReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hCancelEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_pCommDialog = nullptr;
    m_pTextpaneDialog = nullptr;
    SetTimer(EnsureWindow(), kRedrawTimer, kRedrawInterval, nullptr);
    m_bAnimating = TRUE;
    m_nIconFrame = 0;
    m_pRecvChunk = new (std::nothrow) BYTE[kChunkSize];
    if (!m_pRecvChunk) {
        ShowErrorId(IDS_NO_MEMORY);
        return kFailure;
    }
    m_nRecvChunkSize = kChunkSize;
    m_pInData = new (std::nothrow) BYTE[kInDataSize];
    if (!m_pInData) {
        ShowErrorId(IDS_NO_MEMORY);
        return kFailure;
    }
    m_nService = portlex::SelectService(service);
    switch (m_nService) {
    case portlex::kServiceBrevant: return OpenBrevant(service);
    case portlex::kServiceSerial: return OpenSerial(service);
    case portlex::kServiceTelvora: return OpenTelvora(service);
    default: return OpenSocketLayer();
    }
}

long CPortlexCtrl::OpenBrevant(const char* service) {
    CoInitialize(nullptr);
    HRESULT hr = CoCreateInstance(CLSID_Brevant, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                                  CLSCTX_LOCAL_SERVER, IID_IBrevant, reinterpret_cast<void**>(&m_pBrevant));
    if (FAILED(hr) || !m_pBrevant) {
        CoUninitialize();
        m_pBrevant = nullptr;
        ShowErrorId(IDS_BREVANT_CREATE);
        return kFailure;
    }
    // Lets go of the object on a failed Open (message 0: the failure was already shown).
    auto dropObject = [this](UINT message) {
        m_pBrevant->Release();
        CoUninitialize();
        m_pBrevant = nullptr;
        if (message) ShowErrorId(message);
        return kFailure;
    };
    // Without this, the object would stay referenced with no Close to release it.
    if (!StartTextpaneHost()) return dropObject(0);
    const std::string parameters = portlex::BrevantParameters(service);
    if (!parameters.empty()) {
        fw::Bstr text = fw::Bstr::FromAnsi(parameters);
        if (FAILED(m_pBrevant->SetParameters(text.Get()))) return dropObject(IDS_BREVANT_PARAMETERS);
    }
    if (FAILED(m_pBrevant->Open())) return dropObject(IDS_BREVANT_OPEN);
    m_wOpenStage = 5;
    return 0;
}

long CPortlexCtrl::OpenSerial(const char* service) {
    auto* dialog = new CMSCommDlg();
    m_pCommDialog = dialog;
    if (!dialog->Create(nullptr) || !dialog->m_comm.Exists()) {
        // No serial control to talk to: say so rather than call into nothing.
        DestroyCommDialog();
        ShowErrorText("Could not create the serial communications control !");
        return kFailure;
    }
    if (!StartTextpaneHost()) {
        DestroyCommDialog();
        return kFailure;
    }
    const portlex::SerialSettings settings = portlex::ParseSerialServiceString(service);
    CMSComm& comm = dialog->m_comm;
    EXCEPINFO error = {};
    HRESULT hr = S_OK;
    if (settings.hasPort) hr = comm.SetCommPort(settings.port, &error);
    if (SUCCEEDED(hr) && settings.hasHandshaking) hr = comm.SetHandshaking(settings.handshaking, &error);
    if (SUCCEEDED(hr) && settings.hasSettings) hr = comm.SetSettings(settings.settings.c_str(), &error);
    if (SUCCEEDED(hr)) hr = comm.SetPortOpen(TRUE, &error);
    if (FAILED(hr)) {
        RaiseLater(error, hr);
        SysFreeString(error.bstrSource);
        SysFreeString(error.bstrDescription);
        SysFreeString(error.bstrHelpFile);
        // The port did not open: no host dialog is left for a Close that acts only on an open port.
        EndTextpaneHost();
        DestroyCommDialog();
        return kFailure;
    }
    m_wOpenStage = 5;
    return 0;
}

void CPortlexCtrl::DestroyCommDialog() {
    if (!m_pCommDialog) return;
    m_pCommDialog->DestroyWindow();
    delete m_pCommDialog;
    m_pCommDialog = nullptr;
}

long CPortlexCtrl::OpenTelvora(const char* service) {
    const portlex::TelvoraService telvora = portlex::ParseTelvoraServiceString(service);
    m_hCapLib = LoadLibraryA(kCapLibraryName);
    if (!m_hCapLib) {
        ShowErrorId(IDS_NO_CAP32);
        return kFailure;
    }
    m_wOpenStage = 1;
    auto initUser = CapFunction<CapInitUserFn>(m_hCapLib, kCapInitUserName);
    const CapUserRecord user = {kCapUserVersion, "MML", "UserName", "Kelmitux", 0, 0, kCapUserFlags};
    m_wCapStatus = initUser ? initUser(&m_capSession, &user) : 0xFFFF;
    if (m_wCapStatus != 0) {
        ShowErrorStatus(m_wCapStatus, "InitUser");
        Close();
        return kFailure;
    }
    m_wOpenStage = 2;
    auto connectPs = CapFunction<CapConnectPsFn>(m_hCapLib, kCapConnectPsName);
    const CapConnectPsRecord connect = {0, 0, kCapConnectPsMode, 0, EnsureWindow(), 0};
    m_hCapConn = connectPs ? connectPs(&m_capSession, &connect) : 0;
    if (m_hCapConn == 0) {
        m_wCapStatus = connectPs ? CapSessionStatus(m_capSession) : 0xFFFF;
        if (m_wCapStatus == kCapStatusNoEmulator) ShowErrorId(IDS_TELVORA_NOT_FOUND);
        else ShowErrorStatus(m_wCapStatus, "ConnectPS");
        Close();
        return kFailure;
    }
    m_wOpenStage = 3;
    auto initConn = CapFunction<CapInitConnFn>(m_hCapLib, kCapInitConnName);
    const CapInitConnRecord init = {kCapInitConnKind, 0, telvora.name.c_str()};
    m_wCapStatus = initConn ? initConn(&m_capSession, m_hCapConn, &init) : 0xFFFF;
    if (m_wCapStatus != 0) {
        if (m_wCapStatus == kCapStatusUndefinedService) {
            ShowErrorText(portlex::FormatServiceNotDefined(fw::LoadResourceString(IDS_SERVICE_NOT_DEFINED),
                                                           telvora.name.c_str()).c_str());
        } else {
            ShowErrorStatus(m_wCapStatus, "InitConnection");
        }
        Close();
        return kFailure;
    }
    m_wOpenStage = 4;
    auto setState = CapFunction<CapSetPsStateFn>(m_hCapLib, kCapSetPsStateName);
    const CapPsStateRecord state = {static_cast<WORD>(m_bShowTextpane ? kCapStateShow : kCapStateHide), 0};
    m_wCapStatus = setState ? setState(&m_capSession, m_hCapConn, &state) : 0xFFFF;
    if (m_wCapStatus != 0) {
        ShowErrorStatus(m_wCapStatus, "SetPSState");
        m_wCapStatus = 0;
    }
    m_wOpenStage = 5;
    return 0;
}

long CPortlexCtrl::OpenSocketLayer() {
    if (!StartTextpaneHost()) return kFailure;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0) {
        ShowSocketError("WSAStartup");
        return -1;
    }
    m_wOpenStage = 5;
    return 0;
}

long CPortlexCtrl::Close() {
    switch (m_nService) {
    case portlex::kServiceBrevant:
        if (m_pBrevant && m_wOpenStage >= 5) {
            m_pBrevant->Close();
            m_pBrevant->Release();
            CoUninitialize();
            m_pBrevant = nullptr;
            m_wOpenStage = 0;
        }
        EndTextpaneHost();
        break;
    case portlex::kServiceSerial:
        if (m_pCommDialog && m_wOpenStage >= 5) {
            EXCEPINFO ignored = {};
            m_pCommDialog->m_comm.SetPortOpen(FALSE, &ignored);
            SysFreeString(ignored.bstrSource);
            SysFreeString(ignored.bstrDescription);
            SysFreeString(ignored.bstrHelpFile);
            DestroyCommDialog();
            m_wOpenStage = 0;
        }
        EndTextpaneHost();
        break;
    case portlex::kServiceTelvora:
        if (m_wOpenStage >= 4)
            if (auto f = CapFunction<CapTermConnFn>(m_hCapLib, kCapTermConnName)) f(&m_capSession, m_hCapConn);
        if (m_wOpenStage >= 3)
            if (auto f = CapFunction<CapDisconnectFn>(m_hCapLib, kCapDisconnectName)) f(&m_capSession, m_hCapConn);
        if (m_wOpenStage >= 2)
            if (auto f = CapFunction<CapTermUserFn>(m_hCapLib, kCapTermUserName)) f(&m_capSession);
        if (m_wOpenStage >= 1 && m_hCapLib) {
            FreeLibrary(m_hCapLib);
            m_hCapLib = nullptr;
        }
        m_wOpenStage = 0;
        break;
    case portlex::kServiceWinsock:
    case portlex::kServiceTelnet:
        if (m_wOpenStage >= 5) m_wOpenStage = 0;
        if (WSACleanup() != 0) {
            ShowSocketError("WSACleanup");
            return -1;
        }
        EndTextpaneHost();
        break;
    default:
        break;
    }
    if (Window()) KillTimer(Window(), kRedrawTimer);
    m_bAnimating = FALSE;
    InvalidateControl(nullptr, true);
    ReleaseCommonResources();
    return 0;
}
