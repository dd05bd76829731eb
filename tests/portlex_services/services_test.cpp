// Open and Close of the Telvora and Brevant services against our stand-ins.
#include <gtest/gtest.h>
#include "loopback_peer.h"
#include "portlex_fixture.h"
#include "test_support.h"

using namespace testing_support;

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

class Services : public PortlexFixture {
protected:
    static void SetUpTestSuite() { peers::Regsvr32(ProgramFolder() + "\\Brevant.dll"); }
    static void TearDownTestSuite() { peers::Regsvr32(ProgramFolder() + "\\Brevant.dll", true); }

    long OpenWatching(const char* service, std::string* message) {
        return CallWatching(L"Open", {StringArg(service)}, message);
    }
};

TEST_F(Services, TelvoraOpensADefinedServiceAndCloses) {
    peers::LoopbackPeer peer;
    ASSERT_TRUE(peer.Listening());
    peers::TempFile config(ProgramFolder() + "\\telvora-defined.ini",
                           "[Services]\nPAD = tcp:127.0.0.1:" + std::to_string(peer.Port()) + "\n");
    peers::ScopedEnvironment environment("CAP32_CONFIG", (ProgramFolder() + "\\telvora-defined.ini").c_str());
    std::string message;
    EXPECT_EQ(OpenWatching("pad,2", &message), 0) << message;
    EXPECT_TRUE(peer.WaitForClient());
    // The emulator shows its own window; Portlex makes no terminal window for it.
    EXPECT_EQ(FindProcessWindow("Portlex V3.4 - disconnected"), nullptr);
    EXPECT_EQ(Call(L"Close"), 0);
    EXPECT_TRUE(peer.WaitForClientGone());
}

TEST_F(Services, TelvoraFailuresAreReported) {
    peers::TempFile config(ProgramFolder() + "\\telvora-empty.ini", "[Services]\n");
    struct Case {
        const char* service;
        const char* configFile;  // null: no configuration at all
        std::string expected;
    } cases[] = {
        {"NOSUCH,4", "telvora-empty.ini", "Service \"NOSUCH\" not defined in Telvora !"},
        {"", "telvora-empty.ini", "Service \"\" not defined in Telvora !"},
        {"PAD", "missing.ini", ""},  // filled below: message 402
    };
    for (const Case& test : cases) {
        peers::ScopedEnvironment environment("CAP32_CONFIG", (ProgramFolder() + "\\" + test.configFile).c_str());
        std::string message;
        EXPECT_EQ(OpenWatching(test.service, &message), -9) << test.service;
        if (!test.expected.empty()) EXPECT_EQ(message, test.expected);
        else EXPECT_EQ(message.rfind("Could not find Telvora.exe.", 0), 0u) << message;
        EXPECT_EQ(Call(L"Close"), 0);
    }
}

TEST_F(Services, BrevantOpensWithAndWithoutParameters) {
    for (const char* service : {"Brevant", "brevant:timeout=5;crlf=1"}) {
        std::string message;
        EXPECT_EQ(OpenWatching(service, &message), 0) << service << ": " << message;
        EXPECT_NE(FindProcessWindow("Portlex V3.4 - disconnected"), nullptr) << service;
        EXPECT_EQ(Call(L"Close"), 0);
        EXPECT_EQ(FindProcessWindow("Portlex V3.4 - disconnected"), nullptr) << service;
    }
}

TEST_F(Services, BrevantFailuresAreReported) {
    const struct {
        const char* service;
        const char* expected;
    } cases[] = {
        {"Brevant:fail=open", "Could not open the Brevant instance !"},
        {"Brevant:timeout=999", "Could not set up Brevant parameters !"},
    };
    for (const auto& test : cases) {
        std::string message;
        EXPECT_EQ(OpenWatching(test.service, &message), -9) << test.service;
        EXPECT_EQ(message, test.expected) << test.service;
        EXPECT_EQ(Call(L"Close"), 0);
        // Nothing is left open: the next Open works.
        EXPECT_EQ(OpenWatching("Brevant", &message), 0) << message;
        EXPECT_EQ(Call(L"Close"), 0);
    }
}

}  // namespace
