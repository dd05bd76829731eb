// CPortlexCtrl: the Portlex communication control.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <string>
#include "brevant_api.h"
#include "ole_control.h"
#include "telvora_api.h"

class CPortlexCtrl : public fw::OleControl {
public:
    static HRESULT Create(REFIID iid, void** out);
    static HRESULT UpdateRegistry(bool registering);

    CPortlexCtrl();
    ~CPortlexCtrl() override;

    // Dispatch methods, by DISPID order of the type library.
    long Close();
    long Connect(const char* lpszAddress);
    long Disconnect();
    long Interrupt();
    long Open(const char* lpszService);
    long Read(const char* lpszExpected, long lPartialReturn, long lTimeOut, BOOL bFlush, std::string* pbsRead);
    void SetCheckIncoming(BOOL bCheck);
    void SetMessageTimer(long lSeconds);
    void SetShowTextpane(BOOL bShow);
    long Version();
    long Write(const char* lpszBuf);
    long WriteNoEcho(const char* lpszBuf);
    void AboutBox();

    // Failure reports: shown in the self-closing message window (unless switched off).
    void ShowErrorText(const char* text);
    void ShowErrorId(UINT id);
    void ShowErrorStatus(WORD status, const char* function);
    void ShowSocketError(const char* function);

private:
    void OnDraw(HDC dc, HDC attributeDc, const RECT& bounds, const RECT& invalid) override;
    HRESULT InvokeControlMember(DISPID id, WORD kind, fw::DispatchArgs& args, VARIANT* result,
                                EXCEPINFO* excep) override;
    void OnAboutBox() override { AboutBox(); }
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnWindowCreated() override;
    void OnTimer(UINT_PTR id);
    void PollIncoming();
    void OnClose();
    void LoadIcons();
    // Opening and closing (open_close.cpp).
    long OpenBrevant(const char* service);
    long OpenSerial(const char* service);
    long OpenTelvora(const char* service);
    long OpenSocketLayer();
    bool StartTextpaneHost();
    void EndTextpaneHost();
    void DestroyCommDialog();
    void ReleaseCommonResources();
    HWND TextpaneWindow() const;
    // An exception of the serial control, handed on to the host when the method returns.
    void RaiseLater(const EXCEPINFO& error, HRESULT hr);
    std::string m_strPendingError;
    HRESULT m_hrPendingError = S_OK;

public:
    // The control's state; the names are those the other parts of the control use.
    HANDLE m_hEchoChoiceEvent = nullptr;
    HANDLE m_hEchoDialogReady = nullptr;
    HANDLE m_hTextpaneReady = nullptr;
    HANDLE m_hCancelEvent = nullptr;
    int m_nEchoChoice = 0;
    class CEchoLostDlg* m_pEchoDialog = nullptr;
    class CTextpaneDlg* m_pTextpaneDialog = nullptr;
    class CMSCommDlg* m_pCommDialog = nullptr;
    HICON m_hIdleIcon = nullptr;
    HICON m_hActivityIcons[6] = {};
    int m_nIconFrame = 0;
    WORD m_wOpenStage = 0;
    WORD m_wCapStatus = 0;
    BYTE* m_pRecvChunk = nullptr;
    int m_nRecvChunkSize = 0;
    BYTE* m_pInData = nullptr;
    int m_nInLength = 0;
    int m_nInOffset = 0;
    char m_szReleaseCmd[5] = {};
    BOOL m_bConnected = FALSE;
    BOOL m_bAnimating = FALSE;
    BOOL m_bPollTimer = FALSE;
    BOOL m_bCheckIncoming = FALSE;
    long m_lMessageTimer = 8;
    BOOL m_bShowTextpane = TRUE;
    int m_nService = 0;
    IBrevant* m_pBrevant = nullptr;
    CapSessionBlock m_capSession;
    HMODULE m_hCapLib = nullptr;
    CapHandle m_hCapConn = 0;
    SOCKET m_socket = INVALID_SOCKET;
};

// Timer ids on the control's window.
constexpr UINT_PTR kRedrawTimer = 1001;        // 500 ms: next animation frame
constexpr UINT_PTR kIncomingPollTimer = 1002;  // 1000 ms: incoming data poll
constexpr UINT kRedrawInterval = 500;
constexpr UINT kIncomingPollInterval = 1000;
