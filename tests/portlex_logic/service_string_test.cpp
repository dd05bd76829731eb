// Service selection and the reading of serial, Telvora and Brevant service strings.
#include "service_string.h"

#include <gtest/gtest.h>

#include <ostream>

namespace portlex {

// Found by argument lookup, so it lives beside SerialSettings.
std::ostream& operator<<(std::ostream& os, const SerialSettings& s) {
    os << "{port " << (s.hasPort ? std::to_string(s.port) : "unset") << ", settings "
       << (s.hasSettings ? "\"" + s.settings + "\"" : "unset") << ", handshaking "
       << (s.hasHandshaking ? std::to_string(s.handshaking) : "unset") << ", settle "
       << s.settleSeconds << "}";
    return os;
}

namespace {

struct KeywordCase {
    const char* text;
    int service;
};

TEST(ServiceString, SelectsServiceByKeywordInAnyCase) {
    const KeywordCase cases[] = {
        {"Winsock", kServiceWinsock},     {"winsock", kServiceWinsock},
        {"WinSock2", kServiceWinsock},    {"Telnet", kServiceTelnet},
        {"Telnetx", kServiceTelnet},      {"TELNET", kServiceTelnet},
        {"Mscom", kServiceSerial},        {"mscom3,9600", kServiceSerial},
        {"Brevant", kServiceBrevant},     {"BREVANT x", kServiceBrevant},
        {"", kServiceTelvora},            {"Telne", kServiceTelvora},
        {"Brevan", kServiceTelvora},      {"Msco", kServiceTelvora},
        {" Winsock", kServiceTelvora},    {"X25SERVICE,3", kServiceTelvora},
        {nullptr, kServiceTelvora},
    };
    for (const KeywordCase& c : cases) {
        EXPECT_EQ(c.service, SelectService(c.text)) << "service string \"" << (c.text ? c.text : "(null)") << "\"";
    }
}

struct SerialCase {
    const char* text;
    bool hasPort;
    short port;
    bool hasSettings;
    const char* settings;
    bool hasHandshaking;
    long handshaking;
    int settleSeconds;
};

TEST(ServiceString, ReadsSerialServiceStrings) {
    const SerialCase cases[] = {
        // text                      port      settings                 handshaking  settle
        {"Mscom",                    false, 0, false, "",               false, 0,    6},
        {"mscom3",                   true, 3,  false, "",               false, 0,    6},
        {"MSCOM1,19200,e,7,1",       true, 1,  true, "19200,e,7,1",     false, 0,    6},
        {"Mscom1,9600,n,8,1,0",      true, 1,  true, "9600,n,8,1",      true, 0,     6},
        {"Mscom2,9600,n,8,1,2,3",    true, 2,  true, "9600,n,8,1",      true, 2,     3},
        {"Mscom1,9600,n,8,1,2,12",   true, 1,  true, "9600,n,8,1",      true, 2,     8},
        {"Mscom1,9600,n,8,1,2,-4",   true, 1,  true, "9600,n,8,1",      true, 2,     0},
        {"Mscom1,9600,n",            true, 1,  true, "9600,n",          false, 0,    6},
        {"Mscom1,9600,n,8,1,",       true, 1,  true, "9600,n,8,1",      true, 0,     6},
        // A comma straight after the keyword is port 0.
        {"Mscom,9600,n,8,1",         true, 0,  true, "9600,n,8,1",      false, 0,    6},
        {"Mscom1,",                  true, 1,  true, "",                false, 0,    6},
        // The delay is looked for from the second character after the fifth
        // comma on, so an empty handshaking field hides the delay.
        {"Mscom1,9600,n,8,1,,3",     true, 1,  true, "9600,n,8,1",      true, 0,     6},
        // Numbers read as atoi reads them.
        {"Mscom 7,x",                true, 7,  true, "x",               false, 0,    6},
        {"Mscom-2,a,b,c,d, 1x,+5y",  true, -2, true, "a,b,c,d",         true, 1,     5},
        {"Mscom1,9600,n,8,1,2,x",    true, 1,  true, "9600,n,8,1",      true, 2,     0},
        {"Mscom1,a,b,c,d,2,3,4",     true, 1,  true, "a,b,c,d",         true, 2,     3},
        {"Mscom1,9600,n,8,1,2,99999999999", true, 1, true, "9600,n,8,1", true, 2,    8},
    };
    for (const SerialCase& c : cases) {
        const SerialSettings s = ParseSerialServiceString(c.text);
        const bool same = s.hasPort == c.hasPort && (!c.hasPort || s.port == c.port) &&
                          s.hasSettings == c.hasSettings && s.settings == c.settings &&
                          s.hasHandshaking == c.hasHandshaking &&
                          (!c.hasHandshaking || s.handshaking == c.handshaking) &&
                          s.settleSeconds == c.settleSeconds;
        EXPECT_TRUE(same) << "\"" << c.text << "\" read as " << s;
    }
}

TEST(ServiceString, NullSerialStringSetsNothing) {
    const SerialSettings s = ParseSerialServiceString(nullptr);
    EXPECT_FALSE(s.hasPort || s.hasSettings || s.hasHandshaking) << s;
    EXPECT_EQ(6, s.settleSeconds);
}

struct TelvoraCase {
    const char* text;
    const char* name;
    int settleSeconds;
};

TEST(ServiceString, ReadsTelvoraServiceNameAndSettleDelay) {
    const TelvoraCase cases[] = {
        {"X25SERVICE", "X25SERVICE", 6}, {"X25SERVICE,4", "X25SERVICE", 4},
        {"X25SERVICE,12", "X25SERVICE", 8}, {"X25SERVICE,-3", "X25SERVICE", 0},
        {"A,2,5", "A", 2},               {",5", "", 5},
        {"Svc,", "Svc", 0},              {"Svc, 7 s", "Svc", 7},
        {"", "", 6},                     {nullptr, "", 6},
    };
    for (const TelvoraCase& c : cases) {
        const TelvoraService t = ParseTelvoraServiceString(c.text);
        EXPECT_TRUE(t.name == c.name && t.settleSeconds == c.settleSeconds)
            << "\"" << (c.text ? c.text : "(null)") << "\" read as name \"" << t.name
            << "\", settle " << t.settleSeconds;
    }
}

TEST(ServiceString, BrevantParametersFollowTheKeywordUnchanged) {
    EXPECT_EQ("", BrevantParameters("Brevant"));
    EXPECT_EQ("", BrevantParameters(nullptr));
    EXPECT_EQ(" x", BrevantParameters("BREVANT x"));
    EXPECT_EQ("Host=a;Port=2", BrevantParameters("BrevantHost=a;Port=2"));
}

TEST(ServiceString, SettleDelayIsLimitedToEightSeconds) {
    const long in[] = {-100, -1, 0, 1, 7, 8, 9, 1000};
    const int out[] = {0, 0, 0, 1, 7, 8, 8, 8};
    for (std::size_t i = 0; i < sizeof in / sizeof in[0]; ++i) {
        EXPECT_EQ(out[i], ClampSettleSeconds(in[i])) << "delay " << in[i];
    }
}

}  // namespace
}  // namespace portlex
