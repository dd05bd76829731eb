// The terminal window thread and dialog.
#include "textpane_host.h"
#include "bstr.h"
#include "resource.h"

void CTextpane::IO(const char* text) {
    if (!m_control) return;
    fw::Bstr value = fw::Bstr::FromAnsi(text ? text : "");
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = value.Get();
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    m_control->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

CTextpaneDlg::CTextpaneDlg(HANDLE hCancelEvent, CTextpaneThd* thread)
    : fw::ControlDialog(IDD_TEXTPANE_HOST), m_hCancelEvent(hCancelEvent), m_thread(thread) {}

BOOL CTextpaneDlg::OnInitDialog() {
    m_textpane.Attach(ControlDispatch(IDC_TEXTPANE));
    RECT client;
    GetClientRect(Handle(), &client);
    MoveWindow(GetDlgItem(Handle(), IDC_TEXTPANE), 0, 0, client.right, client.bottom, TRUE);
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CTextpaneDlg::OnCancel() {
    // Pending reads give up while the event is set; the button stays disabled.
    SetEvent(m_hCancelEvent);
    EnableWindow(GetDlgItem(Handle(), IDCANCEL), FALSE);
}

bool CTextpaneDlg::OnCommand(WORD id, WORD) {
    if (id != IDC_TEXTPANE_DESTROY) return false;
    OnDestroyNow();
    return true;
}

void CTextpaneDlg::OnDestroyNow() { m_thread->DestroyNow(this); }

void CTextpaneThd::DestroyNow(CTextpaneDlg* dialog) {
    dialog->DestroyWindow();
    delete dialog;
    CoUninitialize();
    EndNow(0);
}

bool CTextpaneThd::InitInstance() {
    CoInitialize(nullptr);
    auto* dialog = new CTextpaneDlg(m_hCancelEvent, this);
    *m_ppDialog = dialog;  // before the window exists; read only after the ready event
    if (!dialog->Create(nullptr)) {
        *m_ppDialog = nullptr;  // nothing of it is left for Close to look at
        delete dialog;
        return false;
    }
    SetEvent(m_hReadyEvent);
    return true;
}

int CTextpaneThd::ExitInstance() {
    CoUninitialize();
    return 0;
}
