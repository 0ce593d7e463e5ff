#pragma once
// ZStream: an IStream whose content is kept uncompressed in memory and stored in its donor stream
// as one compressed frame. A donor without the frame magic is served unchanged (pass-through).
#include <cstdint>
#include <atlcom.h>
#include "Mosk.h"
#include "ZImage.h"
#include "resource.h"

class CZStream : public CComObjectRoot,
                 public CComCoClass<CZStream, &CLSID_ZStream>,
                 public IZStream,
                 public IZChild {
public:
    DECLARE_REGISTRY_RESOURCEID(IDR_ZSTREAM)
    DECLARE_AGGREGATABLE(CZStream)

    BEGIN_COM_MAP(CZStream)
        COM_INTERFACE_ENTRY(IZStream)
        COM_INTERFACE_ENTRY(IStream)
        COM_INTERFACE_ENTRY(ISequentialStream)
        COM_INTERFACE_ENTRY(IZChild)
    END_COM_MAP()

    void FinalRelease();

    // ISequentialStream
    STDMETHOD(Read)(void* pv, ULONG cb, ULONG* pcbRead) override;
    STDMETHOD(Write)(const void* pv, ULONG cb, ULONG* pcbWritten) override;
    // IStream
    STDMETHOD(Seek)(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
    STDMETHOD(SetSize)(ULARGE_INTEGER newSize) override;
    STDMETHOD(CopyTo)(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                      ULARGE_INTEGER* pcbWritten) override;
    STDMETHOD(Commit)(DWORD flags) override;
    STDMETHOD(Revert)() override;
    STDMETHOD(LockRegion)(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD lockType) override;
    STDMETHOD(UnlockRegion)(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD lockType) override;
    STDMETHOD(Stat)(STATSTG* stat, DWORD flags) override;
    STDMETHOD(Clone)(IStream** clone) override;
    // IZStream
    STDMETHOD(get_Donor)(IStream** donor) override;
    STDMETHOD(put_Donor)(IStream* donor) override;
    // IZChild
    STDMETHOD(SetParent)(IUnknown* parent) override;
    STDMETHOD(SetMode)(DWORD mode) override;
    STDMETHOD(Flush)() override;

private:
    bool PassThrough() const { return !m_compressed; }
    bool HasImage() const { return m_image.HasBlock(); }
    HRESULT Attach();
    HRESULT ReadFrame(std::uint64_t donorSize);

    CComPtr<IStream> m_donor;
    CComPtr<IZStorage> m_parent;
    DWORD m_mode = 0;
    ZImage m_image;
    std::uint64_t m_position = 0;
    bool m_compressed = true;
    bool m_dirty = false;
};
