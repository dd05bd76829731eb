// The Brevant object over a real line: a loopback peer on a thread of this
// program is the far end. The object comes from Brevant.dll's class object,
// loaded from beside the test program (registration is tested on its own).
#include "brevant_api.h"
#include "brevant_errors.h"
#include "bstr.h"
#include "com_ptr.h"
#include "loopback_peer.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <functional>
#include <string>

namespace {

using fw::Bstr;
using fw::ComPtr;

std::string HexResult(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x ", c);
        out += digits;
    }
    return out;
}

// The description of the thread's error information, or "<none>".
std::string TakeErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return "<none>";
    Bstr description;
    info->GetDescription(description.OutPtr());
    return description.ToAnsi();
}

class BrevantTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        module = LoadLibraryA("Brevant.dll");
        ASSERT_NE(module, nullptr) << "Brevant.dll not found beside the test program";
        auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_EQ(getClassObject(CLSID_Brevant, IID_IClassFactory, factory.OutVoid()), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBrevant, object.OutVoid()), S_OK);
        ASSERT_TRUE(peer.Listening());
    }

    void TearDown() override {
        object.Reset();
        factory.Reset();
        if (module) FreeLibrary(module);
        CoUninitialize();
    }

    HRESULT SetParameters(const char* text) { return object->SetParameters(Bstr::FromAnsi(text).Get()); }
    HRESULT Connect(const std::string& address) { return object->Connect(Bstr::FromAnsi(address).Get()); }
    HRESULT Write(const std::string& text) { return object->Write(Bstr::FromAnsi(text).Get()); }

    void OpenAndConnect(const char* parameters = "timeout=5") {
        ASSERT_EQ(SetParameters(parameters), S_OK);
        ASSERT_EQ(object->Open(), S_OK);
        ASSERT_EQ(Connect(peer.Address()), S_OK) << TakeErrorDescription();
        ASSERT_TRUE(peer.WaitForClient());
    }

    // Reads as the control does (characters back to ANSI) until count bytes came
    // or a failure ends it.
    std::string ReadBytes(size_t count, HRESULT& last) {
        std::string got;
        last = S_OK;
        for (int tries = 0; tries < 500 && got.size() < count; ++tries) {
            BSTR received = reinterpret_cast<BSTR>(1);  // marker: must be overwritten
            last = object->Read(&received);
            Bstr owned = Bstr::Attach(received);
            if (FAILED(last)) break;
            std::string chunk = owned.ToAnsi();
            EXPECT_EQ(SysStringByteLen(owned.Get()) / 2, chunk.size()) << "one character per byte";
            if (chunk.empty()) Sleep(10);
            got += chunk;
        }
        return got;
    }

    HMODULE module = nullptr;
    ComPtr<IClassFactory> factory;
    ComPtr<IBrevant> object;
    peers::LoopbackPeer peer;
};

TEST_F(BrevantTest, WrittenTextArrivesAtThePeerWithBit7Intact) {
    OpenAndConnect();
    const std::string text = "STAT\r\x80\xC4\xE9\xFFint\r";
    ASSERT_EQ(Write(text), S_OK) << TakeErrorDescription();
    ASSERT_TRUE(peer.WaitForReceivedBytes(text.size()));
    EXPECT_EQ(Hex(peer.Received()), Hex(text));
}

TEST_F(BrevantTest, CrlfAppendsALineEndToEachWrite) {
    OpenAndConnect("timeout=5;crlf=1");
    ASSERT_EQ(Write("CLR"), S_OK);
    ASSERT_EQ(Write(""), S_OK);
    ASSERT_TRUE(peer.WaitForReceivedBytes(7));
    EXPECT_EQ(peer.Received(), "CLR\r\n\r\n");
}

TEST_F(BrevantTest, BytesFromThePeerComeBackAsTheyCame) {
    OpenAndConnect();
    const std::string reply = std::string("FREE\r\n\x81\xC4\xFE\x7F", 10) + std::string(1, '\0') + "z";
    peer.Send(reply);
    HRESULT last;
    std::string got = ReadBytes(reply.size(), last);
    EXPECT_EQ(Hex(got), Hex(reply)) << "last result " << HexResult(last);
}

