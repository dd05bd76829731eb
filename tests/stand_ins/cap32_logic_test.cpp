// The capture library's configuration parser and traffic listing, without Windows.
#include "cap_config.h"
#include "traffic_listing.h"
#include <gtest/gtest.h>

namespace {

using cap32::Endpoint;

struct EndpointCase {
    const char* text;
    bool ok;
    Endpoint::Kind kind;
    const char* hostOrDevice;
    unsigned port;
    const char* settings;
};

TEST(Cap32ConfigTest, EndpointsParseAsTheTableSays) {
    const EndpointCase cases[] = {
        {"tcp:127.0.0.1:2300", true, Endpoint::Kind::Tcp, "127.0.0.1", 2300, ""},
        {"TCP:localhost:1", true, Endpoint::Kind::Tcp, "127.0.0.1", 1, ""},
        {"  tcp:127.0.0.1:65535 ", true, Endpoint::Kind::Tcp, "127.0.0.1", 65535, ""},
        {"COM5", true, Endpoint::Kind::Serial, "COM5", 0, "9600,n,8,1"},
        {"com12:19200,e,7,1", true, Endpoint::Kind::Serial, "COM12", 0, "19200,e,7,1"},
        {"tcp:10.1.2.3:23", false, Endpoint::Kind::Tcp, "", 0, ""},  // loopback only
        {"tcp:example.org:23", false, Endpoint::Kind::Tcp, "", 0, ""},
        {"tcp:127.0.0.1:0", false, Endpoint::Kind::Tcp, "", 0, ""},
        {"tcp:127.0.0.1:65536", false, Endpoint::Kind::Tcp, "", 0, ""},
        {"tcp:127.0.0.1:", false, Endpoint::Kind::Tcp, "", 0, ""},
        {"tcp:127.0.0.1", false, Endpoint::Kind::Tcp, "", 0, ""},
        {"COM0", false, Endpoint::Kind::Serial, "", 0, ""},
        {"COMX", false, Endpoint::Kind::Serial, "", 0, ""},
        {"COM3:", false, Endpoint::Kind::Serial, "", 0, ""},
        {"udp:127.0.0.1:5", false, Endpoint::Kind::Tcp, "", 0, ""},
        {"", false, Endpoint::Kind::Tcp, "", 0, ""},
    };
    for (const EndpointCase& c : cases) {
        Endpoint endpoint;
        std::string error;
        bool ok = cap32::ParseEndpoint(c.text, endpoint, error);
        ASSERT_EQ(ok, c.ok) << "'" << c.text << "': " << error;
        if (!ok) {
            EXPECT_FALSE(error.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(endpoint.kind, c.kind) << c.text;
        if (c.kind == Endpoint::Kind::Tcp) {
            EXPECT_EQ(endpoint.host, c.hostOrDevice) << c.text;
            EXPECT_EQ(endpoint.port, c.port) << c.text;
        } else {
            EXPECT_EQ(endpoint.device, c.hostOrDevice) << c.text;
            EXPECT_EQ(endpoint.settings, c.settings) << c.text;
        }
    }
}

TEST(Cap32ConfigTest, AFullFileGivesServicesAndOptions) {
    const char* text =
        "; Telvora services\r\n"
        "[Services]\r\n"
        "PAD = tcp:127.0.0.1:2300\r\n"
        "Line 2=COM5:9600,n,8,1\r\n"
        "\r\n"
        "# options\r\n"
        "[options]\r\n"
        "ReceiveWaitMs=150\r\n";
    cap32::ConfigResult result = cap32::ParseConfig(text);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.config.services.size(), 2u);
    EXPECT_EQ(result.config.receiveWaitMs, 150u);
    const Endpoint* pad = result.config.Find("pad");
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->port, 2300);
    const Endpoint* line = result.config.Find("LINE 2");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->device, "COM5");
    EXPECT_EQ(result.config.Find("PAD2"), nullptr);
    EXPECT_EQ(result.config.Find(""), nullptr);
}

TEST(Cap32ConfigTest, AnEmptyFileDefinesNoService) {
    cap32::ConfigResult result = cap32::ParseConfig("");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.config.services.empty());
    EXPECT_EQ(result.config.receiveWaitMs, 0u);
}

TEST(Cap32ConfigTest, MistakesAreRefusedWithTheirLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"PAD=tcp:127.0.0.1:1", "line 1: name=value outside [Services] or [Options]"},
        {"[Services]\nPAD=tcp:127.0.0.1:1\npad=COM1", "line 3: service pad defined twice"},
        {"[Services]\nPAD", "line 2: expected name=value"},
        {"[Services]\n=COM1", "line 2: empty name"},
        {"[Hosts]", "line 1: unknown section [HOSTS]"},
        {"[Services", "line 1: section header without ']'"},
        {"[Options]\nReceiveWaitMs=10001", "line 2: ReceiveWaitMs must be 0..10000"},
        {"[Options]\nSpeed=1", "line 2: unknown option Speed"},
        {"[Services]\nPAD=tcp:192.168.1.1:23", "line 2: PAD: tcp host must be 127.0.0.1 or localhost, not '192.168.1.1'"},
    };
    for (const auto& c : cases) {
        cap32::ConfigResult result = cap32::ParseConfig(c.text);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error, c.error) << c.text;
    }
}

TEST(Cap32TrafficListingTest, ChunksBecomeListingLines) {
    using cap32::Direction;
    const struct {
        Direction direction;
        std::string bytes;
        const char* listing;
    } cases[] = {
        {Direction::Sent, "STAT\r", ">> STAT<CR>\r\n"},
        {Direction::Received, "FREE\r\n", "<< FREE<CR><LF>\r\n"},
        {Direction::Received, "a\nb\n", "<< a<LF>\r\n<< b<LF>\r\n"},
        {Direction::Sent, "\x10" "CLR\r", ">> <DLE>CLR<CR>\r\n"},
        {Direction::Received, std::string("\x00\x7F\x80\xFF", 4), "<< <00><7f><80><ff>\r\n"},
        {Direction::Received, "", "<< \r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cap32::FormatTraffic(c.direction, c.bytes.data(), c.bytes.size()), c.listing);
}

}  // namespace
