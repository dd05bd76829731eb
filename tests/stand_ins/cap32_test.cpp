// Cap32.dll over a real line: a loopback peer on a thread of this program stands
// at the far end of each service.
#include "cap32_api.h"
#include "cap_status.h"
#include "emulator_window.h"
#include "loopback_peer.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr char kConfigVariable[] = "CAP32_CONFIG";

std::string Hex(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (unsigned char c : bytes) {
        snprintf(digits, sizeof digits, "%02x ", c);
        out += digits;
    }
    return out;
}

class Cap32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(api.Complete()) << "Cap32.dll not found beside the test program, or an export is missing";
        ASSERT_TRUE(peer.Listening());
        std::memset(&session, 0xCD, sizeof session);  // as uninitialised as the control's block
    }

    void TearDown() override {
        if (handle) {
            api.termConn(&session, handle);
            api.disconnect(&session, handle);
        }
        if (userStarted) api.termUser(&session);
    }

    void UseConfig(const std::string& text) {
        config.reset(new peers::TempFile(
            peers::ProgramFolder() + "\\cap32_test_" + std::to_string(GetCurrentProcessId()) + ".ini", text));
        ASSERT_TRUE(config->Written());
        environment.reset(new peers::ScopedEnvironment(kConfigVariable, config->Path().c_str()));
    }

    std::string PeerConfig() const {
        return "; test services\n[Services]\nPAD = tcp:127.0.0.1:" + std::to_string(peer.Port()) + "\n";
    }

    CapStatus InitUser() {
        CapUserRecord user = ControlUserRecord();
        CapStatus status = api.initUser(&session, &user);
        userStarted = status == 0;
        return status;
    }

    CapHandle ConnectPs() {
        CapConnectPsRecord record = ControlConnectPsRecord(nullptr);
        handle = api.connectPs(&session, &record);
        return handle;
    }

    // The control's opening steps up to the initialised connection.
    void OpenService(const char* name) {
        ASSERT_EQ(InitUser(), 0);
        ASSERT_NE(ConnectPs(), 0u) << "status " << CapSessionStatus(session);
        CapInitConnRecord record = ControlInitConnRecord(name);
        ASSERT_EQ(api.initConn(&session, handle, &record), 0);
        ASSERT_TRUE(peer.WaitForClient());
    }

    CapStatus Send(const std::string& text) {
        CapKeysRecord keys = KeysRecord(text.c_str(), static_cast<DWORD>(text.size()));
        return api.procKeys(&session, handle, &keys);
    }

    // Receives until count bytes came or a status other than 0 and 2816 ends it.
    std::string ReceiveBytes(size_t count, CapStatus& last, DWORD chunk = 6144) {
        std::string got;
        last = 0;
        for (int tries = 0; tries < 500 && got.size() < count; ++tries) {
            char buffer[6144];
            DWORD n = chunk;
            last = api.receive(&session, handle, buffer, &n);
            if (last == 0) got.append(buffer, n);
            else if (last == kCapStatusNothingWaiting) Sleep(10);
            else break;
        }
        return got;
    }

    Cap32Api api;
    peers::LoopbackPeer peer;
    std::unique_ptr<peers::TempFile> config;
    std::unique_ptr<peers::ScopedEnvironment> environment;
    CapSessionBlock session;
    CapHandle handle = 0;
    bool userStarted = false;
};

TEST_F(Cap32Test, OpeningStepsSucceedAndLeaveZeroStatusWords) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    EXPECT_EQ(session.status1, 0) << "first status word";
    EXPECT_EQ(session.status2, 0) << "second status word";
    CapPsStateRecord hide = PsStateRecord(kCapStateHide);
    EXPECT_EQ(api.setPsState(&session, handle, &hide), 0);
    EXPECT_EQ(peer.ClientsAccepted(), 1);
}

TEST_F(Cap32Test, ServiceNamesMatchWithoutRegardToCase) {
    UseConfig(PeerConfig());
    OpenService("pad");
}

TEST_F(Cap32Test, KeysArriveAtThePeerWithBit7Intact) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    const std::string text = "STAT\r\x10\x80\xC4\xFFint\r";
    ASSERT_EQ(Send(text), 0);
    ASSERT_TRUE(peer.WaitForReceivedBytes(text.size()));
    EXPECT_EQ(Hex(peer.Received()), Hex(text));
}