TEST_F(BrevantTest, ReadWithNothingWaitingGivesAnEmptyString) {
    OpenAndConnect();
    BSTR received = reinterpret_cast<BSTR>(1);
    ASSERT_EQ(object->Read(&received), S_OK);
    Bstr owned = Bstr::Attach(received);
    ASSERT_NE(owned.Get(), nullptr);
    EXPECT_EQ(owned.Length(), 0u);
}

TEST_F(BrevantTest, InterruptSendsEtxWhenConnectedAndIsFalseOtherwise) {
    EXPECT_EQ(object->Interrupt(), S_FALSE);
    OpenAndConnect();
    EXPECT_EQ(object->Interrupt(), S_OK);
    ASSERT_TRUE(peer.WaitForReceivedBytes(1));
    EXPECT_EQ(peer.Received(), "\x03");
}

TEST_F(BrevantTest, DisconnectAndCloseEndTheLineAndCanBeRepeated) {
    OpenAndConnect();
    VARIANT_BOOL connected = VARIANT_FALSE;
    ASSERT_EQ(object->IsConnected(&connected), S_OK);
    EXPECT_EQ(connected, VARIANT_TRUE);
    EXPECT_EQ(object->Disconnect(Bstr::FromAnsi("").Get()), S_OK);
    EXPECT_TRUE(peer.WaitForClientGone());
    EXPECT_EQ(object->Disconnect(Bstr::FromAnsi("").Get()), S_FALSE);
    ASSERT_EQ(object->IsConnected(&connected), S_OK);
    EXPECT_EQ(connected, VARIANT_FALSE);
    // The object can connect again while open.
    ASSERT_EQ(Connect(peer.Address()), S_OK) << TakeErrorDescription();
    EXPECT_TRUE(peer.WaitForClient());
    EXPECT_EQ(object->Close(), S_OK);
    EXPECT_TRUE(peer.WaitForClientGone());
    EXPECT_EQ(object->Close(), S_FALSE);
    EXPECT_EQ(object->Open(), S_OK) << "a closed object opens again";
}

class BrevantPeerGoneTest : public BrevantTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BrevantPeerGoneTest, ReadAndWriteFailWithADescriptionOnceThePeerIsGone) {
    OpenAndConnect();
    peer.Send("last");
    HRESULT last;
    ASSERT_EQ(ReadBytes(4, last), "last") << HexResult(last);
    peer.CloseClient(GetParam());
    ASSERT_TRUE(peer.WaitForClientGone());
    std::string more = ReadBytes(1, last);
    EXPECT_EQ(more, "");
    EXPECT_EQ(last, brevant::kPeerClosed) << HexResult(last);
    const std::string closed = "The connection to 127.0.0.1:" + std::to_string(peer.Port()) + " was closed by the far end";
    EXPECT_EQ(TakeErrorDescription(), closed);
    EXPECT_EQ(Write("STAT\r"), brevant::kPeerClosed);
    EXPECT_EQ(TakeErrorDescription(), closed);
    VARIANT_BOOL connected = VARIANT_TRUE;
    ASSERT_EQ(object->IsConnected(&connected), S_OK);
    EXPECT_EQ(connected, VARIANT_FALSE);
}

