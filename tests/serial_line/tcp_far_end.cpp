// Loopback TCP client for the COM7 line.
#include "tcp_far_end.h"
#include <ws2tcpip.h>
#include <cstdio>

namespace serial_line {

TcpFarEnd::TcpFarEnd() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 0), &data) == 0;
}

TcpFarEnd::~TcpFarEnd() {
    Close();
    if (started_) WSACleanup();
}

int TcpFarEnd::Connect(unsigned short port) {
    Close();
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) return WSAGetLastError();
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        int error = WSAGetLastError();
        Close();
        return error;
    }
    return 0;
}

bool TcpFarEnd::Send(const std::string& bytes) {
    return send(socket_, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
}

std::string TcpFarEnd::Receive(size_t count, DWORD timeoutMs) {
    std::string got;
    const DWORD start = GetTickCount();
    while (got.size() < count && GetTickCount() - start < timeoutMs) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval wait = {0, 50000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        char buffer[1024];
        int n = recv(socket_, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        got.append(buffer, n);
    }
    return got;
}

void TcpFarEnd::Close() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

unsigned short ReadTcpPort(const std::string& unixDir) {
    std::string path = "Z:" + unixDir + "/tcp.port";
    for (char& c : path)
        if (c == '/') c = '\\';
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return 0;
    unsigned port = 0;
    if (std::fscanf(file, "%u", &port) != 1 || port > 65535) port = 0;
    std::fclose(file);
    return static_cast<unsigned short>(port);
}

}  // namespace serial_line
