// The loopback peer's thread: accept, receive, answer, send, close.
#include "loopback_peer.h"
#include <chrono>

namespace peers {
namespace {

constexpr long kPollMicroseconds = 10000;

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

LoopbackPeer::LoopbackPeer() {
    WSADATA data;
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!winsock_) return;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    int length = sizeof address;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    if (thread_.joinable()) thread_.join();
    if (client_ != INVALID_SOCKET) closesocket(client_);
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    if (winsock_) WSACleanup();
}

std::string LoopbackPeer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

void LoopbackPeer::SetGreeting(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    greeting_ = bytes;
}

void LoopbackPeer::Send(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    outgoing_.push_back(bytes);
}

void LoopbackPeer::AddReply(const std::string& trigger, const std::string& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.emplace_back(trigger, reply);
    MatchReplies();
}

void LoopbackPeer::CloseClient(bool abort) {
    std::lock_guard<std::mutex> lock(mutex_);
    closeRequested_ = true;
    abortRequested_ = abort;
}

std::string LoopbackPeer::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

int LoopbackPeer::ClientsAccepted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return accepted_;
}

bool LoopbackPeer::ClientConnected() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connected_;
}

template <class Predicate>
bool LoopbackPeer::WaitFor(DWORD timeoutMs, Predicate predicate) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), predicate);
}

bool LoopbackPeer::WaitForClient(DWORD timeoutMs) {
    return WaitFor(timeoutMs, [this] { return connected_; });
}

bool LoopbackPeer::WaitForReceived(const std::string& text, DWORD timeoutMs) {
    return WaitFor(timeoutMs, [&] { return received_.find(text) != std::string::npos; });
}

bool LoopbackPeer::WaitForReceivedBytes(size_t count, DWORD timeoutMs) {
    return WaitFor(timeoutMs, [&] { return received_.size() >= count; });
}

bool LoopbackPeer::WaitForClientGone(DWORD timeoutMs) {
    return WaitFor(timeoutMs, [this] { return accepted_ > 0 && !connected_; });
}

std::uint16_t LoopbackPeer::UnusedPort() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    int length = sizeof address;
    std::uint16_t port = 0;
    if (s != INVALID_SOCKET && bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (s != INVALID_SOCKET) closesocket(s);
    WSACleanup();
    return port;
}

void LoopbackPeer::Run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) return;
        }
        if (client_ == INVALID_SOCKET) Accept();
        else ReceiveFromClient();
        bool close, abort;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            close = std::exchange(closeRequested_, false);
            abort = std::exchange(abortRequested_, false);
        }
        if (close) DropClient(abort);
        if (client_ != INVALID_SOCKET) FlushOutgoing();
    }
}

void LoopbackPeer::Accept() {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(listener_, &read);
    timeval timeout{0, kPollMicroseconds};
    if (select(0, &read, nullptr, nullptr, &timeout) <= 0) return;
    client_ = accept(listener_, nullptr, nullptr);
    if (client_ == INVALID_SOCKET) return;
    BOOL noDelay = TRUE;
    setsockopt(client_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    std::lock_guard<std::mutex> lock(mutex_);
    ++accepted_;
    connected_ = true;
    closeRequested_ = false;
    if (!greeting_.empty()) outgoing_.push_front(greeting_);
    changed_.notify_all();
}

void LoopbackPeer::ReceiveFromClient() {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(client_, &read);
    timeval timeout{0, kPollMicroseconds};
    if (select(0, &read, nullptr, nullptr, &timeout) <= 0) return;
    char buffer[4096];
    int n = recv(client_, buffer, sizeof buffer, 0);
    if (n <= 0) {
        DropClient();
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(buffer, static_cast<size_t>(n));
    MatchReplies();
    changed_.notify_all();
}

void LoopbackPeer::MatchReplies() {
    for (;;) {
        size_t best = std::string::npos, end = 0;
        const std::string* reply = nullptr;
        for (const auto& rule : replies_) {
            size_t at = received_.find(rule.first, scanFrom_);
            if (at != std::string::npos && at < best) {
                best = at;
                end = at + rule.first.size();
                reply = &rule.second;
            }
        }
        if (!reply) return;
        outgoing_.push_back(*reply);
        scanFrom_ = end;
    }
}

void LoopbackPeer::FlushOutgoing() {
    std::deque<std::string> pending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending.swap(outgoing_);
    }
    for (const std::string& bytes : pending) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            int n = send(client_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n == SOCKET_ERROR) {
                DropClient();
                return;
            }
            sent += static_cast<size_t>(n);
        }
    }
}

void LoopbackPeer::DropClient(bool abort) {
    if (client_ == INVALID_SOCKET) return;
    if (abort) {
        linger hard{1, 0};  // closing with a zero linger time sends a reset
        setsockopt(client_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
    } else {
        shutdown(client_, SD_SEND);
    }
    closesocket(client_);
    client_ = INVALID_SOCKET;
    std::lock_guard<std::mutex> lock(mutex_);
    connected_ = false;
    changed_.notify_all();
}

}  // namespace peers
