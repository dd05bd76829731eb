// A TCP peer on 127.0.0.1 that runs on a thread inside the test program: it
// accepts one client at a time, records every byte received, sends scripted
// bytes and closes the connection on demand.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace peers {

class LoopbackPeer {
public:
    // Listens on 127.0.0.1 at a port the system picks. Check Listening().
    LoopbackPeer();
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    bool Listening() const { return port_ != 0; }
    std::uint16_t Port() const { return port_; }
    std::string Address() const;  // "127.0.0.1:PORT"

    // Sent to each client as soon as it is accepted.
    void SetGreeting(const std::string& bytes);
    // Sent to the current client at once, or to the next one when none is connected.
    void Send(const std::string& bytes);
    // Each time the bytes received since the last answered trigger contain
    // trigger, reply is sent. Rules are tried in the order added.
    void AddReply(const std::string& trigger, const std::string& reply);
    // Closes the current client's connection (the far end goes away): with a
    // FIN, or with a reset (RST) when abort is true.
    void CloseClient(bool abort = false);

    std::string Received() const;  // every byte received, from all clients
    int ClientsAccepted() const;
    bool ClientConnected() const;

    // Bounded waits; true when the condition came about in time.
    bool WaitForClient(DWORD timeoutMs = 5000);
    bool WaitForReceived(const std::string& text, DWORD timeoutMs = 5000);
    bool WaitForReceivedBytes(size_t count, DWORD timeoutMs = 5000);
    bool WaitForClientGone(DWORD timeoutMs = 5000);  // client closed by either side

    // A loopback port with nothing listening on it (bound, read, released).
    static std::uint16_t UnusedPort();

private:
    void Run();
    void Accept();
    void ReceiveFromClient();
    void FlushOutgoing();
    void DropClient(bool abort = false);
    void MatchReplies();  // with mutex_ held
    template <class Predicate>
    bool WaitFor(DWORD timeoutMs, Predicate predicate);

    SOCKET listener_ = INVALID_SOCKET;
    SOCKET client_ = INVALID_SOCKET;  // used by the thread only
    std::uint16_t port_ = 0;
    bool winsock_ = false;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string received_;
    size_t scanFrom_ = 0;  // where reply triggers are looked for next
    std::string greeting_;
    std::deque<std::string> outgoing_;
    std::vector<std::pair<std::string, std::string>> replies_;
    bool connected_ = false;
    bool closeRequested_ = false;
    bool abortRequested_ = false;
    bool stop_ = false;
    int accepted_ = 0;
    std::thread thread_;
};

}  // namespace peers
