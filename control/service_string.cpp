// Reading the service string given to Open.
#include "service_string.h"

#include <climits>
#include <cstring>

namespace portlex {
namespace {

struct Keyword {
    const char* text;
    int service;
};

// Tried in this order; none starts another, so at most one matches.
const Keyword kKeywords[] = {
    {"Brevant", kServiceBrevant},
    {"Mscom", kServiceSerial},
    {"Winsock", kServiceWinsock},
    {"Telnet", kServiceTelnet},
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when text starts with keyword, compared without regard to case over
// the keyword's length.
bool StartsWithKeyword(const char* text, const char* keyword) {
    for (; *keyword; ++text, ++keyword) {
        if (*text == '\0' || LowerAscii(*text) != LowerAscii(*keyword)) return false;
    }
    return true;
}

constexpr std::size_t kSerialKeywordLength = 5;   // "Mscom"
constexpr std::size_t kBrevantKeywordLength = 7;  // "Brevant"

// The comma after position from, or null; never searches past the end.
const char* NextComma(const char* from) { return from ? std::strchr(from, ',') : nullptr; }

}  // namespace

long ReadNumber(const char* text) {
    if (!text) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<long>(value);
}

int SelectService(const char* serviceString) {
    int service = kServiceTelvora;
    if (!serviceString) return service;
    for (const Keyword& k : kKeywords) {
        if (StartsWithKeyword(serviceString, k.text)) service = k.service;
    }
    return service;
}

int ClampSettleSeconds(long seconds) {
    if (seconds < 0) return 0;
    if (seconds > kMaxSettleSeconds) return kMaxSettleSeconds;
    return static_cast<int>(seconds);
}

SerialSettings ParseSerialServiceString(const char* serviceString) {
    SerialSettings result;
    if (!serviceString) return result;
    const std::string text = serviceString;

    // The port number follows the keyword directly (",9600" reads as port 0).
    if (text.size() > kSerialKeywordLength) {
        result.hasPort = true;
        result.port = static_cast<short>(ReadNumber(serviceString + kSerialKeywordLength));
    }

    const char* c1 = NextComma(serviceString);
    if (!c1) return result;
    const char* c2 = NextComma(c1 + 1);
    const char* c3 = c2 ? NextComma(c2 + 1) : nullptr;
    const char* c4 = c3 ? NextComma(c3 + 1) : nullptr;
    const char* c5 = c4 ? NextComma(c4 + 1) : nullptr;

    result.hasSettings = true;
    if (!c5) {
        result.settings = c1 + 1;  // everything after the first comma
        return result;
    }
    result.hasHandshaking = true;
    result.handshaking = ReadNumber(c5 + 1);
    result.settings.assign(c1 + 1, c5);
    // The delay field is found from the second character after the fifth
    // comma on, so a field starting right after it never counts as the delay.
    long settle = kDefaultSettleSeconds;
    if (c5[1] != '\0') {
        if (const char* c6 = NextComma(c5 + 2)) settle = ReadNumber(c6 + 1);
    }
    result.settleSeconds = ClampSettleSeconds(settle);
    return result;
}

TelvoraService ParseTelvoraServiceString(const char* serviceString) {
    TelvoraService result;
    if (!serviceString) return result;
    const char* comma = NextComma(serviceString);
    if (!comma) {
        result.name = serviceString;
        return result;
    }
    result.name.assign(serviceString, comma);
    result.settleSeconds = ClampSettleSeconds(ReadNumber(comma + 1));
    return result;
}

std::string BrevantParameters(const char* serviceString) {
    if (!serviceString || std::strlen(serviceString) <= kBrevantKeywordLength) return {};
    return serviceString + kBrevantKeywordLength;
}

}  // namespace portlex
