// Texts of the error window: socket errors, status, service and countdown formats.
#include "error_text.h"

#include <gtest/gtest.h>

#include <string>

namespace portlex {
namespace {

const char kFormat401[] = "Error 0x%04x in function %s !";
const char kFormat403[] = "Service \"%1\" not defined in Telvora !";
const char kCountdown[] = "This message will disappear in %d seconds";

struct SocketCase {
    const char* function;
    int code;
    const char* expected;
};

TEST(ErrorText, SocketErrorMessages) {
    const SocketCase cases[] = {
        {"recv", 10054,
         "Socket error in function \"recv\" : the virtual circuit was reset by the remote side.."},
        {"connect", 10061, "Socket error in function \"connect\" : the attempt to connect was rejected.."},
        {"WSACleanup", 10093,
         "Socket error in function \"WSACleanup\" : a successful AfxSocketInit must occur before "
         "using this API.."},
        {"bind", 10049,
         "Socket error in function \"bind\" : dhe specified address is not available from the "
         "local machine.."},
        {"send", 12345, "Socket error in function \"send\" : error code = 12345.."},
        {"socket", 0, "Socket error in function \"socket\" : error code = 0.."},
        {"inet_addr", -1, "Socket error in function \"inet_addr\" : error code = -1.."},
    };
    for (const SocketCase& c : cases) {
        EXPECT_EQ(c.expected, FormatSocketError(c.function, c.code)) << "code " << c.code;
    }
}

TEST(ErrorText, EveryKnownSocketErrorIsASentence) {
    const int known[] = {10004, 10013, 10014, 10022, 10024, 10035, 10036, 10038, 10039, 10040,
                         10045, 10047, 10048, 10049, 10050, 10051, 10052, 10053, 10054, 10055,
                         10056, 10057, 10058, 10060, 10061, 10093, 11001, 11002, 11003, 11004};
    for (int code : known) {
        const std::string text = SocketErrorDescription(code);
        EXPECT_TRUE(text.rfind("error code = ", 0) != 0 && text.back() == '.')
            << code << ": \"" << text << "\"";
    }
    EXPECT_EQ("the socket has been shut down; it is not possible to call Receive on a socket "
              "after ShutDown has been invoked with nHow set to 0 or 2.",
              SocketErrorDescription(10058));
    EXPECT_EQ("error code = 10059.", SocketErrorDescription(10059));
}

struct StatusCase {
    const char* format;
    unsigned short status;
    const char* function;
    const char* expected;
};

TEST(ErrorText, StatusMessages) {
    const StatusCase cases[] = {
        {kFormat401, 0x2b, "InitUser", "Error 0x002b in function InitUser !"},
        {kFormat401, 0x380, "ConnectPS", "Error 0x0380 in function ConnectPS !"},
        {kFormat401, 0xbeef, "Receive", "Error 0xbeef in function Receive !"},
        {kFormat401, 0, "SetPSState", "Error 0x0000 in function SetPSState !"},
        {kFormat401, 7, nullptr, "Error 0x0007 in function (null) !"},
        // A conversion that does not fit the next value stays as written.
        {"%s %04x", 1, "f", "%s 0001"},
        {"%04x %s %s %n %d%%", 0x12, "f", "0012 f %s %n %d%"},
        {"%*d %s", 1, "f", "%*d %s"},
    };
    for (const StatusCase& c : cases) {
        EXPECT_EQ(c.expected, FormatStatusMessage(c.format, c.status, c.function))
            << "format \"" << c.format << "\"";
    }
}

TEST(ErrorText, StatusMessageIsCutAt256Characters) {
    const std::string longName(300, 'n');
    const std::string text = FormatStatusMessage(kFormat401, 0x2b, longName.c_str());
    EXPECT_EQ(kStatusMessageLimit, text.size());
    EXPECT_EQ("Error 0x002b in function nnn", text.substr(0, 28));
}

struct CountdownCase {
    const char* format;
    long seconds;
    const char* expected;
};

TEST(ErrorText, CountdownLines) {
    const CountdownCase cases[] = {
        {kCountdown, 8, "This message will disappear in 8 seconds"},
        {kCountdown, 1, "This message will disappear in 1 seconds"},
        {kCountdown, -3, "This message will disappear in -3 seconds"},
        {"%d", 2147483647L, "2147483647"},
        {"%5d|%-3d|", 42, "   42|%-3d|"},
        {"%d%%", 5, "5%"},
        {"%s and %d", 5, "%s and 5"},
        {"%n%p %d", 5, "%n%p 5"},
        {"100%", 5, "100%"},
        {"no number", 5, "no number"},
        {"%999999999d", 5, "%999999999d"},
        {"%ld", 6, "6"},
        {"", 6, ""},
    };
    for (const CountdownCase& c : cases) {
        EXPECT_EQ(c.expected, FormatCountdown(c.format, c.seconds)) << "format \"" << c.format << "\"";
    }
}

TEST(ErrorText, ServiceNotDefinedNamesTheService) {
    EXPECT_EQ("Service \"X25SERVICE\" not defined in Telvora !",
              FormatServiceNotDefined(kFormat403, "X25SERVICE"));
    EXPECT_EQ("Service \"\" not defined in Telvora !", FormatServiceNotDefined(kFormat403, nullptr));
    // A name is put in as it is, never read as a format itself.
    EXPECT_EQ("Service \"%1%s%d\" not defined in Telvora !",
              FormatServiceNotDefined(kFormat403, "%1%s%d"));
}

}  // namespace
}  // namespace portlex
