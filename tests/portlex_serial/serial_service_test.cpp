// Open and Close of the serial service: the serial control hosted in its invisible dialog
// opens a real (pseudo-terminal backed) COM port.
#include <gtest/gtest.h>
#include "portlex_fixture.h"

using namespace testing_support;

namespace {

using SerialService = PortlexFixture;

TEST_F(SerialService, MscomStringsOpenThePortAndCloseReleasesIt) {
    for (const char* service : {"Mscom5,9600,n,8,1", "MSCOM5,19200,e,7,1,0", "mscom5,9600,n,8,1,2,0"}) {
        EXPECT_EQ(Call(L"Open", {StringArg(service)}), 0) << service;
        HWND terminal = FindProcessWindow("Portlex V3.4 - disconnected");
        EXPECT_NE(terminal, nullptr) << service;
        // The host dialog exists but is never shown.
        HWND host = FindProcessWindow("Mscomm32.ocx host dialog");
        ASSERT_NE(host, nullptr) << service;
        EXPECT_FALSE(IsWindowVisible(host));
        EXPECT_EQ(Call(L"Close"), 0) << service;
        EXPECT_FALSE(IsWindow(host)) << service;
        EXPECT_FALSE(IsWindow(terminal)) << service;
    }
}

TEST_F(SerialService, ControlExceptionsReachTheHostAsAutomationErrors) {
    for (const char* service : {"Mscom9,9600,n,8,1", "Mscom5,abc", "Mscom0"}) {
        fw::Variant result;
        EXCEPINFO error = {};
        HRESULT hr = CallByName(control_.Get(), L"Open", DISPATCH_METHOD, {StringArg(service)}, &result, &error);
        EXPECT_EQ(hr, DISP_E_EXCEPTION) << service;
        EXPECT_NE(fw::BstrToAnsi(error.bstrDescription), "") << service;
        SysFreeString(error.bstrSource);
        SysFreeString(error.bstrDescription);
        SysFreeString(error.bstrHelpFile);
        EXPECT_EQ(FindProcessWindow("Mscomm32.ocx host dialog"), nullptr) << "host left by " << service;
        EXPECT_EQ(Call(L"Close"), 0);
        // Nothing of the failed Open stands in the way of the next one.
        EXPECT_EQ(Call(L"Open", {StringArg("Mscom5")}), 0) << "after " << service;
        EXPECT_EQ(Call(L"Close"), 0);
    }
}

}  // namespace
