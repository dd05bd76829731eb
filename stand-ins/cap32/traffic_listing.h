// Turns line traffic into the text of the emulator window's listing. Plain C++.
#pragma once
#include <cstddef>
#include <string>

namespace cap32 {

enum class Direction { Received, Sent };

// One chunk as listing text: a line starting "<< " (received) or ">> " (sent),
// printable characters as they are, others as <CR>, <LF>, <DLE> or <xx> in hex
// (bytes with bit 7 set included); a new listing line after each LF; ends with CR LF.
std::string FormatTraffic(Direction direction, const char* data, std::size_t length);

}  // namespace cap32
