// The self-closing message window on dialog template 216.
#include "error_message_dlg.h"
#include "error_text.h"
#include "module.h"
#include "resource.h"

INT_PTR CErrorMessageDlg::DoModal(HWND owner) {
    return DialogBoxParamA(fw::Module::Instance(), MAKEINTRESOURCEA(IDD_ERROR_MESSAGE), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CErrorMessageDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return reinterpret_cast<CErrorMessageDlg*>(lParam)->OnInitDialog(dialog);
    }
    auto* self = reinterpret_cast<CErrorMessageDlg*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_TIMER:
        self->OnTimer(dialog, wParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            KillTimer(dialog, kCountdownTimer);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

BOOL CErrorMessageDlg::OnInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_ERROR_TEXT, m_strMessage.c_str());
    char format[256] = {};
    GetDlgItemTextA(dialog, IDC_ERROR_COUNTDOWN, format, sizeof format);
    m_strCountdownFormat = format;
    SetTimer(dialog, kCountdownTimer, 1000, nullptr);
    ShowCountdown(dialog);
    // Nobody may miss it: it waits in front of the host's windows.
    SetForegroundWindow(dialog);
    return TRUE;
}

void CErrorMessageDlg::OnTimer(HWND dialog, UINT_PTR id) {
    if (id != kCountdownTimer) return;
    if (--m_nSecondsLeft <= 0) {
        KillTimer(dialog, kCountdownTimer);
        EndDialog(dialog, IDOK);
        return;
    }
    ShowCountdown(dialog);
}

void CErrorMessageDlg::ShowCountdown(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_ERROR_COUNTDOWN, portlex::FormatCountdown(m_strCountdownFormat, m_nSecondsLeft).c_str());
}
