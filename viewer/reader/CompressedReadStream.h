#pragma once
#include <windows.h>
#include <objidl.h>

#include <vector>

// The read side of the compressed stream, made directly rather than through COM. Given a raw
// stream as its donor it serves the unpacked bytes of a "NRAT" frame, or the donor's own bytes
// when the stream is not framed. It never writes.
class CCompressedReadStream : public IStream
{
public:
    static HRESULT Create(CCompressedReadStream** out);

    // Takes the raw stream (and one reference to it). A frame is unpacked here, so a damaged frame
    // is refused at once with STG_E_DOCFILECORRUPT.
    HRESULT put_Donor(IStream* donor);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    // IStream
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

    bool IsFramed() const { return m_framed; }

private:
    CCompressedReadStream() = default;
    virtual ~CCompressedReadStream();
    void DropDonor();

    LONG m_references = 1;
    IStream* m_donor = nullptr;
    bool m_framed = false;
    std::vector<BYTE> m_content;   // the unpacked bytes of a framed stream
    size_t m_position = 0;
};
