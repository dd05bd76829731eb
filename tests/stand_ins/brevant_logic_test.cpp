// The Brevant object's parameter text and addresses, without Windows.
#include "brevant_parameters.h"
#include <gtest/gtest.h>

namespace {

TEST(BrevantParametersTest, TextsGiveTheTableSettings) {
    const struct {
        const char* text;
        unsigned timeout;
        bool crlf;
        bool errorInfo;
        const char* failing;  // space-separated
    } cases[] = {
        {"", 5, false, true, ""},
        {"timeout=5;crlf=1", 5, true, true, ""},
        {":Timeout = 12 , CRLF=yes", 12, true, true, ""},
        {" ; ;timeout=60;", 60, false, true, ""},
        {"errorinfo=0;fail=open;fail=WRITE", 5, false, false, "open write"},
        {"crlf=true;crlf=false", 5, false, true, ""},
        {"fail=read,fail=interrupt,fail=close,fail=disconnect,fail=connect", 5, false, true,
         "close connect disconnect interrupt read"},
    };
    for (const auto& c : cases) {
        brevant::ParametersResult result = brevant::ParseParameters(c.text);
        ASSERT_TRUE(result.ok) << "'" << c.text << "': " << result.error;
        EXPECT_EQ(result.parameters.timeoutSeconds, c.timeout) << c.text;
        EXPECT_EQ(result.parameters.crlf, c.crlf) << c.text;
        EXPECT_EQ(result.parameters.errorInfo, c.errorInfo) << c.text;
        std::string failing;
        for (const std::string& op : result.parameters.failing) failing += (failing.empty() ? "" : " ") + op;
        EXPECT_EQ(failing, c.failing) << c.text;
    }
}

TEST(BrevantParametersTest, MistakesAreRefusedWithAReason) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"speed=9600", "Unknown parameter 'speed'"},
        {"timeout", "Parameter 'timeout' has no value"},
        {"timeout=0", "timeout must be 1 to 60 seconds, not '0'"},
        {"timeout=61", "timeout must be 1 to 60 seconds, not '61'"},
        {"timeout=-1", "timeout must be 1 to 60 seconds, not '-1'"},
        {"crlf=2", "crlf must be 0 or 1, not '2'"},
        {"errorinfo=", "errorinfo must be 0 or 1, not ''"},
        {"fail=setparameters",
         "fail names an operation (open, connect, write, read, disconnect, close, interrupt), not 'setparameters'"},
    };
    for (const auto& c : cases) {
        brevant::ParametersResult result = brevant::ParseParameters(c.text);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error, c.error) << c.text;
    }
}

TEST(BrevantAddressTest, OnlyLoopbackAddressesAreTaken) {
    const struct {
        const char* text;
        bool ok;
        unsigned port;
    } cases[] = {
        {"127.0.0.1:2300", true, 2300}, {"localhost:1", true, 1},     {" LOCALHOST:65535 ", true, 65535},
        {"127.0.0.1", true, 23},        {"10.1.2.3:23", false, 0},    {"example.org:80", false, 0},
        {"127.0.0.1:0", false, 0},      {"127.0.0.1:70000", false, 0}, {"127.0.0.1:", false, 0},
        {"", false, 0},                 {"127.0.0.2:23", false, 0},
    };
    for (const auto& c : cases) {
        brevant::Address address;
        std::string error;
        ASSERT_EQ(brevant::ParseAddress(c.text, address, error), c.ok) << "'" << c.text << "': " << error;
        if (c.ok) {
            EXPECT_EQ(address.host, "127.0.0.1") << c.text;
            EXPECT_EQ(address.port, c.port) << c.text;
        } else {
            EXPECT_FALSE(error.empty()) << c.text;
        }
    }
}

}  // namespace
