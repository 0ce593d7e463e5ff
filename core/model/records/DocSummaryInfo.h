#pragma once
#include <windows.h>
#include <objidl.h>

#include "ClString.h"
#include "TarnApi.h"

// The standard summary and document summary information of a card file: what the document
// properties keep of them and how they are written to and read from the compound file's property
// sets. Editing time is a duration in 100-nanosecond ticks, independent of any time zone.
class TARN_API CDocSummaryInfo {
public:
    CDocSummaryInfo();
    virtual ~CDocSummaryInfo();

    // Nothing for a null storage or one without property sets.
    virtual void SaveToPropStg(IStorage* storage);
    virtual void LoadFromPropStg(IStorage* storage);
    virtual void SaveSummaryInformation(IPropertySetStorage* sets);
    virtual void SaveDocSummaryInformation(IPropertySetStorage* sets);
    virtual void SaveUserDefinedProperties(IPropertySetStorage* sets);
    virtual void LoadSummaryInformation(IPropertySetStorage* sets);
    virtual void LoadDocSummaryInformation(IPropertySetStorage* sets);
    virtual void LoadUserDefinedProperties(IPropertySetStorage* sets);

    // Copies everything but the revision number, the last-printed and last-saved times and the
    // opening time.
    void CopyFrom(const CDocSummaryInfo& source);

    // The stored editing time plus the time since opening, in ticks.
    ULONGLONG EditingTimeNow() const;

    CString m_strTitle;
    CString m_strSubject;
    CString m_strAuthor;
    CString m_strKeywords;
    CString m_strComments;
    CString m_strTemplate;
    CString m_strLastAuthor;
    CString m_strRevNumber;
    FILETIME m_EditTime = {};  // a duration
    FILETIME m_LastPrinted = {};
    FILETIME m_Created = {};
    FILETIME m_LastSaved = {};
    int m_nPageCount = 0;
    CString m_strAppName;
    int m_nSecurity = 0;
    CString m_strCategory;
    CString m_strManager;
    CString m_strCompany;
    CString m_strExtraText;
    FILETIME m_Opened = {};

protected:
    // The clock; a seam for tests.
    virtual FILETIME CurrentTime() const;
};

// Property id of the summary set's extra text.
constexpr PROPID kPidExtraText = 255;
