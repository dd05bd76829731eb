// The Brevant object's TCP connection to a loopback endpoint: connect with a
// time-out, send everything, take what has arrived without waiting.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <cstdint>
#include <string>

namespace brevant {

class LoopbackConnection {
public:
    LoopbackConnection() = default;
    ~LoopbackConnection() { Close(); }
    LoopbackConnection(const LoopbackConnection&) = delete;
    LoopbackConnection& operator=(const LoopbackConnection&) = delete;

    // 0 or a Winsock error (WSAETIMEDOUT when the time-out passed).
    int Connect(std::uint16_t port, unsigned timeoutSeconds);
    bool Connected() const { return socket_ != INVALID_SOCKET; }
    bool PeerGone() const { return gone_; }
    void Close();

    // 0, or a Winsock error; PeerGone() tells whether the far end went away.
    int Send(const std::string& bytes);
    // Appends every byte that has arrived; 0, or a Winsock error or PeerGone().
    // Bytes that came before the far end closed are delivered first.
    int Receive(std::string& bytes);

private:
    bool Readable();
    SOCKET socket_ = INVALID_SOCKET;
    bool gone_ = false;
};

}  // namespace brevant
