// Brevant.dll registered and unregistered with regsvr32, as an installation
// would, and then created the way the control creates it.
#include "brevant_api.h"
#include "bstr.h"
#include "com_ptr.h"
#include "loopback_peer.h"
#include "registration.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <cstdio>

namespace {

std::string HexResult(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

const std::string kClassKey = "CLSID\\" + fw::GuidToString(CLSID_Brevant);
constexpr char kProgId[] = "Brevant.Connection.1";

class BrevantRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Another build's registration of the class is put back afterwards.
        hadRegistration = peers::ReadClassesRootValue(kClassKey + "\\InprocServer32", nullptr, previousPath);
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    void TearDown() override {
        CoUninitialize();
        if (hadRegistration) peers::Regsvr32(previousPath);
    }

    bool hadRegistration = false;
    std::string previousPath;
    const std::string dll = peers::ProgramFolder() + "\\Brevant.dll";
};

TEST_F(BrevantRegistrationTest, Regsvr32WritesTheKeysAndRemovesThemAgain) {
    ASSERT_EQ(peers::Regsvr32(dll), 0) << "regsvr32 " << dll;
    std::string value;
    ASSERT_TRUE(peers::ReadClassesRootValue(kClassKey + "\\InprocServer32", nullptr, value));
    EXPECT_EQ(lstrcmpiA(value.c_str(), dll.c_str()), 0) << value;
    ASSERT_TRUE(peers::ReadClassesRootValue(kClassKey + "\\InprocServer32", "ThreadingModel", value));
    EXPECT_EQ(value, "Apartment");
    ASSERT_TRUE(peers::ReadClassesRootValue(kClassKey, nullptr, value));
    EXPECT_EQ(value, "Brevant automation object");
    ASSERT_TRUE(peers::ReadClassesRootValue(kClassKey + "\\ProgID", nullptr, value));
    EXPECT_EQ(value, kProgId);
    ASSERT_TRUE(peers::ReadClassesRootValue(std::string(kProgId) + "\\CLSID", nullptr, value));
    EXPECT_EQ(value, fw::GuidToString(CLSID_Brevant));

    ASSERT_EQ(peers::Regsvr32(dll, true), 0) << "regsvr32 /u " << dll;
    EXPECT_FALSE(peers::ClassesRootKeyExists(kClassKey));
    EXPECT_FALSE(peers::ClassesRootKeyExists(kProgId));
    fw::ComPtr<IBrevant> object;
    HRESULT hr = CoCreateInstance(CLSID_Brevant, nullptr, kBrevantClassContext, IID_IBrevant, object.OutVoid());
    EXPECT_EQ(HexResult(hr), HexResult(REGDB_E_CLASSNOTREG));
}

TEST_F(BrevantRegistrationTest, TheRegisteredClassIsCreatedAsTheControlCreatesIt) {
    peers::LoopbackPeer peer;
    ASSERT_TRUE(peer.Listening());
    ASSERT_EQ(peers::Regsvr32(dll), 0);
    {
        fw::ComPtr<IBrevant> object;
        HRESULT hr = CoCreateInstance(CLSID_Brevant, nullptr, kBrevantClassContext, IID_IBrevant, object.OutVoid());
        ASSERT_EQ(HexResult(hr), HexResult(S_OK));
        ASSERT_EQ(object->SetParameters(fw::Bstr::FromAnsi(":timeout=3").Get()), S_OK);
        ASSERT_EQ(object->Open(), S_OK);
        ASSERT_EQ(object->Connect(fw::Bstr::FromAnsi(peer.Address()).Get()), S_OK);
        ASSERT_EQ(object->Write(fw::Bstr::FromAnsi("STAT\r").Get()), S_OK);
        EXPECT_TRUE(peer.WaitForReceived("STAT\r"));
        EXPECT_EQ(object->Close(), S_OK);
    }
    EXPECT_EQ(peers::Regsvr32(dll, true), 0);
}

}  // namespace
