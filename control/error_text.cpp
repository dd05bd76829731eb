// Socket error descriptions and the filling of the error window's formats.
// The formats come from resources and dialog templates, so they are never
// given to printf as they are: each conversion is checked and rebuilt here.
#include "error_text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace portlex {
namespace {

struct SocketError {
    int code;
    const char* text;
};

const SocketError kSocketErrors[] = {
    {10004, "the (blocking) call was canceled through WSACancelBlockingCall."},
    {10013, "the requested address is a broadcast address, but the appropriate flag was not set."},
    {10014, "the nSockAddrLen argument is incorrect."},
    {10022, "the socket has not been bound with Bind."},
    {10024, "no more file descriptors are available."},
    {10035, "the socket is marked as nonblocking and the Receive operation would block."},
    {10036, "a blocking Windows Sockets operation is in progress."},
    {10038, "the descriptor is not a socket."},
    {10039, "a destination address is required."},
    {10040, "the datagram was too large to fit into the specified buffer and was truncated."},
    {10045, "MSG_OOB was specified, but the socket is not of type SOCK_STREAM."},
    {10047, "addresses in the specified family cannot be used with this socket."},
    {10048, "the specified address is already in use."},
    {10049, "dhe specified address is not available from the local machine."},
    {10050, "the Windows Sockets implementation detected that the network subsystem failed."},
    {10051, "the network cannot be reached from this host at this time."},
    {10052, "the connection must be reset because the Windows Sockets implementation dropped it."},
    {10053, "the virtual circuit was aborted due to timeout or other failure."},
    {10054, "the virtual circuit was reset by the remote side."},
    {10055, "no buffer space is available. The socket cannot be connected."},
    {10056, "the socket is already connected."},
    {10057, "the socket is not connected."},
    {10058, "the socket has been shut down; it is not possible to call Receive on a socket after "
            "ShutDown has been invoked with nHow set to 0 or 2."},
    {10060, "attempt to connect timed out without establishing a connection."},
    {10061, "the attempt to connect was rejected."},
    {10093, "a successful AfxSocketInit must occur before using this API."},
    {11001, "authoritative answer host not found."},
    {11002, "non-authoritative host not found, or server failure."},
    {11003, "non recoverable error occurred."},
    {11004, "valid name, no data record of requested type."},
};

// One value for a printf-style conversion: a 32-bit number or a text.
struct FormatArg {
    bool isText;
    long number;
    std::string text;
};

FormatArg Number(long value) { return {false, value, {}}; }
FormatArg Text(const char* value) { return {true, 0, value ? value : "(null)"}; }

// Widths and precisions above this are taken literally, not expanded.
constexpr int kMaxFieldWidth = 512;

// Reads a run of decimal digits; false when the number is too large to be a
// sensible field width.
bool ReadDigits(const std::string& s, std::size_t& i, int& value) {
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + (s[i] - '0');
        if (value > kMaxFieldWidth) return false;
        ++i;
    }
    return true;
}

// Fills the conversions %d %i %u %x %X %o %c %s (with flags, width, precision
// and length letters) from args in order; %% gives %. A conversion that does
// not match the next argument, or has none left, stays in the text unchanged.
std::string FillFormat(const std::string& format, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        const std::size_t start = i++;
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::string directive = "%";
        while (i < format.size() && std::strchr("-+ #0", format[i])) directive += format[i++];
        int width = 0, precision = -1;
        bool sane = ReadDigits(format, i, width);
        if (width > 0) directive += std::to_string(width);
        if (sane && i < format.size() && format[i] == '.') {
            ++i;
            sane = ReadDigits(format, i, precision);
            directive += "." + std::to_string(precision);
        }
        while (i < format.size() && std::strchr("hlLqjzt", format[i])) ++i;
        const char conversion = i < format.size() ? format[i] : '\0';
        const bool wantsNumber = conversion && std::strchr("diuxXoc", conversion);
        const bool wantsText = conversion == 's';
        if (!sane || next >= args.size() || !(wantsNumber || wantsText) ||
            args[next].isText != wantsText) {
            out += format.substr(start, i - start);  // left as written
            continue;
        }
        ++i;
        const FormatArg& arg = args[next++];
        char buffer[kMaxFieldWidth + 64];
        if (wantsText && precision < 0 && arg.text.size() >= static_cast<std::size_t>(width)) {
            out += arg.text;  // nothing to pad or cut: the whole text, however long
            continue;
        }
        if (wantsText) {
            std::snprintf(buffer, sizeof buffer, (directive + "s").c_str(), arg.text.c_str());
        } else if (conversion == 'd' || conversion == 'i') {
            std::snprintf(buffer, sizeof buffer, (directive + "lld").c_str(),
                          static_cast<long long>(static_cast<std::int32_t>(arg.number)));
        } else if (conversion == 'c') {
            std::snprintf(buffer, sizeof buffer, (directive + "c").c_str(),
                          static_cast<int>(static_cast<unsigned char>(arg.number)));
        } else {
            std::snprintf(buffer, sizeof buffer, (directive + "ll" + conversion).c_str(),
                          static_cast<unsigned long long>(static_cast<std::uint32_t>(arg.number)));
        }
        out += buffer;
    }
    return out;
}

}  // namespace

std::string SocketErrorDescription(int code) {
    for (const SocketError& e : kSocketErrors) {
        if (e.code == code) return e.text;
    }
    return "error code = " + std::to_string(code) + ".";
}

std::string FormatSocketError(const char* function, int code) {
    return "Socket error in function \"" + std::string(function ? function : "(null)") +
           "\" : " + SocketErrorDescription(code) + ".";
}

std::string FormatStatusMessage(const std::string& format401, unsigned short status,
                                const char* function) {
    std::string text = FillFormat(format401, {Number(status), Text(function)});
    if (text.size() > kStatusMessageLimit) text.resize(kStatusMessageLimit);
    return text;
}

std::string FormatServiceNotDefined(const std::string& format403, const char* name) {
    const std::string service = name ? name : "";
    std::string out;
    for (std::size_t i = 0; i < format403.size();) {
        if (format403.compare(i, 2, "%1") == 0) {
            out += service;
            i += 2;
        } else {
            out += format403[i++];
        }
    }
    return out;
}

std::string FormatCountdown(const std::string& format, long seconds) {
    return FillFormat(format, {Number(seconds)});
}

}  // namespace portlex