TEST_F(Cap32Test, OnlyTheCountedCharactersAreSent) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    CapKeysRecord keys = KeysRecord("CLR\rLIB\r", 4);
    ASSERT_EQ(api.procKeys(&session, handle, &keys), 0);
    ASSERT_EQ(Send("!"), 0);
    ASSERT_TRUE(peer.WaitForReceived("!"));
    EXPECT_EQ(peer.Received(), "CLR\r!");
}

TEST_F(Cap32Test, BytesFromThePeerComeBackAsTheyCame) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    const std::string reply = std::string("FREE\r\n\x81\xFE\x7F", 9) + std::string(1, '\0') + "\x90z";
    peer.Send(reply);
    CapStatus last;
    std::string got = ReceiveBytes(reply.size(), last);
    EXPECT_EQ(Hex(got), Hex(reply)) << "last status " << last;
}

TEST_F(Cap32Test, ReceiveNeverWritesMoreThanTheCountOffered) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    const std::string reply(100, 'x');
    peer.Send(reply);
    ASSERT_TRUE(peer.WaitForClient());
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    DWORD n = 0;
    CapStatus status = kCapStatusNothingWaiting;
    for (int tries = 0; tries < 500 && status == kCapStatusNothingWaiting; ++tries) {
        n = 10;
        status = api.receive(&session, handle, buffer, &n);
        if (status == kCapStatusNothingWaiting) Sleep(10);
    }
    ASSERT_EQ(status, 0);
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(std::string(buffer, 11), std::string(10, 'x') + "#");
    CapStatus last;
    EXPECT_EQ(ReceiveBytes(90, last, 16), std::string(90, 'x')) << "last status " << last;
}

TEST_F(Cap32Test, NothingWaitingGives2816AndACountOfZero) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    char buffer[64];
    DWORD n = sizeof buffer;
    EXPECT_EQ(api.receive(&session, handle, buffer, &n), kCapStatusNothingWaiting);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(CapSessionStatus(session), kCapStatusNothingWaiting);
}

TEST_F(Cap32Test, ReceiveWaitMsLetsOneReceiveWaitForTheFirstByte) {
    UseConfig(PeerConfig() + "[Options]\nReceiveWaitMs=5000\n");
    OpenService("PAD");
    std::thread later([this] {
        Sleep(100);
        peer.Send("late");
    });
    char buffer[16];
    DWORD n = sizeof buffer;
    CapStatus status = api.receive(&session, handle, buffer, &n);
    later.join();
    ASSERT_EQ(status, 0) << "one call, no retry";
    EXPECT_EQ(std::string(buffer, n), std::string("late").substr(0, n));
    EXPECT_GE(n, 1u);
}

class Cap32PeerGoneTest : public Cap32Test, public ::testing::WithParamInterface<bool> {};

TEST_P(Cap32PeerGoneTest, ReceiveAndSendReportThePeerGoneAfterItsLastBytes) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    peer.Send("bye");
    ASSERT_TRUE(peer.WaitForClient());
    CapStatus last;
    ASSERT_EQ(ReceiveBytes(3, last), "bye") << "last status " << last;
    peer.CloseClient(GetParam());
    ASSERT_TRUE(peer.WaitForClientGone());
    std::string more = ReceiveBytes(1, last);
    EXPECT_EQ(more, "");
    EXPECT_EQ(last, cap32::kStatusPeerGone);
    EXPECT_EQ(Send("STAT\r"), cap32::kStatusPeerGone);
    EXPECT_EQ(CapSessionStatus(session), cap32::kStatusPeerGone);
}

