#include "Profiler.h"

#include "ClException.h"
#include "ClFile.h"
#include "Registry.h"

IMPLEMENT_SERIAL(CProfiler, CObject, 0)

CProfiler::CProfiler() = default;

CProfiler::~CProfiler() = default;

void CProfiler::Serialize(CArchive& ar)
{
    if (ar.IsLoading())
        m_bLoaded = true;
}

void CProfiler::InitNew()
{
    m_bLoaded = true;
}

void CProfiler::Clear()
{
    m_bLoaded = false;
}

bool CProfiler::LoadData(CString path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return false;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

bool CProfiler::SaveData(CString path)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return false;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

bool CProfiler::LoadDescription(const CString& path, CDialogInfo& info)
{
    CRegistry registry(TRUE, TRUE);
    if (!registry.Open(path))
        return false;
    info.Load(&registry);
    registry.Close();
    return true;
}

bool CProfiler::LoadDataFromRegistry(CString name)
{
    const CString base = "SOFTWARE\\" + m_strFamilyRootName + "\\" + name + "\\Options\\General\\";
    LoadDescription(base + "AboutBox", m_AboutBox);
    LoadDescription(base + "StartDialog", m_StartDialog);
    m_bLoaded = true;
    return true;
}

bool CProfiler::GetProductName(CString& out) const
{
    if (!m_bLoaded)
        return false;
    out = m_strProductName;
    return true;
}

bool CProfiler::GetAboutDialogInfo(CDialogInfo& out) const
{
    if (!m_bLoaded || !m_AboutBox.IsInitialized())
        return false;
    out.Duplicate(&m_AboutBox);
    return true;
}

bool CProfiler::GetStartDialogInfo(CDialogInfo& out) const
{
    if (!m_bLoaded || !m_StartDialog.IsInitialized())
        return false;
    out.Duplicate(&m_StartDialog);
    return true;
}
