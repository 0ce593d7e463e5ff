#pragma once
// An object that is its own single outgoing connection point (and the container of it): the
// drawing controls for ITarnSiteEvents; the canvas, inserter and notificator for ITarnViewEvents.
// The sink list is walked under its lock whenever an event is fired, and advising and unadvising
// take the same lock, so the list cannot change underneath a firing.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

// Enumerators over a snapshot, each holding its own references.
HRESULT CreateConnectionsEnum(const std::vector<IUnknown*>& sinks, IEnumConnections** result);
HRESULT CreateConnectionPointsEnum(IConnectionPoint* point, IEnumConnectionPoints** result);

class CSinkList {
public:
    CSinkList();
    ~CSinkList();
    CSinkList(const CSinkList&) = delete;
    CSinkList& operator=(const CSinkList&) = delete;

    // The sink must answer iid; cookies count from 1 and are never reused.
    HRESULT Advise(IUnknown* sink, REFIID iid, DWORD* cookie);
    HRESULT Unadvise(DWORD cookie);
    HRESULT Enumerate(IEnumConnections** result);

    template <class Sink, class Call>
    void ForEach(Call call) {
        EnterCriticalSection(&lock_);
        // A snapshot: a sink may advise or unadvise (on this thread) while it is being called.
        const std::vector<IUnknown*> sinks = sinks_;
        for (IUnknown* sink : sinks)
            if (sink) call(static_cast<Sink*>(sink));
        LeaveCriticalSection(&lock_);
    }

private:
    CRITICAL_SECTION lock_;
    std::vector<IUnknown*> sinks_;  // index + 1 is the cookie; unadvised slots stay null
};

template <class Owner, class Sink, const IID* piid>
class CSingleConnectionPoint : public IConnectionPointContainer, public IConnectionPoint {
public:
    STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** points) override {
        return CreateConnectionPointsEnum(static_cast<IConnectionPoint*>(this), points);
    }
    STDMETHOD(FindConnectionPoint)(REFIID iid, IConnectionPoint** point) override {
        if (!point) return E_POINTER;
        *point = nullptr;
        if (!IsEqualIID(iid, *piid)) return CONNECT_E_NOCONNECTION;
        *point = static_cast<IConnectionPoint*>(this);
        (*point)->AddRef();
        return S_OK;
    }
    STDMETHOD(GetConnectionInterface)(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = *piid;
        return S_OK;
    }
    STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** container) override {
        if (!container) return E_POINTER;
        *container = static_cast<IConnectionPointContainer*>(this);
        (*container)->AddRef();
        return S_OK;
    }
    STDMETHOD(Advise)(IUnknown* sink, DWORD* cookie) override { return sinks_.Advise(sink, *piid, cookie); }
    STDMETHOD(Unadvise)(DWORD cookie) override { return sinks_.Unadvise(cookie); }
    STDMETHOD(EnumConnections)(IEnumConnections** connections) override { return sinks_.Enumerate(connections); }

protected:
    template <class Call>
    void ForEachSink(Call call) {
        sinks_.template ForEach<Sink>(call);
    }

private:
    CSinkList sinks_;
};
