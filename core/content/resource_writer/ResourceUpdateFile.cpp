#include "ResourceUpdateFile.h"

#include "ResourceUpdate.h"

#include <memory>
#include <new>

CResourceUpdate* BeginUpdateResourceFile(const char* path, int discardExisting)
{
    std::unique_ptr<CResourceUpdate> update(new (std::nothrow) CResourceUpdate);
    if (!update)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!update->Open(path, discardExisting))
        return nullptr;
    return update.release();
}

BOOL UpdateResourceFile(CResourceUpdate* update, UINT type, UINT name, UINT language, const void* data, DWORD size)
{
    if (!update)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return update->AddResource(type, name, language, data, size);
}

BOOL EndUpdateResourceFile(CResourceUpdate* update, int discard)
{
    if (!update)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::unique_ptr<CResourceUpdate> owned(update);
    if (discard)
    {
        owned->Close();
        return TRUE;
    }
    return owned->Commit();
}
