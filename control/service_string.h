// The service string given to Open: which service it selects and what the
// serial, Telvora and Brevant services read from the rest of it (plain C++).
#pragma once

#include <string>

namespace portlex {

// Service numbers, as the control's m_nService holds them.
constexpr int kServiceNone = 0;
constexpr int kServiceBrevant = 1;
constexpr int kServiceSerial = 2;
constexpr int kServiceTelvora = 3;
constexpr int kServiceWinsock = 4;
constexpr int kServiceTelnet = 5;

// Seconds the line is left to settle when the string names no delay.
constexpr int kDefaultSettleSeconds = 6;
constexpr int kMaxSettleSeconds = 8;

// The service whose keyword starts the string (any case); Telvora when no
// keyword does, and for a null string.
int SelectService(const char* serviceString);

// A settle delay limited to 0..8 seconds.
int ClampSettleSeconds(long seconds);

// What a serial service string ("Mscom<port>,<settings>,<handshaking>,<delay>")
// asks for; each has-flag says whether that property is to be set at all.
struct SerialSettings {
    bool hasPort = false;
    short port = 0;
    bool hasHandshaking = false;
    long handshaking = 0;
    bool hasSettings = false;
    std::string settings;
    int settleSeconds = kDefaultSettleSeconds;  // already limited to 0..8
};
SerialSettings ParseSerialServiceString(const char* serviceString);

// A Telvora service string: the service name up to the first comma and the
// settle delay after it (limited to 0..8; 6 without a comma).
struct TelvoraService {
    std::string name;
    int settleSeconds = kDefaultSettleSeconds;
};
TelvoraService ParseTelvoraServiceString(const char* serviceString);

// The parameter text that follows the "Brevant" keyword; empty when nothing
// follows it.
std::string BrevantParameters(const char* serviceString);

// The number at the start of text as the C library's atoi reads it: leading
// white space, an optional sign, digits up to the first other character;
// 0 without digits. Values beyond 32 bits saturate.
long ReadNumber(const char* text);

}  // namespace portlex
