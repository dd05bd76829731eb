// The registered Textpane control hosted for a test: in our form-style test container or in
// Wine's ATL host window, with the few calls the tests make on it through IDispatch.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <memory>
#include <ostream>
#include <string>
#include "atl_host.h"
#include "framework/com_ptr.h"
#include "test_container.h"

namespace hosted {

extern const wchar_t kTextpaneProgId[];

enum class HostKind { TestContainer, AtlHost };
const char* HostName(HostKind kind);
// For GoogleTest's names of parameterised tests.
void PrintTo(HostKind kind, std::ostream* out);

class TextpaneHost {
public:
    explicit TextpaneHost(HostKind kind);

    // Creates the control at `pixels`, lets it paint and reads its row height.
    // Any failure leaves its reason in LastError().
    HRESULT Create(SIZE pixels);
    IUnknown* Control() const;
    IDispatch* Dispatch() const { return dispatch_.Get(); }
    HWND Window() const;  // the control's own window (IOleInPlaceObject::GetWindow)
    void Pump(DWORD ms);
    // Closes the control as the host does when the form goes (ATL: by destroying its window).
    void Destroy();
    const std::string& LastError() const { return lastError_; }
    // Null when hosted by ATL.
    tc::TestContainer* Container() const { return container_.get(); }

private:
    HostKind kind_;
    std::unique_ptr<tc::TestContainer> container_;
    std::unique_ptr<tc::AtlHost> atl_;
    fw::ComPtr<IDispatch> dispatch_;
    std::string lastError_;
};

// IO(text): DISPID 1, a method with one BSTR argument.
HRESULT WriteText(IDispatch* textpane, const char* text);
// The stock Font (DISPID -512), read and written as IFontDisp.
fw::ComPtr<IFont> GetFont(IDispatch* control);
HRESULT PutFont(IDispatch* control, IFont* font);
fw::ComPtr<IFont> MakeFont(const wchar_t* name, LONGLONG sizeTimes10000, SHORT weight = FW_NORMAL);
// The font's name and size as "Small Fonts 67500", for comparisons that print well.
std::string FontText(IFont* font);
// Row height the control measures on the screen for this font: character height plus
// external leading of the font as OLE maps it at the screen's resolution.
int RowHeightOf(IFont* font);

}  // namespace hosted