INSTANTIATE_TEST_SUITE_P(CloseOrReset, BrevantPeerGoneTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Reset" : "Close"; });

// Each failure: a negative HRESULT and, for the thread, an error description.
TEST_F(BrevantTest, FailuresGiveANegativeResultAndADescription) {
    ComPtr<ISupportErrorInfo> support = object.As<ISupportErrorInfo>(IID_ISupportErrorInfo);
    ASSERT_TRUE(support);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IBrevant), S_OK);

    const std::string unused = "127.0.0.1:" + std::to_string(peers::LoopbackPeer::UnusedPort());
    struct Row {
        const char* what;
        std::function<void()> before;  // brings the object into the state of the row
        std::function<HRESULT()> call;
        HRESULT expected;
        std::string description;
    };
    auto nothing = [] {};
    auto open = [&] { ASSERT_EQ(object->Open(), S_OK); };
    auto connect = [&] { open(); ASSERT_EQ(Connect(peer.Address()), S_OK); };
    BSTR ignored = nullptr;
    const Row rows[] = {
        {"unknown parameter", nothing, [&] { return SetParameters("speed=9600"); }, E_INVALIDARG,
         "Unknown parameter 'speed'"},
        {"Open twice", open, [&] { return object->Open(); }, brevant::kAlreadyOpen, "The Brevant object is already open"},
        {"Connect before Open", nothing, [&] { return Connect(peer.Address()); }, brevant::kNotOpen,
         "Connect needs an open Brevant object"},
        {"Connect elsewhere", open, [&] { return Connect("10.1.2.3:23"); }, E_INVALIDARG,
         "Only loopback addresses (127.0.0.1 or localhost) can be reached, not '10.1.2.3'"},
        {"Connect to port 0", open, [&] { return Connect("127.0.0.1:0"); }, E_INVALIDARG,
         "The port of '127.0.0.1:0' must be 1 to 65535"},
        {"Connect refused", open, [&] { return Connect(unused); }, HRESULT_FROM_WIN32(WSAECONNREFUSED),
         "Connecting to " + unused + " failed (Winsock error 10061)"},
        {"Connect twice", connect, [&] { return Connect(peer.Address()); }, brevant::kAlreadyConnected,
         "Already connected to " + peer.Address()},
        {"Write before Connect", open, [&] { return Write("x"); }, brevant::kNotConnected, "Write needs a connection"},
        {"Read before Connect", open, [&] { return object->Read(&ignored); }, brevant::kNotConnected,
         "Read needs a connection"},
        {"Read without a place", connect, [&] { return object->Read(nullptr); }, E_POINTER,
         "Read needs a place for the text"},
        {"fail=open", [&] { SetParameters("fail=open"); }, [&] { return object->Open(); }, brevant::kFailureRequested,
         "open failed as the parameters asked"},
        {"fail=write", [&] { connect(); SetParameters("fail=write"); }, [&] { return Write("x"); },
         brevant::kFailureRequested, "write failed as the parameters asked"},
        {"fail=read", [&] { connect(); SetParameters("fail=read"); }, [&] { return object->Read(&ignored); },
         brevant::kFailureRequested, "read failed as the parameters asked"},
        {"fail=connect", [&] { open(); SetParameters("fail=connect"); }, [&] { return Connect(peer.Address()); },
         brevant::kFailureRequested, "connect failed as the parameters asked"},
        {"fail=interrupt", [&] { SetParameters("fail=interrupt"); }, [&] { return object->Interrupt(); },
         brevant::kFailureRequested, "interrupt failed as the parameters asked"},
        {"errorinfo=0", [&] { connect(); SetParameters("errorinfo=0;fail=write"); }, [&] { return Write("x"); },
         brevant::kFailureRequested, "<none>"},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBrevant, object.OutVoid()), S_OK);  // a fresh object
        row.before();
        HRESULT hr = row.call();
        EXPECT_EQ(HexResult(hr), HexResult(row.expected)) << row.what;
        EXPECT_TRUE(FAILED(hr)) << row.what;
        EXPECT_EQ(TakeErrorDescription(), row.description) << row.what;
        SysFreeString(ignored);
        ignored = nullptr;
    }
    // A call that succeeds leaves no stale description behind.
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBrevant, object.OutVoid()), S_OK);
    EXPECT_TRUE(FAILED(object->Write(Bstr::FromAnsi("x").Get())));
    EXPECT_EQ(object->Open(), S_OK);
    EXPECT_EQ(TakeErrorDescription(), "<none>");
}

