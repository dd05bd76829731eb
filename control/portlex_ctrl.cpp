// The Portlex control: identity, dispatch table, drawing, timers and the about box.
#include "portlex_ctrl.h"
#include "portlex.h"
#include "about_box.h"
#include "bstr.h"
#include "handles.h"
#include "portlex_version.h"
#include "registration.h"
#include "resource.h"

namespace {

const DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                          OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
const CLSID kColorPropertyPage = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
const fw::TypeLibInfo kTypeLib = {&LIBID_PORTLEXLib, PORTLEX_VERSION_MAJOR, PORTLEX_VERSION_MINOR, 0};
const int kIconSize = 32;

const fw::ControlClassInfo kClassInfo = {
    &CLSID_Portlex, &DIID__DPortlex, &DIID__DPortlexEvents,
    fw::kStockBackColor | fw::kStockBorderStyle | fw::kStockCaption | fw::kStockEnabled, kPortlexVersion,
    kMiscStatus, IDS_PORTLEX, &kColorPropertyPage, 1, "PortlexControlWindow"};

enum DispatchId : DISPID {
    kDispClose = 3, kDispConnect, kDispDisconnect, kDispInterrupt, kDispOpen, kDispRead, kDispSetCheckIncoming,
    kDispSetMessageTimer, kDispShowTextpane, kDispVersion, kDispWrite, kDispWriteNoEcho,
};

void SetLong(VARIANT* result, long value) {
    result->vt = VT_I4;
    result->lVal = value;
}

}  // namespace

const fw::TypeLibInfo& PortlexTypeLib() { return kTypeLib; }

CPortlexCtrl::CPortlexCtrl() : fw::OleControl(kClassInfo) { ZeroMemory(&m_capSession, sizeof m_capSession); }

CPortlexCtrl::~CPortlexCtrl() {
    // The terminal window thread holds addresses inside this object: never leave it running.
    // The host is going away: nothing may be shown now.
    m_lMessageTimer = 0;
    if (m_wOpenStage != 0 || m_pRecvChunk || m_hCancelEvent || m_pTextpaneDialog || m_pCommDialog) Close();
}

HRESULT CPortlexCtrl::Create(REFIID iid, void** out) { return fw::CreateInstance<CPortlexCtrl>(iid, out); }

HRESULT CPortlexCtrl::UpdateRegistry(bool registering) {
    if (!registering) return fw::UnregisterClassKeys(CLSID_Portlex, "PORTLEX.PortlexCtrl.1");
    const fw::ClassRegistration reg = {&CLSID_Portlex, "PORTLEX.PortlexCtrl.1", IDS_PORTLEX, "Apartment",
                                       true, true, kMiscStatus, IDB_PORTLEX, &kTypeLib};
    return fw::RegisterClassKeys(reg);
}

