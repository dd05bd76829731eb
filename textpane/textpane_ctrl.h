// CTextpaneCtrl: the Textpane control, a 24 x 80 text screen written by IO.
#pragma once
#include <atomic>
#include "lock.h"
#include "ole_control.h"
#include "screen_model.h"

class CTextpaneCtrl : public fw::OleControl {
public:
    static HRESULT Create(REFIID iid, void** out);
    static HRESULT UpdateRegistry(bool registering);

    // Writes text onto the screen and repaints before returning. May be called on any
    // thread; painting runs on the window's thread.
    void IO(const char* text);

    CTextpaneCtrl();

private:
    void OnDraw(HDC dc, HDC attributeDc, const RECT& bounds, const RECT& invalid) override;
    HRESULT InvokeControlMember(DISPID id, WORD kind, fw::DispatchArgs& args, VARIANT* result,
                                EXCEPINFO* excep) override;
    void OnAboutBox() override;

    // IO changes the screen on the caller's thread while the window's thread paints it:
    // both hold m_screenLock, and neither holds it while waiting for the other.
    fw::CriticalSection m_screenLock;
    textpane::ScreenModel m_screen;
    std::atomic<int> m_nLineHeight{0};
};
