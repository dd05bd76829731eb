// The operations of the Brevant object.
#include "brevant_object.h"
#include "brevant_errors.h"
#include "bstr.h"

namespace brevant {
namespace {

constexpr wchar_t kVersionText[] = L"Brevant stand-in 1.0";
constexpr char kInterruptByte = '\x03';  // what Interrupt sends on the line

}  // namespace

HRESULT BrevantObject::Create(REFIID iid, void** out) { return fw::CreateInstance<BrevantObject>(iid, out); }

BrevantObject::~BrevantObject() {
    connection_.Close();
    if (open_) WSACleanup();
}

void* BrevantObject::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IBrevant))
        return static_cast<IBrevant*>(this);
    return fw::Answer<ISupportErrorInfo>(this, iid, IID_ISupportErrorInfo);
}

STDMETHODIMP BrevantObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_IBrevant) ? S_OK : S_FALSE;
}

HRESULT BrevantObject::Fail(HRESULT result, const std::string& description) const {
    return ReportFailure(result, description, parameters_.errorInfo);
}

HRESULT BrevantObject::Requested(const char* operation) const {
    if (!parameters_.Fails(operation)) return S_OK;
    return Fail(kFailureRequested, std::string(operation) + " failed as the parameters asked");
}

HRESULT BrevantObject::SocketFailure(const char* action, int error) const {
    if (connection_.PeerGone())
        return Fail(kPeerClosed, "The connection to " + address_ + " was closed by the far end");
    return Fail(HRESULT_FROM_WIN32(error),
                std::string(action) + " " + address_ + " failed (Winsock error " + std::to_string(error) + ")");
}

STDMETHODIMP BrevantObject::GetVersion(BSTR* version) {
    ClearErrorInfo();
    if (!version) return Fail(E_POINTER, "GetVersion needs a place for the text");
    *version = SysAllocString(kVersionText);
    return *version ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP BrevantObject::SetParameters(BSTR parameters) {
    ClearErrorInfo();
    ParametersResult parsed = ParseParameters(fw::BstrToAnsi(parameters));
    if (!parsed.ok) return Fail(E_INVALIDARG, parsed.error);
    parameters_ = std::move(parsed.parameters);
    return S_OK;
}

STDMETHODIMP BrevantObject::Open() {
    ClearErrorInfo();
    if (HRESULT hr = Requested("open"); FAILED(hr)) return hr;
    if (open_) return Fail(kAlreadyOpen, "The Brevant object is already open");
    WSADATA data;
    if (int error = WSAStartup(MAKEWORD(2, 0), &data); error != 0)
        return Fail(HRESULT_FROM_WIN32(error), "Windows Sockets could not start (error " + std::to_string(error) + ")");
    open_ = true;
    return S_OK;
}

STDMETHODIMP BrevantObject::Connect(BSTR address) {
    ClearErrorInfo();
    if (HRESULT hr = Requested("connect"); FAILED(hr)) return hr;
    if (!open_) return Fail(kNotOpen, "Connect needs an open Brevant object");
    if (connection_.Connected()) return Fail(kAlreadyConnected, "Already connected to " + address_);
    std::string text = fw::BstrToAnsi(address);
    Address target;
    std::string error;
    if (!ParseAddress(text, target, error)) return Fail(E_INVALIDARG, error);
    address_ = target.host + ":" + std::to_string(target.port);
    if (int failure = connection_.Connect(target.port, parameters_.timeoutSeconds); failure != 0) {
        if (failure == WSAETIMEDOUT)
            return Fail(kConnectTimedOut, "No answer from " + address_ + " within " +
                                              std::to_string(parameters_.timeoutSeconds) + " seconds");
        return SocketFailure("Connecting to", failure);
    }
    return S_OK;
}

STDMETHODIMP BrevantObject::Write(BSTR text) {
    ClearErrorInfo();
    if (HRESULT hr = Requested("write"); FAILED(hr)) return hr;
    if (!connection_.Connected()) return Fail(kNotConnected, "Write needs a connection");
    std::string bytes = fw::BstrToAnsi(text);
    if (parameters_.crlf) bytes += "\r\n";
    if (int error = connection_.Send(bytes); error != 0) return SocketFailure("Sending to", error);
    return S_OK;
}

STDMETHODIMP BrevantObject::Read(BSTR* received) {
    ClearErrorInfo();
    if (!received) return Fail(E_POINTER, "Read needs a place for the text");
    *received = nullptr;
    if (HRESULT hr = Requested("read"); FAILED(hr)) return hr;
    if (!connection_.Connected()) return Fail(kNotConnected, "Read needs a connection");
    std::string bytes;
    if (int error = connection_.Receive(bytes); error != 0) return SocketFailure("Receiving from", error);
    // The caller turns the characters back into ANSI text with the same code page.
    *received = fw::Bstr::FromAnsi(bytes).Detach();
    return *received ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP BrevantObject::Disconnect(BSTR) {
    ClearErrorInfo();
    if (HRESULT hr = Requested("disconnect"); FAILED(hr)) return hr;
    if (!connection_.Connected()) return S_FALSE;
    connection_.Close();
    return S_OK;
}

STDMETHODIMP BrevantObject::Close() {
    ClearErrorInfo();
    if (HRESULT hr = Requested("close"); FAILED(hr)) return hr;
    if (!open_) return S_FALSE;
    connection_.Close();
    WSACleanup();
    open_ = false;
    return S_OK;
}

STDMETHODIMP BrevantObject::IsConnected(VARIANT_BOOL* connected) {
    ClearErrorInfo();
    if (!connected) return Fail(E_POINTER, "IsConnected needs a place for the answer");
    *connected = connection_.Connected() && !connection_.PeerGone() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP BrevantObject::Interrupt() {
    ClearErrorInfo();
    if (HRESULT hr = Requested("interrupt"); FAILED(hr)) return hr;
    if (!connection_.Connected()) return S_FALSE;  // nothing to interrupt
    if (int error = connection_.Send(std::string(1, kInterruptByte)); error != 0)
        return SocketFailure("Interrupting", error);
    return S_OK;
}

}  // namespace brevant
