#include "ZStream.h"
#include <algorithm>
#include <memory>
#include <new>
#include <utility>
#include <vector>
#include "ZFrame.h"

namespace {

LARGE_INTEGER Offset(LONGLONG value) {
    LARGE_INTEGER result;
    result.QuadPart = value;
    return result;
}

// Reads exactly length bytes or fails.
bool ReadExactly(IStream* stream, void* buffer, ULONG length) {
    ULONG got = 0;
    HRESULT hr = stream->Read(buffer, length, &got);
    return SUCCEEDED(hr) && got == length;
}

}  // namespace

void CZStream::FinalRelease() {
    if (m_donor) {
        Flush();
        m_donor.Release();
    }
    if (m_parent) {
        CComPtr<IZParent> parent;
        if (SUCCEEDED(m_parent.QueryInterface(&parent))) parent->ChildStreamClosed(static_cast<IZStream*>(this));
        parent.Release();
        m_parent.Release();
    }
    m_image.Clear();
}

STDMETHODIMP CZStream::get_Donor(IStream** donor) {
    if (!donor) return E_POINTER;
    return m_donor.CopyTo(donor);
}

STDMETHODIMP CZStream::put_Donor(IStream* donor) {
    // Held first: the new donor may be the one being let go.
    CComPtr<IStream> incoming(donor);
    if (m_donor) {
        Flush();
        m_donor.Release();
    }
    m_image.Clear();
    m_position = 0;
    m_compressed = true;
    m_dirty = false;
    if (!incoming) return S_OK;
    m_donor = std::move(incoming);
    return Attach();
}

HRESULT CZStream::Attach() {
    STATSTG stat = {};
    HRESULT hr = m_donor->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr)) return hr;
    ULARGE_INTEGER current = {};
    hr = m_donor->Seek(Offset(0), STREAM_SEEK_CUR, &current);
    if (FAILED(hr)) return hr;
    const std::uint64_t donorSize = stat.cbSize.QuadPart;
    m_position = current.QuadPart;
    // Whatever was attached is written back on the first flush of a writable stream.
    m_dirty = true;

    if (donorSize == 0) {
        if (!m_image.Allocate(0)) return E_OUTOFMEMORY;
        return S_OK;
    }
    unsigned char magic[4] = {};
    bool framed = donorSize >= 4 && SUCCEEDED(m_donor->Seek(Offset(0), STREAM_SEEK_SET, nullptr)) &&
                  ReadExactly(m_donor, magic, 4) && zframe::HasFrameMagic(magic, 4);
    if (!framed) {
        // Written without compression: every call goes straight to the donor.
        m_compressed = false;
        m_donor->Seek(Offset(static_cast<LONGLONG>(current.QuadPart)), STREAM_SEEK_SET, nullptr);
        return S_OK;
    }
    return ReadFrame(donorSize);
}

HRESULT CZStream::ReadFrame(std::uint64_t donorSize) {
    unsigned char headerBytes[zframe::kHeaderSize];
    if (FAILED(m_donor->Seek(Offset(0), STREAM_SEEK_SET, nullptr)) ||
        !ReadExactly(m_donor, headerBytes, sizeof headerBytes))
        return STG_E_DOCFILECORRUPT;
    zframe::FrameHeader header;
    // The header's sizes are checked against what the donor holds before anything is allocated.
    if (zframe::ReadHeader(headerBytes, sizeof headerBytes, donorSize, header) != zframe::FrameError::None)
        return STG_E_DOCFILECORRUPT;

    std::unique_ptr<std::uint8_t[]> compressed(new (std::nothrow) std::uint8_t[header.compressedSize + 1]);
    if (!compressed) return E_OUTOFMEMORY;
    if (header.compressedSize > 0 && !ReadExactly(m_donor, compressed.get(), header.compressedSize))
        return STG_E_DOCFILECORRUPT;
    if (!m_image.Allocate(header.uncompressedSize)) return E_OUTOFMEMORY;
    if (zframe::DecodePayload(header, compressed.get(), m_image.Data()) != zframe::FrameError::None) {
        m_image.Clear();
        return STG_E_DOCFILECORRUPT;
    }
    return S_OK;
}

STDMETHODIMP CZStream::Flush() {
    if (!(m_mode & (STGM_WRITE | STGM_READWRITE))) return S_OK;
    // Nothing to write to; and a plain stream already holds everything that was written.
    if (!m_donor || PassThrough()) return S_OK;
    if (!m_dirty) return S_OK;
    if (!HasImage()) return STG_E_DOCFILECORRUPT;

    // The whole frame is made in memory first: if compression fails, the donor keeps its old frame.
    std::vector<std::uint8_t> frame;
    zframe::FrameError error = zframe::EncodeFrame(m_image.Data(), m_image.Size(), frame);
    if (error == zframe::FrameError::OutOfMemory) return E_OUTOFMEMORY;
    if (error != zframe::FrameError::None) return E_FAIL;

    HRESULT hr = m_donor->Seek(Offset(0), STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) return hr;
    ULARGE_INTEGER zero = {};
    hr = m_donor->SetSize(zero);
    if (FAILED(hr)) return hr;
    ULONG written = 0;
    hr = m_donor->Write(frame.data(), static_cast<ULONG>(frame.size()), &written);
    if (FAILED(hr)) return hr;
    if (written != frame.size()) return STG_E_WRITEFAULT;
    m_compressed = true;
    m_dirty = false;
    return S_OK;
}

