// HRESULTs as text for logs and test messages ("0x80004001").
#pragma once
#include <cstdio>
#include <string>

namespace tc {

inline std::string HresultText(long hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace tc
