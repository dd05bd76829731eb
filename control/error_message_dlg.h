// CErrorMessageDlg: the modal message window that closes itself after a countdown.
#pragma once
#include <windows.h>
#include <string>

class CErrorMessageDlg {
public:
    CErrorMessageDlg(std::string message, long seconds) : m_strMessage(std::move(message)), m_nSecondsLeft(seconds) {}
    // Runs the window modally on the calling thread until OK, Esc, the close box or the
    // end of the countdown.
    INT_PTR DoModal(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog(HWND dialog);
    void OnTimer(HWND dialog, UINT_PTR id);
    void ShowCountdown(HWND dialog);

    std::string m_strMessage;
    long m_nSecondsLeft = 8;
    std::string m_strCountdownFormat;
};

constexpr UINT_PTR kCountdownTimer = 1010;
