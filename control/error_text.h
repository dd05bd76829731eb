// Texts of the error window: socket error descriptions and the filling of the
// message formats (plain C++, no Windows headers).
#pragma once

#include <string>

namespace portlex {

// Longest text the capture-library status message may have.
constexpr std::size_t kStatusMessageLimit = 256;

// The sentence for a Windows Sockets error code; "error code = <n>." for a
// code the table does not know. Every description ends with a full stop.
std::string SocketErrorDescription(int code);

// Socket error in function "<function>" : <description>.
std::string FormatSocketError(const char* function, int code);

// Message 401: the status for "%04x", the function name for "%s"; at most
// kStatusMessageLimit characters. A null name is shown as "(null)".
std::string FormatStatusMessage(const std::string& format401, unsigned short status,
                                const char* function);

// Message 403: every "%1" replaced by the service name (empty when null).
std::string FormatServiceNotDefined(const std::string& format403, const char* name);

// The error window's countdown line: "%d" filled with the seconds left.
std::string FormatCountdown(const std::string& format, long seconds);

}  // namespace portlex
