#pragma once
#include <objidl.h>

// Passes everything to an inner stream except Stat, as streams that cannot tell their size do.
class SizelessStream : public IStream {
public:
    explicit SizelessStream(IStream* inner) : m_inner(inner) { m_inner->AddRef(); }
    ~SizelessStream() { m_inner->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IStream || riid == IID_ISequentialStream) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* got) override { return m_inner->Read(data, size, got); }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* done) override
    {
        return m_inner->Write(data, size, done);
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        return m_inner->Seek(move, origin, position);
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override { return m_inner->SetSize(size); }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER n, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override
    {
        return m_inner->CopyTo(to, n, read, written);
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override { return m_inner->Commit(flags); }
    HRESULT STDMETHODCALLTYPE Revert() override { return m_inner->Revert(); }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    IStream* m_inner;
    ULONG m_refs = 1;
};
