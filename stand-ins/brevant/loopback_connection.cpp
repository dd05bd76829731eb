// TCP connection on loopback for the Brevant object.
#include "loopback_connection.h"
#include <algorithm>

namespace brevant {
namespace {

constexpr size_t kMaxReadBytes = 65536;  // one Read hands back at most this much

bool IsPeerGoneError(int error) {
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAESHUTDOWN ||
           error == WSAENOTCONN || error == WSAENETRESET;
}

}  // namespace

int LoopbackConnection::Connect(std::uint16_t port, unsigned timeoutSeconds) {
    Close();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return WSAGetLastError();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never any other host
    // Non-blocking connect, so that the time-out bounds the wait.
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    int error = 0;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval timeout{static_cast<long>(timeoutSeconds), 0};
            int ready = select(0, nullptr, &writable, &failed, &timeout);
            if (ready == 0) {
                error = WSAETIMEDOUT;
            } else if (FD_ISSET(s, &failed) || ready < 0) {
                int length = sizeof error;
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
                if (error == 0) error = WSAECONNREFUSED;
            } else {
                error = 0;
            }
        }
    }
    if (error != 0) {
        closesocket(s);
        return error;
    }
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    socket_ = s;
    gone_ = false;
    return 0;
}

void LoopbackConnection::Close() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
    gone_ = false;
}

bool LoopbackConnection::Readable() {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(socket_, &read);
    timeval now{0, 0};
    return select(0, &read, nullptr, nullptr, &now) > 0;
}

int LoopbackConnection::Send(const std::string& bytes) {
    if (gone_) return WSAECONNRESET;
    // A far end that has closed with nothing left to read would silently lose the text.
    if (Readable()) {
        char byte;
        int n = recv(socket_, &byte, 1, MSG_PEEK);
        if (n == 0 || (n < 0 && IsPeerGoneError(WSAGetLastError()))) {
            gone_ = true;
            return WSAECONNRESET;
        }
    }
    size_t sent = 0;
    while (sent < bytes.size()) {
        int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n == SOCKET_ERROR) {
            int error = WSAGetLastError();
            gone_ = IsPeerGoneError(error);
            return error;
        }
        sent += static_cast<size_t>(n);
    }
    return 0;
}

int LoopbackConnection::Receive(std::string& bytes) {
    if (gone_) return WSAECONNRESET;
    while (bytes.size() < kMaxReadBytes && Readable()) {
        char buffer[4096];
        int n = recv(socket_, buffer, static_cast<int>(std::min(sizeof buffer, kMaxReadBytes - bytes.size())), 0);
        if (n > 0) {
            bytes.append(buffer, static_cast<size_t>(n));
            continue;
        }
        int error = n == 0 ? WSAECONNRESET : WSAGetLastError();
        gone_ = n == 0 || IsPeerGoneError(error);
        // What came before the close is handed back now; the close is told next time.
        return bytes.empty() ? error : 0;
    }
    return 0;
}

}  // namespace brevant
