// Results of the Brevant object's own failures, and how a failure is reported:
// a negative HRESULT plus an error description for the calling thread.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>

namespace brevant {

constexpr HRESULT kNotOpen = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);
constexpr HRESULT kAlreadyOpen = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0202);
constexpr HRESULT kNotConnected = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0203);
constexpr HRESULT kAlreadyConnected = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0204);
constexpr HRESULT kPeerClosed = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0205);
constexpr HRESULT kFailureRequested = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0206);
constexpr HRESULT kConnectTimedOut = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0207);

// Source named in the error information.
constexpr wchar_t kErrorSource[] = L"Brevant";

// Sets the thread's error information to description (when withInfo) or clears
// it, and returns result.
HRESULT ReportFailure(HRESULT result, const std::string& description, bool withInfo);

// Clears the thread's error information (at the start of each operation).
void ClearErrorInfo();

}  // namespace brevant
