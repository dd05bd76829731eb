// The line behind a connection of the capture library: a TCP socket on loopback
// or a COM port. Both are read without blocking (or with a short wait).
#pragma once
#include "cap_config.h"
#include "cap_status.h"
#include <windows.h>
#include <memory>

namespace cap32 {

class Line {
public:
    virtual ~Line() = default;
    // Takes up to capacity bytes that have arrived, waiting at most waitMs for the
    // first one. 0 with received 0 means nothing was waiting; otherwise a status.
    virtual Status Receive(char* buffer, DWORD capacity, DWORD waitMs, DWORD& received) = 0;
    // Sends every byte; 0 or a status.
    virtual Status Send(const char* data, DWORD length) = 0;
};

// Opens the line of an endpoint; nullptr with status set on failure.
std::unique_ptr<Line> OpenLine(const Endpoint& endpoint, Status& status);

std::unique_ptr<Line> OpenTcpLine(const Endpoint& endpoint, Status& status);
std::unique_ptr<Line> OpenSerialLine(const Endpoint& endpoint, Status& status);

}  // namespace cap32
