// A line over a TCP connection to a loopback endpoint.
#include "line.h"
#include <winsock2.h>
#include <ws2tcpip.h>

namespace cap32 {
namespace {

bool IsPeerGoneError(int error) {
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAESHUTDOWN ||
           error == WSAENOTCONN || error == WSAENETRESET;
}

class TcpLine : public Line {
public:
    explicit TcpLine(SOCKET s) : socket_(s) {}
    ~TcpLine() override {
        closesocket(socket_);
        WSACleanup();  // matches the WSAStartup of OpenTcpLine
    }

    Status Receive(char* buffer, DWORD capacity, DWORD waitMs, DWORD& received) override {
        received = 0;
        if (gone_) return kStatusPeerGone;
        if (!Readable(waitMs)) return 0;
        int n = recv(socket_, buffer, static_cast<int>(capacity), 0);
        if (n > 0) {
            received = static_cast<DWORD>(n);
            return 0;
        }
        if (n == 0 || IsPeerGoneError(WSAGetLastError())) {
            gone_ = true;
            return kStatusPeerGone;
        }
        return kStatusLineFailed;
    }

    Status Send(const char* data, DWORD length) override {
        if (gone_ || PeerHasClosed()) return kStatusPeerGone;
        while (length > 0) {
            int n = send(socket_, data, static_cast<int>(length), 0);
            if (n == SOCKET_ERROR) {
                if (!IsPeerGoneError(WSAGetLastError())) return kStatusLineFailed;
                gone_ = true;
                return kStatusPeerGone;
            }
            data += n;
            length -= static_cast<DWORD>(n);
        }
        return 0;
    }

private:
    bool Readable(DWORD waitMs) {
        fd_set read;
        FD_ZERO(&read);
        FD_SET(socket_, &read);
        timeval timeout{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000};
        return select(0, &read, nullptr, nullptr, &timeout) > 0;
    }

    // A close by the peer with no data left unread: sending would only be lost.
    bool PeerHasClosed() {
        if (!Readable(0)) return false;
        char byte;
        int n = recv(socket_, &byte, 1, MSG_PEEK);
        if (n == 0 || (n < 0 && IsPeerGoneError(WSAGetLastError()))) gone_ = true;
        return gone_;
    }

    SOCKET socket_;
    bool gone_ = false;
};

}  // namespace

std::unique_ptr<Line> OpenTcpLine(const Endpoint& endpoint, Status& status) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0) {
        status = kStatusLineUnavailable;
        return nullptr;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // the configuration allows nothing else
    if (s == INVALID_SOCKET || connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (s != INVALID_SOCKET) closesocket(s);
        WSACleanup();
        status = kStatusLineUnavailable;
        return nullptr;
    }
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    auto line = std::unique_ptr<Line>(new (std::nothrow) TcpLine(s));
    if (!line) {
        closesocket(s);
        WSACleanup();
        status = kStatusInternal;
    }
    return line;
}

std::unique_ptr<Line> OpenLine(const Endpoint& endpoint, Status& status) {
    return endpoint.kind == Endpoint::Kind::Tcp ? OpenTcpLine(endpoint, status) : OpenSerialLine(endpoint, status);
}

}  // namespace cap32