STDMETHODIMP CZStream::Read(void* pv, ULONG cb, ULONG* pcbRead) {
    if (PassThrough()) return m_donor->Read(pv, cb, pcbRead);
    if (!HasImage()) {
        if (pcbRead) *pcbRead = 0;
        return STG_E_DOCFILECORRUPT;
    }
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    const std::uint64_t size = m_image.Size();
    ULONG n = 0;
    if (m_position < size) n = static_cast<ULONG>(std::min<std::uint64_t>(cb, size - m_position));
    if (n) std::memcpy(pv, m_image.Data() + m_position, n);
    m_position += n;
    if (pcbRead) *pcbRead = n;
    return S_OK;
}

STDMETHODIMP CZStream::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
    if (PassThrough()) return m_donor->Write(pv, cb, pcbWritten);
    if (pcbWritten) *pcbWritten = 0;
    if (!HasImage()) return STG_E_DOCFILECORRUPT;
    if (!pv && cb) return STG_E_INVALIDPOINTER;
    if (m_position > SIZE_MAX - cb) return STG_E_MEDIUMFULL;
    if (!m_image.WriteAt(static_cast<std::size_t>(m_position), pv, cb)) return STG_E_MEDIUMFULL;
    m_position += cb;
    if (pcbWritten) *pcbWritten = cb;
    m_dirty = true;
    return S_OK;
}

STDMETHODIMP CZStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
    if (PassThrough()) return m_donor->Seek(move, origin, newPosition);
    if (!HasImage()) return STG_E_DOCFILECORRUPT;
    const std::int64_t size = static_cast<std::int64_t>(m_image.Size());
    std::int64_t target;
    if (origin == STREAM_SEEK_SET)
        target = move.QuadPart;
    else if (origin == STREAM_SEEK_CUR)
        target = static_cast<std::int64_t>(m_position) + move.QuadPart;
    else
        target = size + move.QuadPart;
    target = std::max<std::int64_t>(std::min<std::int64_t>(target, size), 0);
    m_position = static_cast<std::uint64_t>(target);
    if (newPosition) newPosition->QuadPart = m_position;
    return S_OK;
}

STDMETHODIMP CZStream::SetSize(ULARGE_INTEGER newSize) {
    if (PassThrough()) return m_donor->SetSize(newSize);
    if (!HasImage()) return STG_E_DOCFILECORRUPT;
    if (newSize.QuadPart > SIZE_MAX) return STG_E_MEDIUMFULL;
    if (!m_image.Resize(static_cast<std::size_t>(newSize.QuadPart))) return STG_E_MEDIUMFULL;
    m_dirty = true;
    return S_OK;
}

STDMETHODIMP CZStream::CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                              ULARGE_INTEGER* pcbWritten) {
    if (PassThrough()) return m_donor->CopyTo(target, cb, pcbRead, pcbWritten);
    if (pcbRead) pcbRead->QuadPart = 0;
    if (pcbWritten) pcbWritten->QuadPart = 0;
    if (!HasImage()) return STG_E_DOCFILECORRUPT;
    if (!target) return STG_E_INVALIDPOINTER;
    const std::uint64_t size = m_image.Size();
    std::uint64_t remaining = m_position < size ? std::min<std::uint64_t>(cb.QuadPart, size - m_position) : 0;
    std::uint64_t read = 0, written = 0;
    HRESULT hr = S_OK;
    while (remaining > 0) {
        ULONG chunk = static_cast<ULONG>(std::min<std::uint64_t>(remaining, 0x40000000u));
        ULONG done = 0;
        hr = target->Write(m_image.Data() + m_position, chunk, &done);
        read += chunk;
        written += done;
        m_position += chunk;
        remaining -= chunk;
        if (FAILED(hr) || done != chunk) break;
    }
    if (pcbRead) pcbRead->QuadPart = read;
    if (pcbWritten) pcbWritten->QuadPart = written;
    return hr;
}

STDMETHODIMP CZStream::Commit(DWORD flags) {
    HRESULT hr = Flush();
    if (FAILED(hr)) return hr;
    return m_donor ? m_donor->Commit(flags) : S_OK;
}

STDMETHODIMP CZStream::Revert() {
    if (!m_donor) return S_OK;
    CComPtr<IStream> donor(m_donor);
    const std::uint64_t position = m_position;
    const bool wasCompressed = m_compressed;
    put_Donor(donor);
    // Reading back puts the image position at the donor's; keep the caller's place instead.
    if (wasCompressed && m_compressed && HasImage()) m_position = std::min<std::uint64_t>(position, m_image.Size());
    return S_OK;
}

STDMETHODIMP CZStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CZStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CZStream::Clone(IStream** clone) {
    if (clone) *clone = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CZStream::Stat(STATSTG* stat, DWORD flags) {
    if (!stat) return STG_E_INVALIDPOINTER;
    if (!m_donor) return E_FAIL;
    HRESULT hr = m_donor->Stat(stat, flags);
    if (FAILED(hr)) return hr;
    stat->grfMode = m_mode;
    if (m_compressed) {
        stat->grfLocksSupported = 0;
        stat->cbSize.QuadPart = m_image.Size();
    }
    return hr;
}

STDMETHODIMP CZStream::SetParent(IUnknown* parent) {
    if (m_parent) return E_FAIL;
    if (!parent) return E_POINTER;
    return parent->QueryInterface(IID_IZStorage, reinterpret_cast<void**>(&m_parent));
}

STDMETHODIMP CZStream::SetMode(DWORD mode) {
    m_mode = mode;
    return S_OK;
}
