// Parsing of the capture library's ini-style configuration.
#include "cap_config.h"
#include <cctype>
#include <sstream>

namespace cap32 {
namespace {

constexpr unsigned kMaxReceiveWaitMs = 10000;
constexpr char kDefaultSerialSettings[] = "9600,n,8,1";

std::string Trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    size_t end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ParseUnsigned(const std::string& text, unsigned long max, unsigned long& out) {
    if (text.empty() || text.size() > 9) return false;
    unsigned long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value > max) return false;
    out = value;
    return true;
}

bool ParseTcp(const std::string& rest, Endpoint& out, std::string& error) {
    size_t colon = rest.rfind(':');
    if (colon == std::string::npos) {
        error = "tcp endpoint needs host:port";
        return false;
    }
    std::string host = rest.substr(0, colon);
    if (host != "127.0.0.1" && Upper(host) != "LOCALHOST") {
        error = "tcp host must be 127.0.0.1 or localhost, not '" + host + "'";
        return false;
    }
    unsigned long port = 0;
    if (!ParseUnsigned(rest.substr(colon + 1), 65535, port) || port == 0) {
        error = "tcp port must be 1..65535";
        return false;
    }
    out.kind = Endpoint::Kind::Tcp;
    out.host = "127.0.0.1";
    out.port = static_cast<std::uint16_t>(port);
    return true;
}

bool ParseSerial(const std::string& text, Endpoint& out, std::string& error) {
    size_t colon = text.find(':');
    std::string device = Upper(text.substr(0, colon));
    unsigned long number = 0;
    if (device.size() < 4 || !ParseUnsigned(device.substr(3), 255, number) || number == 0) {
        error = "serial port must be COM1..COM255";
        return false;
    }
    std::string settings = colon == std::string::npos ? kDefaultSerialSettings : Trim(text.substr(colon + 1));
    if (settings.empty()) {
        error = "serial settings are empty";
        return false;
    }
    out.kind = Endpoint::Kind::Serial;
    out.device = "COM" + std::to_string(number);
    out.settings = settings;
    return true;
}

}  // namespace

const Endpoint* Config::Find(const std::string& name) const {
    auto it = services.find(Upper(Trim(name)));
    return it == services.end() ? nullptr : &it->second;
}

bool ParseEndpoint(const std::string& text, Endpoint& out, std::string& error) {
    std::string t = Trim(text);
    std::string upper = Upper(t);
    if (upper.rfind("TCP:", 0) == 0) return ParseTcp(t.substr(4), out, error);
    if (upper.rfind("COM", 0) == 0) return ParseSerial(t, out, error);
    error = "endpoint must start with tcp: or COM";
    return false;
}

ConfigResult ParseConfig(const std::string& text) {
    enum class Section { None, Services, Options } section = Section::None;
    ConfigResult result;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        result.ok = false;
        result.error = "line " + std::to_string(number) + ": " + why;
        return result;
    };
    while (std::getline(lines, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return fail("section header without ']'");
            std::string name = Upper(Trim(line.substr(1, line.size() - 2)));
            if (name == "SERVICES") section = Section::Services;
            else if (name == "OPTIONS") section = Section::Options;
            else return fail("unknown section [" + name + "]");
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) return fail("expected name=value");
        std::string key = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (key.empty()) return fail("empty name");
        if (section == Section::Services) {
            Endpoint endpoint;
            std::string why;
            if (!ParseEndpoint(value, endpoint, why)) return fail(key + ": " + why);
            if (!result.config.services.emplace(Upper(key), endpoint).second)
                return fail("service " + key + " defined twice");
        } else if (section == Section::Options) {
            unsigned long wait = 0;
            if (Upper(key) != "RECEIVEWAITMS") return fail("unknown option " + key);
            if (!ParseUnsigned(value, kMaxReceiveWaitMs, wait)) return fail("ReceiveWaitMs must be 0..10000");
            result.config.receiveWaitMs = static_cast<unsigned>(wait);
        } else {
            return fail("name=value outside [Services] or [Options]");
        }
    }
    result.ok = true;
    return result;
}

}  // namespace cap32
