// One COM port over the Win32 serial API: open, line settings, writing and reading what
// is waiting without blocking. Every failure is a Win32 error code (0 is success).
#pragma once
#include <windows.h>
#include <string>
#include "comm_settings.h"
#include "handles.h"

namespace mscomm {

class SerialPort {
public:
    // Opens \\.\COMn for exclusive use, applies the line settings and the timeouts and
    // discards anything left in the driver's queues.
    DWORD Open(int portNumber, const LineSettings& settings, Handshaking handshaking);
    // Applies new line settings to the open port at once; on failure the old ones stay.
    DWORD Configure(const LineSettings& settings, Handshaking handshaking);
    // Writes all bytes; gives up with ERROR_TIMEOUT when the line takes nothing more
    // (flow control held by the far end), so that the caller never hangs.
    DWORD Write(const std::string& bytes);
    // Appends the bytes waiting in the input queue (at most kMaxReadPerCall) and returns
    // at once. A port that went away (the device hung up) fails here.
    DWORD ReadAvailable(std::string& bytes);
    void Close() { handle_.Reset(); }
    bool IsOpen() const { return static_cast<bool>(handle_); }

    static const size_t kMaxReadPerCall = 1 << 16;

private:
    fw::UniqueFile handle_;
};

// The device control block for the settings, on top of what dcb already holds.
void FillDcb(const LineSettings& settings, Handshaking handshaking, DCB& dcb);

// Reads return at once with what is there; a write may take twice its time on the
// wire plus two seconds before it counts as stuck.
COMMTIMEOUTS TimeoutsFor(unsigned long baudRate);

}  // namespace mscomm
