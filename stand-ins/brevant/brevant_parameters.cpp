// Parsing of the Brevant object's parameters and addresses.
#include "brevant_parameters.h"
#include <algorithm>
#include <cctype>

namespace brevant {
namespace {

constexpr unsigned kMaxTimeoutSeconds = 60;
constexpr std::uint16_t kDefaultPort = 23;

std::string Trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ParseNumber(const std::string& text, unsigned long min, unsigned long max, unsigned long& out) {
    if (text.empty() || text.size() > 9) return false;
    unsigned long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value < min || value > max) return false;
    out = value;
    return true;
}

bool ParseFlag(const std::string& text, bool& out) {
    if (text == "1" || text == "yes" || text == "true") out = true;
    else if (text == "0" || text == "no" || text == "false") out = false;
    else return false;
    return true;
}

bool IsFailable(const std::string& name) {
    return std::any_of(std::begin(kFailableOperations), std::end(kFailableOperations),
                       [&](const char* op) { return name == op; });
}

}  // namespace

ParametersResult ParseParameters(const std::string& text) {
    ParametersResult result;
    std::string rest = Trim(text);
    if (!rest.empty() && rest[0] == ':') rest.erase(0, 1);
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of(";,", start);
        if (end == std::string::npos) end = rest.size();
        std::string item = Trim(rest.substr(start, end - start));
        start = end + 1;
        if (item.empty()) continue;
        size_t equals = item.find('=');
        if (equals == std::string::npos) {
            result.error = "Parameter '" + item + "' has no value";
            return result;
        }
        std::string name = Lower(Trim(item.substr(0, equals)));
        std::string value = Lower(Trim(item.substr(equals + 1)));
        unsigned long number = 0;
        if (name == "timeout") {
            if (!ParseNumber(value, 1, kMaxTimeoutSeconds, number)) {
                result.error = "timeout must be 1 to 60 seconds, not '" + value + "'";
                return result;
            }
            result.parameters.timeoutSeconds = static_cast<unsigned>(number);
        } else if (name == "crlf" || name == "errorinfo") {
            bool flag = false;
            if (!ParseFlag(value, flag)) {
                result.error = name + " must be 0 or 1, not '" + value + "'";
                return result;
            }
            (name == "crlf" ? result.parameters.crlf : result.parameters.errorInfo) = flag;
        } else if (name == "fail") {
            if (!IsFailable(value)) {
                result.error = "fail names an operation (open, connect, write, read, disconnect, close, interrupt), not '" +
                               value + "'";
                return result;
            }
            result.parameters.failing.insert(value);
        } else {
            result.error = "Unknown parameter '" + name + "'";
            return result;
        }
    }
    result.ok = true;
    return result;
}

bool ParseAddress(const std::string& text, Address& out, std::string& error) {
    std::string t = Trim(text);
    size_t colon = t.find(':');
    std::string host = t.substr(0, colon);
    if (host != "127.0.0.1" && Lower(host) != "localhost") {
        error = "Only loopback addresses (127.0.0.1 or localhost) can be reached, not '" + host + "'";
        return false;
    }
    unsigned long port = kDefaultPort;
    if (colon != std::string::npos && !ParseNumber(t.substr(colon + 1), 1, 65535, port)) {
        error = "The port of '" + t + "' must be 1 to 65535";
        return false;
    }
    out.host = "127.0.0.1";
    out.port = static_cast<std::uint16_t>(port);
    return true;
}

}  // namespace brevant
