// Parsing and formatting of the Settings text; validity of Handshaking and CommPort.
#include "comm_settings.h"
#include <cctype>
#include <vector>

namespace mscomm {
namespace {

const unsigned long kStandardBaudRates[] = {110,   300,   600,   1200,   2400,   4800,   9600,  14400,
                                            19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};

std::string Trim(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        fields.push_back(Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) return fields;
        start = comma + 1;
    }
}

bool AllDigits(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool ParseBaudRate(const std::string& field, unsigned long& rate) {
    if (!AllDigits(field)) return false;
    const unsigned long value = std::stoul(field);
    for (unsigned long standard : kStandardBaudRates)
        if (value == standard) {
            rate = value;
            return true;
        }
    return false;
}

bool ParseParity(const std::string& field, Parity& parity) {
    if (field.size() != 1) return false;
    switch (std::tolower(static_cast<unsigned char>(field[0]))) {
    case 'n': parity = Parity::kNone; return true;
    case 'o': parity = Parity::kOdd; return true;
    case 'e': parity = Parity::kEven; return true;
    case 'm': parity = Parity::kMark; return true;
    case 's': parity = Parity::kSpace; return true;
    default: return false;
    }
}

bool ParseDataBits(const std::string& field, int& bits) {
    if (field.size() != 1 || field[0] < '4' || field[0] > '8') return false;
    bits = field[0] - '0';
    return true;
}

bool ParseStopBits(const std::string& field, StopBits& stop) {
    if (field == "1") stop = StopBits::kOne;
    else if (field == "1.5") stop = StopBits::kOnePointFive;
    else if (field == "2") stop = StopBits::kTwo;
    else return false;
    return true;
}

}  // namespace

SettingsError ParseSettings(const std::string& text, LineSettings& settings) {
    const std::vector<std::string> fields = SplitFields(text);
    if (fields.size() != 4) return SettingsError::kFieldCount;
    LineSettings parsed;
    if (!ParseBaudRate(fields[0], parsed.baudRate)) return SettingsError::kBaudRate;
    if (!ParseParity(fields[1], parsed.parity)) return SettingsError::kParity;
    if (!ParseDataBits(fields[2], parsed.dataBits)) return SettingsError::kDataBits;
    if (!ParseStopBits(fields[3], parsed.stopBits)) return SettingsError::kStopBits;
    settings = parsed;
    return SettingsError::kNone;
}

std::string FormatSettings(const LineSettings& settings) {
    static const char kParityLetters[] = {'n', 'o', 'e', 'm', 's'};
    static const char* const kStopTexts[] = {"1", "1.5", "2"};
    return std::to_string(settings.baudRate) + ',' + kParityLetters[static_cast<int>(settings.parity)] + ',' +
           std::to_string(settings.dataBits) + ',' + kStopTexts[static_cast<int>(settings.stopBits)];
}

const char* SettingsErrorText(SettingsError error) {
    switch (error) {
    case SettingsError::kNone: return "";
    case SettingsError::kFieldCount: return "expected four fields: baud,parity,data,stop (e.g. 9600,n,8,1)";
    case SettingsError::kBaudRate: return "unsupported baud rate";
    case SettingsError::kParity: return "parity must be n, o, e, m or s";
    case SettingsError::kDataBits: return "data bits must be 4 to 8";
    case SettingsError::kStopBits: return "stop bits must be 1, 1.5 or 2";
    }
    return "invalid";
}

bool IsValidHandshaking(long value) { return value >= 0 && value <= 3; }
bool UsesXonXoff(Handshaking handshaking) {
    return handshaking == Handshaking::kXonXoff || handshaking == Handshaking::kBoth;
}
bool UsesRtsCts(Handshaking handshaking) {
    return handshaking == Handshaking::kRtsCts || handshaking == Handshaking::kBoth;
}

bool IsValidPortNumber(long value) { return value >= kMinPortNumber && value <= kMaxPortNumber; }

}  // namespace mscomm
