// The terminal window: a thread of its own (CTextpaneThd) running a modeless dialog
// (CTextpaneDlg, template 210) whose client area is a Textpane control (CTextpane).
#pragma once
#include <windows.h>
#include "control_dialog.h"
#include "ui_thread.h"

// The hosted Textpane control, called through its dispatch interface.
class CTextpane {
public:
    void Attach(IDispatch* control) { m_control = control; }
    // Writes text into the terminal window; called on the host's thread, without marshalling.
    void IO(const char* text);

private:
    IDispatch* m_control = nullptr;  // owned by the dialog's control site
};

class CTextpaneThd;

class CTextpaneDlg : public fw::ControlDialog {
public:
    CTextpaneDlg(HANDLE hCancelEvent, CTextpaneThd* thread);
    CTextpane m_textpane;
    HANDLE m_hCancelEvent;

private:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnCommand(WORD id, WORD code) override;
    void OnDestroyNow();
    CTextpaneThd* m_thread;
};

class CTextpaneThd : public fw::UiThread {
public:
    CTextpaneThd(CTextpaneDlg** ppDialog, HANDLE hReadyEvent, HANDLE hCancelEvent)
        : m_ppDialog(ppDialog), m_hReadyEvent(hReadyEvent), m_hCancelEvent(hCancelEvent) {}
    // Command 210: destroys the dialog and ends this thread at once.
    [[noreturn]] void DestroyNow(CTextpaneDlg* dialog);

private:
    bool InitInstance() override;
    int ExitInstance() override;

    CTextpaneDlg** m_ppDialog;
    HANDLE m_hReadyEvent;
    HANDLE m_hCancelEvent;
};
