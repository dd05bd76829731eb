// The capture library's configuration: which service names exist and what line
// each one opens (a TCP endpoint on loopback or a COM port). Plain C++.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace cap32 {

struct Endpoint {
    enum class Kind { Tcp, Serial };
    Kind kind = Kind::Tcp;
    std::string host;        // Tcp: "127.0.0.1"
    std::uint16_t port = 0;  // Tcp: 1..65535
    std::string device;      // Serial: "COM5"
    std::string settings;    // Serial: "9600,n,8,1"
};

struct Config {
    std::map<std::string, Endpoint> services;  // keyed by upper-case name
    unsigned receiveWaitMs = 0;                // how long _cap_receive waits for a first byte

    // Service names are matched without regard to case; nullptr when undefined.
    const Endpoint* Find(const std::string& name) const;
};

struct ConfigResult {
    bool ok = false;
    Config config;
    std::string error;  // what is wrong, with the line number, when !ok
};

// Parses the text of a Cap32.ini file (format in README.md).
ConfigResult ParseConfig(const std::string& text);

// Parses one endpoint: "tcp:127.0.0.1:PORT", "tcp:localhost:PORT", "COMn" or "COMn:SETTINGS".
bool ParseEndpoint(const std::string& text, Endpoint& out, std::string& error);

}  // namespace cap32
