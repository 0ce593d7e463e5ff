#include "CompressedReadStream.h"
#include "FrameUnpack.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
const BYTE kFrameMagic[4] = {'N', 'R', 'A', 'T'};
const ULONG kReadStep = 64 * 1024;

// Reads the rest of a stream; the buffer grows only with bytes actually delivered.
HRESULT ReadToEnd(IStream* stream, std::vector<BYTE>& out)
{
    for (;;) {
        const size_t before = out.size();
        out.resize(before + kReadStep);
        ULONG got = 0;
        const HRESULT hr = stream->Read(out.data() + before, kReadStep, &got);
        got = std::min(got, kReadStep);
        out.resize(before + got);
        if (FAILED(hr))
            return hr;
        if (got == 0)
            return S_OK;
    }
}
}

HRESULT CCompressedReadStream::Create(CCompressedReadStream** out)
{
    if (!out)
        return E_POINTER;
    *out = new (std::nothrow) CCompressedReadStream();
    return *out ? S_OK : E_OUTOFMEMORY;
}

CCompressedReadStream::~CCompressedReadStream()
{
    DropDonor();
}

void CCompressedReadStream::DropDonor()
{
    if (m_donor)
        m_donor->Release();
    m_donor = nullptr;
    m_framed = false;
    m_content.clear();
    m_position = 0;
}

HRESULT CCompressedReadStream::put_Donor(IStream* donor)
{
    DropDonor();
    if (!donor)
        return S_OK;

    BYTE head[4] = {};
    ULONG got = 0;
    HRESULT hr = donor->Read(head, sizeof head, &got);
    if (FAILED(hr))
        return hr;
    got = std::min<ULONG>(got, sizeof head);

    if (got == sizeof head && std::memcmp(head, kFrameMagic, sizeof head) == 0) {
        std::vector<BYTE> frame(head, head + sizeof head);
        try {
            hr = ReadToEnd(donor, frame);
            if (FAILED(hr))
                return hr;
            std::vector<BYTE> content;
            hr = UnpackFrame(frame, content);
            if (FAILED(hr))
                return hr;
            m_content.swap(content);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        m_framed = true;
    } else if (got != 0) {
        // Not framed: the donor is read unchanged from where it stood.
        LARGE_INTEGER back;
        back.QuadPart = -static_cast<LONGLONG>(got);
        hr = donor->Seek(back, STREAM_SEEK_CUR, nullptr);
        if (FAILED(hr))
            return hr;
    }
    m_donor = donor;
    m_donor->AddRef();
    return S_OK;
}

HRESULT CCompressedReadStream::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) || IsEqualIID(riid, IID_IStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CCompressedReadStream::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG CCompressedReadStream::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CCompressedReadStream::Read(void* buffer, ULONG count, ULONG* read)
{
    if (read)
        *read = 0;
    if (!buffer && count)
        return STG_E_INVALIDPOINTER;
    if (!m_donor)
        return S_FALSE;
    if (!m_framed)
        return m_donor->Read(buffer, count, read);
    const size_t available = m_content.size() - m_position;
    const ULONG delivered = static_cast<ULONG>(std::min<size_t>(count, available));
    if (delivered)
        std::memcpy(buffer, m_content.data() + m_position, delivered);
    m_position += delivered;
    if (read)
        *read = delivered;
    return delivered == count ? S_OK : S_FALSE;
}

HRESULT CCompressedReadStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    if (!m_donor)
        return E_UNEXPECTED;
    if (!m_framed)
        return m_donor->Seek(move, origin, position);
    LONGLONG base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(m_position); break;
    case STREAM_SEEK_END: base = static_cast<LONGLONG>(m_content.size()); break;
    default: return STG_E_INVALIDFUNCTION;
    }
    const LONGLONG target = base + move.QuadPart;
    if (target < 0)
        return STG_E_INVALIDFUNCTION;
    m_position = static_cast<size_t>(std::min<LONGLONG>(target, static_cast<LONGLONG>(m_content.size())));
    if (position)
        position->QuadPart = m_position;
    return S_OK;
}

HRESULT CCompressedReadStream::Stat(STATSTG* stat, DWORD flags)
{
    if (!stat)
        return STG_E_INVALIDPOINTER;
    if (!m_donor)
        return E_UNEXPECTED;
    HRESULT hr = m_donor->Stat(stat, flags);
    if (SUCCEEDED(hr) && m_framed)
        stat->cbSize.QuadPart = m_content.size();
    return hr;
}
