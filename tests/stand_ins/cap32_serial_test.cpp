// Cap32.dll over a serial line: COM41 and COM42 are the two ends of one line
// (serial_ptys.sh joins them); the library drives COM41, this test COM42.
#include "cap32_api.h"
#include "cap_status.h"
#include "handles.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {

std::string Hex(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (unsigned char c : bytes) {
        snprintf(digits, sizeof digits, "%02x ", c);
        out += digits;
    }
    return out;
}

// The far end of the line, opened without the library.
fw::UniqueFile OpenFarEnd() {
    fw::UniqueFile port(CreateFileA("\\\\.\\COM42", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!port) return port;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS immediate{MAXDWORD, 0, 0, 0, 0};
    if (!GetCommState(port.Get(), &dcb) || !BuildCommDCBA("9600,n,8,1", &dcb) || !SetCommState(port.Get(), &dcb) ||
        !SetCommTimeouts(port.Get(), &immediate))
        port.Reset();
    return port;
}

class Cap32SerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(api.Complete());
        farEnd = OpenFarEnd();
        ASSERT_TRUE(farEnd) << "COM42 missing: serial_ptys.sh start has not run (error " << GetLastError() << ")";
        config.reset(new peers::TempFile(peers::ProgramFolder() + "\\cap32_serial_" +
                                             std::to_string(GetCurrentProcessId()) + ".ini",
                                         "[Services]\nLINE=COM41:9600,n,8,1\nNOWHERE=COM40\n"));
        environment.reset(new peers::ScopedEnvironment("CAP32_CONFIG", config->Path().c_str()));
        std::memset(&session, 0xCD, sizeof session);
        CapUserRecord user = ControlUserRecord();
        ASSERT_EQ(api.initUser(&session, &user), 0);
        CapConnectPsRecord ps = ControlConnectPsRecord(nullptr);
        handle = api.connectPs(&session, &ps);
        ASSERT_NE(handle, 0u) << "status " << CapSessionStatus(session);
    }

    void TearDown() override {
        if (handle) {
            api.termConn(&session, handle);
            api.disconnect(&session, handle);
        }
        api.termUser(&session);
    }

    std::string ReadFarEnd(size_t count) {
        std::string got;
        for (int tries = 0; tries < 500 && got.size() < count; ++tries) {
            char buffer[256];
            DWORD n = 0;
            if (!ReadFile(farEnd.Get(), buffer, sizeof buffer, &n, nullptr)) break;
            got.append(buffer, n);
            if (n == 0) Sleep(10);
        }
        return got;
    }

    Cap32Api api;
    fw::UniqueFile farEnd;
    std::unique_ptr<peers::TempFile> config;
    std::unique_ptr<peers::ScopedEnvironment> environment;
    CapSessionBlock session;
    CapHandle handle = 0;
};

TEST_F(Cap32SerialTest, KeysAndRepliesCrossTheSerialLineWithBit7Intact) {
    CapInitConnRecord line = ControlInitConnRecord("line");
    ASSERT_EQ(api.initConn(&session, handle, &line), 0);

    const std::string keys = "\x10STAT\r\xC4";
    CapKeysRecord record = KeysRecord(keys.c_str(), static_cast<DWORD>(keys.size()));
    ASSERT_EQ(api.procKeys(&session, handle, &record), 0);
    EXPECT_EQ(Hex(ReadFarEnd(keys.size())), Hex(keys));

    char buffer[64];
    DWORD n = sizeof buffer;
    EXPECT_EQ(api.receive(&session, handle, buffer, &n), kCapStatusNothingWaiting);
    EXPECT_EQ(n, 0u);

    const std::string reply = "FREE\r\n\x81\xFE";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(farEnd.Get(), reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr));
    std::string got;
    CapStatus status = 0;
    for (int tries = 0; tries < 500 && got.size() < reply.size(); ++tries) {
        n = sizeof buffer;
        status = api.receive(&session, handle, buffer, &n);
        if (status == 0) got.append(buffer, n);
        else if (status == kCapStatusNothingWaiting) Sleep(10);
        else break;
    }
    EXPECT_EQ(Hex(got), Hex(reply)) << "last status " << status;
}

TEST_F(Cap32SerialTest, APortThatCannotBeOpenedIsReported) {
    CapInitConnRecord nowhere = ControlInitConnRecord("NOWHERE");
    EXPECT_EQ(api.initConn(&session, handle, &nowhere), cap32::kStatusLineUnavailable);
}

}  // namespace
