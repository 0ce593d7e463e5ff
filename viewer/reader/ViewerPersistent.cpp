#include "ViewerPersistent.h"

namespace {
const uint32_t kIdKeyBit = 0x40000000u;
}

bool CViewerPersistent::ReadPropertyList(CArchiveReader& archive, CViewerPropertyBag& bag)
{
    for (;;) {
        uint32_t key = 0;
        if (!archive.ReadU32(key))
            return false;
        if (key == 0)
            return true;
        std::string name;
        if (!(key & kIdKeyBit)) {
            std::vector<BYTE> nameBytes;
            if (!archive.ReadBlock(nameBytes, key))
                return false;
            name.assign(nameBytes.begin(), nameBytes.end());
        }
        uint32_t size = 0;
        if (!archive.ReadU32(size))
            return false;
        std::vector<BYTE> data;
        if (!archive.ReadBlock(data, size))
            return false;
        if (size == 0)
            continue;   // a record without value is not kept
        if (key & kIdKeyBit)
            bag.AddById(key, std::move(data));
        else
            bag.AddByName(std::move(name), std::move(data));
    }
}

bool CViewerPersistent::Load(CArchiveReader& archive)
{
    CViewerPropertyBag bag;
    if (!ReadPropertyList(archive, bag))
        return false;
    return OnLoadProperties(bag) == 0;
}

int CViewerPersistent::OnLoadProperties(CViewerPropertyBag&)
{
    return 0;
}

bool CViewerPersistent::LoadFromBytes(const void* data, size_t size, CViewerPersistent& object)
{
    CMemoryByteSource source(data, size);
    CArchiveReader archive(source);
    return object.Load(archive);
}