INSTANTIATE_TEST_SUITE_P(CloseOrReset, Cap32PeerGoneTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Reset" : "Close"; });

TEST_F(Cap32Test, NoConfigurationGives896SplitOverBothStatusWords) {
    environment.reset(new peers::ScopedEnvironment(kConfigVariable, "C:\\no\\such\\folder\\Cap32.ini"));
    ASSERT_EQ(InitUser(), 0);
    session.status1 = session.status2 = 0xABCD;
    EXPECT_EQ(ConnectPs(), 0u);
    EXPECT_EQ(session.status1, 0x0300);
    EXPECT_EQ(session.status2, 0x0080);
    EXPECT_EQ(CapSessionStatus(session), kCapStatusNoEmulator);
}

TEST_F(Cap32Test, WithoutTheVariableCap32IniBesideTheLibraryIsRead) {
    environment.reset(new peers::ScopedEnvironment(kConfigVariable, nullptr));
    {
        ASSERT_EQ(InitUser(), 0);
        EXPECT_EQ(ConnectPs(), 0u) << "no Cap32.ini beside the library yet";
        EXPECT_EQ(CapSessionStatus(session), kCapStatusNoEmulator);
    }
    peers::TempFile beside(peers::ProgramFolder() + "\\Cap32.ini", PeerConfig());
    ASSERT_TRUE(beside.Written());
    ASSERT_NE(ConnectPs(), 0u) << "status " << CapSessionStatus(session);
    CapInitConnRecord record = ControlInitConnRecord("PAD");
    EXPECT_EQ(api.initConn(&session, handle, &record), 0);
    EXPECT_TRUE(peer.WaitForClient());
}

TEST_F(Cap32Test, AnInvalidConfigurationIsReportedByConnectPs) {
    UseConfig("[Services]\nPAD=tcp:10.1.2.3:23\n");
    ASSERT_EQ(InitUser(), 0);
    EXPECT_EQ(ConnectPs(), 0u);
    EXPECT_EQ(CapSessionStatus(session), cap32::kStatusInvalidConfig);
}

TEST_F(Cap32Test, AnUndefinedServiceNameGives768) {
    UseConfig(PeerConfig());
    ASSERT_EQ(InitUser(), 0);
    ASSERT_NE(ConnectPs(), 0u);
    for (const char* name : {"NOSUCH", "", "PAD2", " "}) {
        CapInitConnRecord record = ControlInitConnRecord(name);
        EXPECT_EQ(api.initConn(&session, handle, &record), kCapStatusUndefinedService) << "service '" << name << "'";
    }
    EXPECT_EQ(peer.ClientsAccepted(), 0);
}

TEST_F(Cap32Test, AServiceWhoseEndpointRefusesIsReported) {
    UseConfig("[Services]\nDEAD=tcp:127.0.0.1:" + std::to_string(peers::LoopbackPeer::UnusedPort()) + "\n");
    ASSERT_EQ(InitUser(), 0);
    ASSERT_NE(ConnectPs(), 0u);
    CapInitConnRecord record = ControlInitConnRecord("DEAD");
    EXPECT_EQ(api.initConn(&session, handle, &record), cap32::kStatusLineUnavailable);
}

TEST_F(Cap32Test, TwoSessionsUseTheirOwnLines) {
    peers::LoopbackPeer second;
    UseConfig(PeerConfig() + "OTHER=tcp:localhost:" + std::to_string(second.Port()) + "\n");
    OpenService("PAD");
    CapSessionBlock otherSession;
    CapUserRecord user = ControlUserRecord();
    ASSERT_EQ(api.initUser(&otherSession, &user), 0);
    CapConnectPsRecord ps = ControlConnectPsRecord(nullptr);
    CapHandle other = api.connectPs(&otherSession, &ps);
    ASSERT_NE(other, 0u);
    CapInitConnRecord record = ControlInitConnRecord("OTHER");
    ASSERT_EQ(api.initConn(&otherSession, other, &record), 0);
    ASSERT_TRUE(second.WaitForClient());

    CapKeysRecord keys = KeysRecord("two", 3);
    EXPECT_EQ(api.procKeys(&otherSession, other, &keys), 0);
    EXPECT_EQ(Send("one"), 0);
    EXPECT_TRUE(second.WaitForReceived("two"));
    EXPECT_TRUE(peer.WaitForReceived("one"));
    EXPECT_EQ(second.Received(), "two");
    EXPECT_EQ(peer.Received(), "one");
    // Each session's handle is refused through the other's block.
    EXPECT_EQ(api.procKeys(&session, other, &keys), cap32::kStatusBadHandle);
    EXPECT_EQ(api.termUser(&otherSession), 0);  // ends its connection as well
    EXPECT_TRUE(second.WaitForClientGone());
    EXPECT_EQ(Send("still"), 0);
}

// Every misuse gets its own non-zero status and nothing crashes.
TEST_F(Cap32Test, BadArgumentsGetDistinctStatuses) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    CapSessionBlock fresh;
    std::memset(&fresh, 0, sizeof fresh);
    CapUserRecord user = ControlUserRecord();
    CapUserRecord wrongVersion = user;
    wrongVersion.version = 9;
    CapUserRecord noUserName = user;
    noUserName.userName = nullptr;
    CapConnectPsRecord ps = ControlConnectPsRecord(nullptr);
    CapConnectPsRecord wrongMode = ps;
    wrongMode.mode = 2;
    CapInitConnRecord pad = ControlInitConnRecord("PAD");
    CapInitConnRecord noName = ControlInitConnRecord(nullptr);
    CapInitConnRecord wrongKind = pad;
    wrongKind.kind = 2;
    CapPsStateRecord odd = PsStateRecord(271);
    CapKeysRecord noText = KeysRecord(nullptr, 5);
    char buffer[16];
    DWORD count = sizeof buffer, zero = 0;
    auto connectStatus = [&](CapSessionBlock* s, const CapConnectPsRecord* r) {
        CapHandle h = api.connectPs(s, r);
        if (h) api.disconnect(s, h);
        return h ? CapStatus(0) : CapSessionStatus(*s);
    };

    struct Row {
        const char* what;
        std::function<CapStatus()> call;
        CapStatus expected;
    };
    const Row rows[] = {
        {"inituser without block", [&] { return api.initUser(nullptr, &user); }, cap32::kStatusNullArgument},
        {"inituser without record", [&] { return api.initUser(&fresh, nullptr); }, cap32::kStatusNullArgument},
        {"inituser version 9", [&] { return api.initUser(&fresh, &wrongVersion); }, cap32::kStatusBadRecord},
        {"inituser without user name", [&] { return api.initUser(&fresh, &noUserName); }, cap32::kStatusBadRecord},
        {"connectps without block", [&] { return CapStatus(api.connectPs(nullptr, &ps) ? 0 : 1); }, 1},
        {"connectps before inituser", [&] { return connectStatus(&fresh, &ps); }, cap32::kStatusNoUser},
        {"connectps without record", [&] { return connectStatus(&session, nullptr); }, cap32::kStatusNullArgument},
        {"connectps mode 2", [&] { return connectStatus(&session, &wrongMode); }, cap32::kStatusBadRecord},
        {"initconn unknown handle", [&] { return api.initConn(&session, handle + 100, &pad); }, cap32::kStatusBadHandle},
        {"initconn handle 0", [&] { return api.initConn(&session, 0, &pad); }, cap32::kStatusBadHandle},
        {"initconn without record", [&] { return api.initConn(&session, handle, nullptr); }, cap32::kStatusNullArgument},
        {"initconn without name", [&] { return api.initConn(&session, handle, &noName); }, cap32::kStatusBadRecord},
        {"initconn kind 2", [&] { return api.initConn(&session, handle, &wrongKind); }, cap32::kStatusBadRecord},
        {"initconn twice", [&] { return api.initConn(&session, handle, &pad); }, cap32::kStatusAlreadyConnected},
        {"initconn other block", [&] { return api.initConn(&fresh, handle, &pad); }, cap32::kStatusNoUser},
        {"setpsstate 271", [&] { return api.setPsState(&session, handle, &odd); }, cap32::kStatusBadState},
        {"setpsstate without record", [&] { return api.setPsState(&session, handle, nullptr); }, cap32::kStatusNullArgument},
        {"receive without buffer", [&] { return api.receive(&session, handle, nullptr, &count); }, cap32::kStatusNullArgument},
        {"receive without count", [&] { return api.receive(&session, handle, buffer, nullptr); }, cap32::kStatusNullArgument},
        {"receive count 0", [&] { return api.receive(&session, handle, buffer, &zero); }, cap32::kStatusBadRecord},
        {"receive without block", [&] { return api.receive(nullptr, handle, buffer, &count); }, cap32::kStatusNullArgument},
        {"prockeys without record", [&] { return api.procKeys(&session, handle, nullptr); }, cap32::kStatusNullArgument},
        {"prockeys without text", [&] { return api.procKeys(&session, handle, &noText); }, cap32::kStatusBadRecord},
        {"termconn unknown handle", [&] { return api.termConn(&session, 7); }, cap32::kStatusBadHandle},
        {"disconect unknown handle", [&] { return api.disconnect(&session, 7); }, cap32::kStatusBadHandle},
        {"termuser of a block never set up", [&] { return api.termUser(&fresh); }, cap32::kStatusNoUser},
        {"termuser without block", [&] { return api.termUser(nullptr); }, cap32::kStatusNullArgument},
    };
    for (const Row& row : rows) EXPECT_EQ(row.call(), row.expected) << row.what;
    // The connection still works after all that.
    EXPECT_EQ(Send("ok"), 0);
    EXPECT_TRUE(peer.WaitForReceived("ok"));
}

