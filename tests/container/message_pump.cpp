// The test helpers' message loop.
#include "message_pump.h"

namespace tc {

void PumpMessages(DWORD ms, const std::function<bool(MSG&)>& preTranslate) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (preTranslate && preTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

}  // namespace tc
