// Error information for the Brevant object's failures.
#include "brevant_errors.h"
#include "brevant_api.h"
#include "bstr.h"
#include "com_ptr.h"

namespace brevant {

void ClearErrorInfo() { SetErrorInfo(0, nullptr); }

HRESULT ReportFailure(HRESULT result, const std::string& description, bool withInfo) {
    ClearErrorInfo();
    if (!withInfo) return result;
    fw::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.ReleaseAndGetAddressOf()))) return result;
    std::wstring text = fw::AnsiToWide(description);
    create->SetGUID(IID_IBrevant);
    create->SetSource(const_cast<LPOLESTR>(kErrorSource));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    fw::ComPtr<IErrorInfo> info = create.As<IErrorInfo>(IID_IErrorInfo);
    if (info) SetErrorInfo(0, info.Get());
    return result;
}

}  // namespace brevant
