#include "FrameUnpack.h"

#include "ZFrame.h"

HRESULT UnpackFrame(const std::vector<BYTE>& frame, std::vector<BYTE>& out)
{
    switch (zframe::DecodeFrame(frame.data(), frame.size(), out)) {
    case zframe::FrameError::None: return S_OK;
    case zframe::FrameError::OutOfMemory: return E_OUTOFMEMORY;
    default: return STG_E_DOCFILECORRUPT;
    }
}
