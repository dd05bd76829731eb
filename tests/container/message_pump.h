// Dispatching this thread's messages for a while, as a host's message loop would while a test
// waits for a control to paint, tick its timers or fire events.
#pragma once
#include <windows.h>
#include <functional>

namespace tc {

// Dispatches messages for `ms` milliseconds (0: only those already waiting). `preTranslate`,
// when given, sees each message first and returns true to swallow it. A WM_QUIT is put back
// for the caller's own loop and ends the pumping.
void PumpMessages(DWORD ms, const std::function<bool(MSG&)>& preTranslate = {});

}  // namespace tc