HRESULT CPortlexCtrl::InvokeControlMember(DISPID id, WORD kind, fw::DispatchArgs& args, VARIANT* result,
                                          EXCEPINFO* excep) {
    if (kind != DISPATCH_METHOD) return DISP_E_MEMBERNOTFOUND;
    switch (id) {
    case kDispClose: SetLong(result, Close()); return S_OK;
    case kDispConnect: SetLong(result, Connect(args.Ansi(0).c_str())); return S_OK;
    case kDispDisconnect: SetLong(result, Disconnect()); return S_OK;
    case kDispInterrupt: SetLong(result, Interrupt()); return S_OK;
    case kDispOpen: {
        long rc = Open(args.Ansi(0).c_str());
        if (FAILED(m_hrPendingError)) {
            // The serial control raised an exception: the host gets it as such.
            HRESULT scode = m_hrPendingError;
            m_hrPendingError = S_OK;
            return fw::RaiseDispatchException(excep, "Portlex", m_strPendingError, scode);
        }
        SetLong(result, rc);
        return S_OK;
    }
    case kDispRead: {
        std::string received;
        long rc = Read(args.Ansi(0).c_str(), args.Long(1), args.Long(2), args.Bool(3), &received);
        args.SetOutBstr(4, fw::Bstr::FromAnsi(received).Detach());
        SetLong(result, rc);
        return S_OK;
    }
    case kDispSetCheckIncoming: SetCheckIncoming(args.Bool(0)); return S_OK;
    case kDispSetMessageTimer: SetMessageTimer(args.Long(0)); return S_OK;
    case kDispShowTextpane: SetShowTextpane(args.Bool(0)); return S_OK;
    case kDispVersion: SetLong(result, Version()); return S_OK;
    case kDispWrite: SetLong(result, Write(args.Ansi(0).c_str())); return S_OK;
    case kDispWriteNoEcho: SetLong(result, WriteNoEcho(args.Ansi(0).c_str())); return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

long CPortlexCtrl::Version() { return static_cast<long>(kPortlexVersion); }

void CPortlexCtrl::AboutBox() { fw::ShowModalDialog(IDD_ABOUTBOX_PORTLEX, fw::ModalOwner(Window())); }

// ---- window, drawing and timers ----

void CPortlexCtrl::LoadIcons() {
    HINSTANCE module = fw::Module::Instance();
    // Shared icons: the system frees them with the module.
    auto load = [module](UINT id) {
        return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, kIconSize, kIconSize, LR_SHARED));
    };
    m_hIdleIcon = load(IDI_PORTLEX);
    const UINT frames[6] = {IDI_ACTIVITY1, IDI_ACTIVITY2, IDI_ACTIVITY3, IDI_ACTIVITY4, IDI_ACTIVITY3, IDI_ACTIVITY2};
    for (int i = 0; i < 6; ++i) m_hActivityIcons[i] = load(frames[i]);
}

void CPortlexCtrl::OnWindowCreated() {
    LoadIcons();
    // A recreated window takes over the timers that were running.
    if (m_bAnimating) SetTimer(Window(), kRedrawTimer, kRedrawInterval, nullptr);
    if (m_bPollTimer) SetTimer(Window(), kIncomingPollTimer, kIncomingPollInterval, nullptr);
}

bool CPortlexCtrl::OnWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    switch (message) {
    case WM_TIMER:
        OnTimer(wParam);
        *result = 0;
        return true;
    case WM_CLOSE:
        OnClose();
        return false;  // then the default handling
    }
    return false;
}

void CPortlexCtrl::OnTimer(UINT_PTR id) {
    if (id == kRedrawTimer) InvalidateControl(nullptr, true);
    else if (id == kIncomingPollTimer) PollIncoming();
}

void CPortlexCtrl::SetCheckIncoming(BOOL bCheck) {
    if (bCheck) {
        if (m_bCheckIncoming) return;
        m_bCheckIncoming = bCheck;
        // A script host gives no container: the timer then runs on a hidden window of ours.
        SetTimer(EnsureWindow(), kIncomingPollTimer, kIncomingPollInterval, nullptr);
        m_bPollTimer = TRUE;
    } else {
        if (!m_bCheckIncoming) return;
        m_bCheckIncoming = FALSE;
        if (Window()) KillTimer(Window(), kIncomingPollTimer);
    }
    SetModifiedFlag();
}

void CPortlexCtrl::OnClose() {
    if (m_bAnimating) KillTimer(Window(), kRedrawTimer);
    if (m_bPollTimer) {
        KillTimer(Window(), kIncomingPollTimer);
        m_bPollTimer = FALSE;
    }
}

void CPortlexCtrl::OnDraw(HDC dc, HDC, const RECT& bounds, const RECT&) {
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (width != kIconSize || height != width) {
        SetControlSize(kIconSize, kIconSize);
        return;
    }
    fw::UniqueGdi<HBRUSH> brush(CreateSolidBrush(TranslateColor(BackColor())));
    FillRect(dc, &bounds, brush.Get());
    if (!m_hIdleIcon) LoadIcons();  // drawn through IViewObject before any window existed
    HICON icon = m_bAnimating ? m_hActivityIcons[m_nIconFrame++ % 6] : m_hIdleIcon;
    DrawIconEx(dc, bounds.left, bounds.top, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
}
