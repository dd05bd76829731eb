// Statuses of our capture library beyond the ones the control reacts to
// (those are in telvora_api.h). Every failure has its own non-zero value.
#pragma once
#include <cstdint>

namespace cap32 {

using Status = std::uint16_t;

constexpr Status kStatusNullArgument = 0x0101;      // a required pointer is NULL
constexpr Status kStatusBadRecord = 0x0102;         // a record field holds a value we do not take
constexpr Status kStatusNoUser = 0x0103;            // session block not set up by _cap_inituser, or its user ended
constexpr Status kStatusBadHandle = 0x0104;         // connection handle unknown, or of another session
constexpr Status kStatusAlreadyConnected = 0x0105;  // _cap_initconn on a connection that has a line
constexpr Status kStatusNotConnected = 0x0106;      // a line operation before _cap_initconn
constexpr Status kStatusBadState = 0x0107;          // _cap_setpsstate with a state other than 270 or 266
constexpr Status kStatusNoWindow = 0x0108;          // the emulator window could not be made
constexpr Status kStatusLineUnavailable = 0x0310;   // the service's endpoint refused or could not be opened
constexpr Status kStatusInvalidConfig = 0x0390;     // a configuration was found but is not valid
constexpr Status kStatusPeerGone = 0x0C01;          // the far end closed or reset the line
constexpr Status kStatusLineFailed = 0x0C02;        // any other I/O failure on the line
constexpr Status kStatusInternal = 0x0F01;          // out of memory or another failure inside the library

}  // namespace cap32
