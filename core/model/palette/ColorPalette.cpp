#include "ColorPalette.h"

#include "ClArchive.h"
#include "ClException.h"
#include "ClFile.h"

BOOL ReadColorPaletteFile(const char* path, ColorPalette& palette)
{
    palette.m_name.Empty();
    palette.m_items.clear();
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    try {
        CArchive ar(&file, CArchive::load);
        CString magic;
        ar >> magic;
        if (magic.Compare("TARN") != 0)
            return FALSE;
        BYTE unused[2];
        if (ar.Read(unused, sizeof unused) != sizeof unused)
            AfxThrowArchiveException(CArchiveException::endOfFile, path);
        ar >> palette.m_name;
        DWORD count = 0;
        ar >> count;
        for (DWORD i = 0; i < count; ++i) {
            ColorPalette::Item item;
            DWORD color = 0;
            ar >> color;
            ar >> item.name;
            item.color = color;
            palette.m_items.push_back(item);
        }
        return TRUE;
    } catch (CException* e) {
        // A file cut short is treated like an unreadable one.
        e->Delete();
        palette.m_name.Empty();
        palette.m_items.clear();
        return FALSE;
    }
}