TEST_F(Cap32Test, EachStageRefusesWhatItHasEnded) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    char buffer[16];
    DWORD count = sizeof buffer;
    ASSERT_EQ(api.termConn(&session, handle), 0);
    EXPECT_TRUE(peer.WaitForClientGone());
    EXPECT_EQ(api.termConn(&session, handle), cap32::kStatusNotConnected);
    EXPECT_EQ(api.receive(&session, handle, buffer, &count), cap32::kStatusNotConnected);
    EXPECT_EQ(Send("x"), cap32::kStatusNotConnected);
    ASSERT_EQ(api.disconnect(&session, handle), 0);
    EXPECT_EQ(api.disconnect(&session, handle), cap32::kStatusBadHandle);
    CapHandle ended = handle;
    handle = 0;
    ASSERT_EQ(api.termUser(&session), 0);
    userStarted = false;
    EXPECT_EQ(api.termUser(&session), cap32::kStatusNoUser);
    CapConnectPsRecord ps = ControlConnectPsRecord(nullptr);
    EXPECT_EQ(api.connectPs(&session, &ps), 0u);
    EXPECT_EQ(CapSessionStatus(session), cap32::kStatusNoUser);
    EXPECT_EQ(api.receive(&session, ended, buffer, &count), cap32::kStatusNoUser);
}

