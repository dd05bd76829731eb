// The far end of a serial line, driven with the plain Win32 serial API, and a look at
// the state of the port that the control holds in this process.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "handles.h"

namespace serial_line {

class LinePeer {
public:
    // Opens \\.\<port> at 9600,n,8,1 with reads that return at once; the Win32 error, or 0.
    DWORD Open(const char* port);
    HANDLE Handle() const { return port_.Get(); }
    bool Write(const std::string& bytes);
    // Reads until count bytes have come or timeoutMs has passed; what came.
    std::string Read(size_t count, DWORD timeoutMs);
    // Discards whatever is waiting.
    void Drain();

private:
    fw::UniqueFile port_;
};

// Every handle of this process that answers GetCommState: the open COM ports.
std::vector<HANDLE> CommHandles();
// The one COM port handle of this process other than except; null when there is not
// exactly one (the control's own handle, found from outside the control).
HANDLE OtherCommHandle(HANDLE except);

}  // namespace serial_line
