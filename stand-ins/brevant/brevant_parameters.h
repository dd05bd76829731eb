// The Brevant object's parameter text ("timeout=5;crlf=1") and its connect
// address ("127.0.0.1:2300"). Plain C++.
#pragma once
#include <cstdint>
#include <set>
#include <string>

namespace brevant {

// Operations whose failure can be asked for with fail=NAME, for testing callers.
constexpr const char* kFailableOperations[] = {"open", "connect", "write", "read", "disconnect", "close", "interrupt"};

struct Parameters {
    unsigned timeoutSeconds = 5;  // longest wait of Connect
    bool crlf = false;            // Write appends CR LF to each text
    bool errorInfo = true;        // failures leave an error description for the thread
    std::set<std::string> failing;  // lower-case operation names that fail on purpose
    bool Fails(const char* operation) const { return failing.count(operation) != 0; }
};

struct ParametersResult {
    bool ok = false;
    Parameters parameters;
    std::string error;
};

// Items name=value separated by ';' or ',', names without regard to case,
// blanks around items ignored, a leading ':' ignored (so that the rest of a
// service string "Brevant:timeout=5" can be passed as it is). Starts from the
// defaults: every call gives the whole set.
ParametersResult ParseParameters(const std::string& text);

struct Address {
    std::string host;  // always "127.0.0.1"
    std::uint16_t port = 0;
};

// "127.0.0.1:PORT", "localhost:PORT", or either without ":PORT" for port 23.
// Loopback only: the object never reaches another host.
bool ParseAddress(const std::string& text, Address& out, std::string& error);

}  // namespace brevant