BOOL CALLBACK MatchEmulatorWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (process != GetCurrentProcessId() || std::strcmp(name, cap32::kEmulatorWindowClass) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The emulator window of this process's connection, or nullptr.
HWND FindEmulatorWindow() {
    HWND found = nullptr;
    EnumWindows(MatchEmulatorWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    // Sent to another thread's window: answered by the emulator's own thread.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
    return text;
}

template <class Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 300; ++i) {
        if (condition()) return true;
        Sleep(10);
    }
    return condition();
}

// This thread never pumps messages: the window must work all the same.
TEST_F(Cap32Test, TheEmulatorWindowShowsHidesAndListsTheTraffic) {
    UseConfig(PeerConfig());
    OpenService("PAD");
    HWND window = FindEmulatorWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(Eventually([&] { return WindowText(window) == "Telvora VT320 - PAD"; })) << WindowText(window);

    CapPsStateRecord show = PsStateRecord(kCapStateShow);
    ASSERT_EQ(api.setPsState(&session, handle, &show), 0);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(window) != FALSE; }));

    ASSERT_EQ(Send("STAT\r"), 0);
    peer.Send("FREE\r\n\xC6");
    CapStatus last;
    ASSERT_EQ(ReceiveBytes(7, last).size(), 7u) << "last status " << last;
    HWND listing = GetWindow(window, GW_CHILD);
    ASSERT_NE(listing, nullptr);
    std::string shown;
    EXPECT_TRUE(Eventually([&] { return (shown = WindowText(listing)).find("<< FREE<CR><LF>") != std::string::npos &&
                                        shown.find("<c6>") != std::string::npos; }))
        << shown;
    EXPECT_EQ(shown.find(">> STAT<CR>\r\n"), 0u) << shown;

    CapPsStateRecord hide = PsStateRecord(kCapStateHide);
    ASSERT_EQ(api.setPsState(&session, handle, &hide), 0);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(window) == FALSE; }));

    ASSERT_EQ(api.disconnect(&session, handle), 0);
    handle = 0;
    EXPECT_FALSE(IsWindow(window)) << "disconect ends the emulator window";
}

}  // namespace
