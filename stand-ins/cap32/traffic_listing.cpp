// Listing text for the emulator window.
#include "traffic_listing.h"
#include <cstdio>

namespace cap32 {

std::string FormatTraffic(Direction direction, const char* data, std::size_t length) {
    const char* prefix = direction == Direction::Received ? "<< " : ">> ";
    std::string out = prefix;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c == '\r') {
            out += "<CR>";
        } else if (c == '\n') {
            out += "<LF>";
            if (i + 1 < length) out += std::string("\r\n") + prefix;
        } else if (c == 0x10) {
            out += "<DLE>";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02x>", c);
            out += hex;
        }
    }
    out += "\r\n";
    return out;
}

}  // namespace cap32
