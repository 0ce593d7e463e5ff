#pragma once
#include <windows.h>

#include "ProgramHeaders.h"
#include "ResourceTree.h"

// One open resource update of a program file: the file stays locked against all other access while
// the whole resource tree is edited in memory; only Commit writes.
class CResourceUpdate
{
public:
    CResourceUpdate() = default;
    ~CResourceUpdate();
    CResourceUpdate(const CResourceUpdate&) = delete;
    CResourceUpdate& operator=(const CResourceUpdate&) = delete;

    BOOL Open(const char* path, BOOL discardExisting);
    BOOL AddResource(UINT type, UINT name, UINT language, const void* data, DWORD size);
    BOOL Commit();
    void Close();

    const CResourceTree& Tree() const { return m_tree; }

private:
    bool WriteHeaders(const CProgramHeaders& headers);

    BOOL m_changed = FALSE;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    CProgramHeaders m_headers;
    CResourceTree m_tree;
};
