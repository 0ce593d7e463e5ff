#include "ArchiveLimits.h"

#include "ClArchive.h"
#include "ClException.h"
#include "ClFile.h"

ULONGLONG ArchiveBytesLeft(CArchive& ar)
{
    // Flushing a loading archive puts the file back at the first byte not yet taken.
    ar.Flush();
    CFile* file = ar.GetFile();
    const ULONGLONG length = file->GetLength();
    const ULONGLONG position = file->GetPosition();
    return length > position ? length - position : 0;
}

DWORD ReadCheckedCount(CArchive& ar, ULONG minBytesEach)
{
    DWORD count = 0;
    ar >> count;
    if (minBytesEach == 0)
        minBytesEach = 1;
    if (count > ArchiveBytesLeft(ar) / minBytesEach)
        AfxThrowArchiveException(CArchiveException::badSchema);
    return count;
}
