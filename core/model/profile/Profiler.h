#pragma once
#include "ClArchive.h"
#include "ClObject.h"
#include "ClString.h"
#include "DialogInfo.h"
#include "TarnApi.h"

// What an installation tells the framework about the product: the about box and start dialog
// descriptions under the machine's software key, and a product name.
class TARN_API CProfiler : public CObject {
    DECLARE_SERIAL(CProfiler)
public:
    CProfiler();
    ~CProfiler() override;

    void Serialize(CArchive& ar) override;

    virtual void InitNew();
    virtual void Clear();
    // An archive file that carries no data: loading only marks the profile as loaded. FALSE when
    // the file cannot be opened or is not such an archive.
    virtual bool LoadData(CString path);
    virtual bool SaveData(CString path);
    // Reads HKEY_LOCAL_MACHINE\SOFTWARE\<family>\<name>\Options\General\AboutBox and ...\StartDialog;
    // a missing key leaves that description empty.
    virtual bool LoadDataFromRegistry(CString name);

    bool GetProductName(CString& out) const;
    void SetProductName(const CString& name) { m_strProductName = name; }
    bool GetAboutDialogInfo(CDialogInfo& out) const;
    bool GetStartDialogInfo(CDialogInfo& out) const;
    bool IsLoaded() const { return m_bLoaded; }

    // The family root name used by LoadDataFromRegistry (the application's).
    CString m_strFamilyRootName;

private:
    bool LoadDescription(const CString& path, CDialogInfo& info);

    bool m_bLoaded = false;
    CString m_strProductName;
    CDialogInfo m_AboutBox;
    CDialogInfo m_StartDialog;
};
