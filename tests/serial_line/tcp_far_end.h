// The far end of COM7: a loopback TCP connection to the socat that joins it to COM7.
// Closing it ends that socat, which hangs the line up for good.
#pragma once
#include <winsock2.h>
#include <string>

namespace serial_line {

class TcpFarEnd {
public:
    TcpFarEnd();
    ~TcpFarEnd();
    TcpFarEnd(const TcpFarEnd&) = delete;
    TcpFarEnd& operator=(const TcpFarEnd&) = delete;

    // Connects to 127.0.0.1:port; the Winsock error, or 0.
    int Connect(unsigned short port);
    bool Send(const std::string& bytes);
    // Receives until count bytes have come or timeoutMs has passed; what came.
    std::string Receive(size_t count, DWORD timeoutMs);
    void Close();

private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
};

// The port that serial_line.sh wrote into DIR/tcp.port (DIR given as a Unix path); 0 if none.
unsigned short ReadTcpPort(const std::string& unixDir);

}  // namespace serial_line
