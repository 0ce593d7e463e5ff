#pragma once
// The card document: its sites (the design surfaces), its page list, its records and default
// controls, kept in a compound file whose main stream "Contents" holds the whole card.
#include <windows.h>
#include <objbase.h>

#include <vector>

#include "ClDocument.h"
#include "ClString.h"
#include "DocumentRecords.h"
#include "TarnApi.h"
#include "TarnControls.h"

class CTarnSite;
class CDrawOptions;
class CTarnPage;
class CTarnPageList;
class CTarnThumbnail;
class CMailLibrary;
class CTarnDocStyle;
class CPageSetupData;
class CSoundStore;
struct IZStorage;

// One entry of the table of known drawing controls: the tool that inserts it, the type id it is
// kept under, and its class.
struct KnownControl {
    int toolId;
    int typeId;
    CLSID clsid;
};

class TARN_API CTarnDoc : public COleDocument {
    DECLARE_DYNCREATE(CTarnDoc)
public:
    CTarnDoc();
    ~CTarnDoc() override;

    // ---- model
    BOOL OnNewDocument() override;
    void DeleteContents() override;
    virtual void CreateSites();
    virtual CTarnSite* CreateNewSite(int index);
    virtual CTarnPage* CreateNewPage(int index);
    virtual CTarnPageList* CreatePageList();
    virtual CTarnDocProperties* CreateTarnDocProperties();

    virtual void AddSite(CTarnSite* site);
    virtual void RemoveSite(CTarnSite* site);
    int GetSiteNumber() const { return static_cast<int>(m_sites.size()); }
    // Null outside the live list.
    CTarnSite* GetSiteByIndex(int index) const;
    CTarnSite* GetSite(int id) const;
    int GetNextSiteId() const { return m_nextSiteId; }
    int GetPageCount() const;
    CTarnPage* GetPage(int index) const;
    virtual void AddPage(CTarnPage* page);
    CTarnPageList* GetPageList() const { return m_pageList; }
    // The page's paper and margins, given to every site placed on it.
    virtual void ProcessPageSetupData(int page);
    virtual CPageSetupData* CreatePageSetupData();
    // The first live site made for that site style; null when none.
    CTarnSite* GetSiteByStyleID(int styleId) const;

    // ---- document styles
    // Applies a document style of the style library without recording undo: the sites take the
    // style's site styles (sites are added or removed to match) and the pages are made anew from
    // its page styles. An unknown style changes nothing.
    virtual void SetStyleWOUndo(int styleId);
    virtual void SetStyleWOUndo(const CTarnDocStyle* style);
    // The options' "DefaultDocStyle"; 0 without options.
    int DefaultDocStyle() const;
    CTarnDocProperties* GetProperties() const { return m_properties; }

    // Operations forwarded to a site by id. An id that no live site has does nothing; the answer
    // says so (FALSE, or -1 for positions and counts).
    BOOL InsertControl(int id, IBaseControl* control, long position);
    BOOL DeleteControl(int id, IBaseControl* control);
    int GetControlCount(int id) const;
    int GetControlPosition(int id, IBaseControl* control) const;
    // Draws the site of that id into the device context (coordinates of the request's zoom).
    virtual void OnDraw(HDC dc, CDrawOptions* options, int id);

    // ---- the file
    void Serialize(CArchive& ar) override;
    virtual void SerializeSignature(CArchive& ar);
    virtual void SerializeVersion(CArchive& ar);
    virtual void SerializeProperties(CArchive& ar);
    virtual void SerializeStartData(CArchive& ar);
    virtual void SerializeSites(CArchive& ar);
    virtual void SerializePages(CArchive& ar);
    virtual void SerializeFinishData(CArchive& ar);
    // The sound lists, in the stream "Sounds" of the root storage as it is presented.
    virtual void SerializeSounds(CArchive& ar);
    virtual void SerializeThumbnails(CArchive& ar);
    virtual void SerializeDefControls(CArchive& ar);
    virtual void AfterSerialize(CArchive& ar);
    virtual void CreateDefControls();
    // The known drawing controls: the application's table of control kinds.
    virtual const std::vector<KnownControl>& GetKnownControls() const;
    virtual CTarnThumbnail* CreateThumbnail();