// The interface's slots in the order the control relies on, called by number.
TEST_F(BrevantTest, SlotsFollowTheInterfaceOrder) {
    void** slots = *reinterpret_cast<void***>(object.Get());
    using NoArgument = HRESULT(STDMETHODCALLTYPE*)(IBrevant*);
    using BstrArgument = HRESULT(STDMETHODCALLTYPE*)(IBrevant*, BSTR);
    using BstrOut = HRESULT(STDMETHODCALLTYPE*)(IBrevant*, BSTR*);
    auto slot = [&](int index) { return slots[index]; };

    Bstr parameters = Bstr::FromAnsi("crlf=1");
    ASSERT_EQ(reinterpret_cast<BstrArgument>(slot(8))(object.Get(), parameters.Get()), S_OK);  // SetParameters
    ASSERT_EQ(reinterpret_cast<NoArgument>(slot(9))(object.Get()), S_OK);                       // Open
    Bstr address = Bstr::FromAnsi(peer.Address());
    ASSERT_EQ(reinterpret_cast<BstrArgument>(slot(10))(object.Get(), address.Get()), S_OK);     // Connect
    ASSERT_TRUE(peer.WaitForClient());
    Bstr text = Bstr::FromAnsi("STAT");
    ASSERT_EQ(reinterpret_cast<BstrArgument>(slot(11))(object.Get(), text.Get()), S_OK);        // Write
    ASSERT_TRUE(peer.WaitForReceived("STAT\r\n"));
    peer.Send("FREE");
    std::string got;
    for (int i = 0; i < 300 && got.size() < 4; ++i, Sleep(10)) {
        BSTR received = nullptr;
        ASSERT_EQ(reinterpret_cast<BstrOut>(slot(12))(object.Get(), &received), S_OK);          // Read
        got += Bstr::Attach(received).ToAnsi();
    }
    EXPECT_EQ(got, "FREE");
    ASSERT_EQ(reinterpret_cast<NoArgument>(slot(16))(object.Get()), S_OK);                      // Interrupt
    ASSERT_TRUE(peer.WaitForReceived("\x03"));
    Bstr empty = Bstr::FromAnsi("");
    ASSERT_EQ(reinterpret_cast<BstrArgument>(slot(13))(object.Get(), empty.Get()), S_OK);       // Disconnect
    ASSERT_TRUE(peer.WaitForClientGone());
    ASSERT_EQ(reinterpret_cast<NoArgument>(slot(14))(object.Get()), S_OK);                      // Close
    EXPECT_EQ(reinterpret_cast<NoArgument>(slot(14))(object.Get()), S_FALSE);
}

TEST_F(BrevantTest, LateBindingReachesTheSameOperations) {
    ComPtr<IDispatch> dispatch = object.As<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(dispatch);
    auto id = [&](const wchar_t* name) {
        DISPID result = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &result), S_OK) << name;
        return result;
    };
    auto invoke = [&](DISPID member, const char* argument, VARIANT* result, EXCEPINFO* exception) {
        fw::Variant value;
        DISPPARAMS params{};
        if (argument) {
            value.vt = VT_BSTR;
            value.bstrVal = Bstr::FromAnsi(argument).Detach();
            params.rgvarg = &value;
            params.cArgs = 1;
        }
        return dispatch->Invoke(member, IID_NULL, 0, DISPATCH_METHOD, &params, result, exception, nullptr);
    };
    DISPID unknown = 0;
    LPOLESTR bogus[] = {const_cast<LPOLESTR>(L"Fly")};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, bogus, 1, 0, &unknown), DISP_E_UNKNOWNNAME);

    EXCEPINFO exception{};
    EXPECT_EQ(invoke(id(L"connect"), peer.Address().c_str(), nullptr, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(HexResult(exception.scode), HexResult(brevant::kNotOpen));
    EXPECT_EQ(fw::BstrToAnsi(exception.bstrDescription), "Connect needs an open Brevant object");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);

    ASSERT_EQ(invoke(id(L"Open"), nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(invoke(id(L"Connect"), peer.Address().c_str(), nullptr, nullptr), S_OK);
    ASSERT_TRUE(peer.WaitForClient());
    ASSERT_EQ(invoke(id(L"Write"), "hello", nullptr, nullptr), S_OK);
    ASSERT_TRUE(peer.WaitForReceived("hello"));
    peer.Send("world");
    std::string got;
    for (int i = 0; i < 300 && got.size() < 5; ++i, Sleep(10)) {
        fw::Variant result;
        ASSERT_EQ(invoke(id(L"Read"), nullptr, &result, nullptr), S_OK);
        ASSERT_EQ(result.vt, VT_BSTR);
        got += fw::BstrToAnsi(result.bstrVal);
    }
    EXPECT_EQ(got, "world");
    fw::Variant connected;
    ASSERT_EQ(invoke(id(L"IsConnected"), nullptr, &connected, nullptr), S_OK);
    EXPECT_EQ(connected.vt, VT_BOOL);
    EXPECT_EQ(connected.boolVal, VARIANT_TRUE);
    EXPECT_EQ(invoke(id(L"Write"), nullptr, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
}

TEST_F(BrevantTest, TheClassObjectRefusesAggregationAndTracksObjects) {
    ComPtr<IUnknown> instance;
    IUnknown* outer = object.Get();
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, instance.OutVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(instance.Get(), nullptr);
    auto canUnloadNow = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    object.Reset();
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
