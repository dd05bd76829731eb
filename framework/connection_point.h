// A connection point of a control: the event dispinterface or IPropertyNotifySink.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>
#include "com_object.h"
#include "com_ptr.h"

namespace fw {

class ConnectionPoint : public ComObject<IConnectionPoint> {
public:
    // container is not referenced: the control owns its points and outlives them in use.
    ConnectionPoint(IConnectionPointContainer* container, REFIID iid) : container_(container), iid_(iid) {}

    const IID& Iid() const { return iid_; }
    // Calls a method without arguments on every sink of a dispinterface.
    void FireDispatch(DISPID id);
    // Tells every IPropertyNotifySink that a property changed.
    void NotifyChanged(DISPID id);
    // Drops every sink (the control goes away).
    void DisconnectAll() { sinks_.clear(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

private:
    void* FindInterface(REFIID iid) override;
    struct Sink {
        DWORD cookie;
        ComPtr<IUnknown> unknown;
    };
    IConnectionPointContainer* container_;
    IID iid_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

// Enumerator over a fixed list of connection points.
class ConnectionPointEnumerator : public ComObject<IEnumConnectionPoints> {
public:
    ConnectionPointEnumerator(std::vector<ComPtr<IConnectionPoint>> points, ULONG position = 0)
        : points_(std::move(points)), position_(position) {}
    STDMETHODIMP Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumConnectionPoints** out) override;

private:
    void* FindInterface(REFIID iid) override;
    std::vector<ComPtr<IConnectionPoint>> points_;
    ULONG position_;
};

}  // namespace fw
