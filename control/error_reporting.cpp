// Failure reports of the control: each ends in the self-closing message window.
#include <winsock2.h>
#include "portlex_ctrl.h"
#include "about_box.h"
#include "error_message_dlg.h"
#include "error_text.h"
#include "registration.h"
#include "resource.h"

void CPortlexCtrl::SetMessageTimer(long lSeconds) { m_lMessageTimer = lSeconds; }

void CPortlexCtrl::ShowErrorText(const char* text) {
    if (m_lMessageTimer == 0) return;
    CErrorMessageDlg dialog(text ? text : "", m_lMessageTimer);
    // Owned by the host's window, the message stays in front of it while it blocks the host.
    dialog.DoModal(fw::ModalOwner(Window()));
}

void CPortlexCtrl::ShowErrorId(UINT id) { ShowErrorText(fw::LoadResourceString(id).c_str()); }

void CPortlexCtrl::ShowErrorStatus(WORD status, const char* function) {
    ShowErrorText(portlex::FormatStatusMessage(fw::LoadResourceString(IDS_ERROR_STATUS), status, function).c_str());
}

void CPortlexCtrl::ShowSocketError(const char* function) {
    const int code = WSAGetLastError();  // first, before anything else can change it
    ShowErrorText(portlex::FormatSocketError(function, code).c_str());
}