    void LoadFromStorage() override;
    void SaveToStorage(CObject* pObject = nullptr) override;
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    // Writes the card into a new file beside the target and puts it in the target's place only
    // when everything was written: a failed save leaves the file as it was.
    BOOL OnSaveDocument(LPCSTR lpszPathName) override;
    // Save: an untitled card takes the save-as road; a card opened read-only is opened again for
    // writing when its file allows it, otherwise the user is offered to save it under a new name.
    BOOL DoFileSave() override;
    // Saves into path; without one the user chooses the file. With replace the file becomes the
    // document's own (save-as); without, a copy is written and the document stays as it was.
    BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE) override;
    // Asks the user for the file to save into, starting from name: TRUE with the choice in name,
    // FALSE when cancelled.
    virtual BOOL PromptSaveFileName(CString& name, BOOL replace);
    void ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault) override;
    // Tells the user; tests and batch callers capture it instead.
    virtual int ShowMessage(const CString& text, UINT type);

    int GetDocVersion() const { return m_docVersion; }
    BOOL IsBad() const { return m_bad; }
    BOOL IsReadOnly() const { return m_readOnly; }
    void HideLoadException(int hide) { m_hideLoadException = hide; }
    // Every site and its controls learn it too, so that controls write their viewer form.
    virtual void SetFlag_SaveForViewer(int on);
    int GetFlag_SaveForViewer() const { return m_saveForViewer; }
    BOOL IsTemplate() const { return m_isTemplate; }
    void SetIsTemplate(BOOL on) { m_isTemplate = on; }
    // Whether cards are stored compressed: the options' "SaveCompressedData" when the application
    // has options (on without them), unless a caller decided it for this document.
    virtual BOOL IsSaveCompressedData() const;
    void SetSaveCompressedData(BOOL on)
    {
        m_saveCompressed = on;
        m_saveCompressedChosen = TRUE;
    }
    IZStorage* GetZStorage() const { return m_zstorage; }
    CSoundStore* GetSoundStore() const { return m_soundStore; }
    // The sound step of assigning a card from another: appends copies of the other's lists.
    void CopySoundsFrom(const CTarnDoc& other);
    // Message text of the last failed open or save.
    const CString& GetLastReport() const { return m_lastReport; }

    // ---- a viewer program holding the card, and the card by mail
    // TRUE when the viewer copy was written.
    virtual BOOL OnSaveToViewer(const char* newFile);
    // TRUE when mail was reached (also when the user cancelled); every text may be null.
    virtual BOOL SendMailTo(const char* attachmentPath, const char* attachmentTitle, char* recipientName,
                            char* recipientAddress, char* subject, char* noteText);
    virtual BOOL IsCanSend();
    virtual CString GetEmptyViewerName();

    // Previews, one per site.
    int GetPreviewPagesNumber() const { return GetSiteNumber(); }
    virtual CString GetPreviewPageDescription(int page) const;

protected:
    // The mail library SendMailTo goes through; null: the system's.
    virtual CMailLibrary* GetMailLibrary() { return nullptr; }
    void RecomputeNextSiteId();
    void ReleaseSites();
    // Runs work with the root storage wrapped by the compressed-storage server.
    template <class Work>
    void WithWrappedRoot(bool wrap, Work work);

    CTarnDocProperties* m_properties = nullptr;
    CDocStartData* m_startData = nullptr;
    CDocFinishData* m_finishData = nullptr;
    int m_newSiteCount = 1;
    int m_nextSiteId = 0;
    int m_docVersion = 0;
    BOOL m_isTemplate = FALSE;
    BOOL m_readOnly = FALSE;
    BOOL m_bad = FALSE;
    int m_hideLoadException = 0;
    int m_saveForViewer = 0;
    BOOL m_saveCompressed = TRUE;
    BOOL m_saveCompressedChosen = FALSE;
    // Set while a card read from a file gets the pages of the default style.
    bool m_keepSurplusSites = false;
    std::vector<CTarnSite*> m_sites;
    std::vector<CTarnSite*> m_everAdded;
    CTarnPageList* m_pageList = nullptr;
    IZStorage* m_zstorage = nullptr;
    CSoundStore* m_soundStore = nullptr;
    CString m_lastReport;
    mutable std::vector<KnownControl> m_knownControls;
};
