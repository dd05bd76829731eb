// The Portlex test fixture.
#include "portlex_fixture.h"

namespace testing_support {

namespace {
const char kMessageCaption[] = "Portlex error";
const int kMessageText = 215;
}  // namespace

MessageWindowWatch::MessageWindowWatch()
    : watcher_(new WindowWatcher(kMessageCaption, [this](HWND d) { Read(d); }, [this](HWND d) { Read(d); })) {}

void MessageWindowWatch::Read(HWND dialog) {
    std::string text = DialogItemText(dialog, kMessageText);
    std::lock_guard<std::mutex> guard(lock_);
    shown_ = true;
    // The template's placeholder shows until the window has filled it in.
    if (!text.empty() && text != "Error message") message_ = text;
}

std::string MessageWindowWatch::Message() {
    watcher_.reset();  // ends the watch: the window is gone by now
    std::lock_guard<std::mutex> guard(lock_);
    return message_;
}

bool MessageWindowWatch::Shown() {
    watcher_.reset();
    std::lock_guard<std::mutex> guard(lock_);
    return shown_;
}

void PortlexFixture::SetUp() {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"PORTLEX.PortlexCtrl.1", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control_.OutVoid()), S_OK);
    Call(L"SetMessageTimer", {LongArg(1)});
}

long PortlexFixture::Call(const wchar_t* name, std::vector<VARIANT> args) {
    fw::Variant result;
    HRESULT hr = CallByName(control_.Get(), name, DISPATCH_METHOD, std::move(args), &result);
    EXPECT_EQ(hr, S_OK) << std::hex << hr;
    return result.vt == VT_I4 ? result.lVal : 0x7fffffff;
}

long PortlexFixture::CallWatching(const wchar_t* name, std::vector<VARIANT> args, std::string* message) {
    MessageWindowWatch watch;
    long result = Call(name, std::move(args));
    *message = watch.Message();
    return result;
}

}  // namespace testing_support
