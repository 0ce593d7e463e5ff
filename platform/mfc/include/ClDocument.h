#pragma once
// CDocument: a document's name, modified state and the load and save of its data through an
// archive on a file. COleDocument keeps the document in a compound file: its data go to the
// stream "Contents" of the root storage.
#include "ClCmdTarget.h"
#include "ClCollections.h"
#include "ClString.h"

class CArchive;
class CDocTemplate;
class CFrameWnd;
class CView;
class CException;
class CFile;
class CFileException;

class CLASSLIB_API CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Keeps the full path; the title becomes the file's name.
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views showing the document. The document closes when its last view goes (m_bAutoDelete).
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
    CView* GetNextView(POSITION& rPosition) const { return static_cast<CView*>(m_viewList.GetNext(rPosition)); }
    // Every view but pSender gets OnUpdate(pSender, lHint, pHint).
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList();
    // Commands: the document's map, then its template's.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // Asks whether changes may be dropped (Yes saves first); FALSE when the user cancels.
    virtual BOOL SaveModified();
    // Closing pFrame may close the document: its changes are settled first.
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // Save under the document's name, or ask for one; FALSE when not saved.
    virtual BOOL DoFileSave();
    // Saves to lpszPathName (asking for a name when null); with bReplace the document takes the name.
    virtual BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
    void OnFileSave() { DoFileSave(); }
    void OnFileSaveAs() { DoSave(nullptr); }
    void OnFileClose();

    virtual BOOL OnNewDocument();
    // Load and save through an archive on the file. Failures are reported with
    // ReportSaveLoadException and answered FALSE; a failed save removes the half-written file.
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    // Tells the user why a load or save failed: the exception's own text when it has one, else
    // string nIDPDefault with the path for %1. A CUserException was reported already.
    virtual void ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);

    virtual CFile* GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
    virtual void ReleaseFile(CFile* pFile, BOOL bAbort);

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate;
    CPtrList m_viewList;
    BOOL m_bModified;
    BOOL m_bAutoDelete;   // OnCloseDocument deletes the document
    BOOL m_bEmbedded;
};

class CDocItem;
class COleClientItem;
class COleServerItem;

class CLASSLIB_API COleDocument : public CDocument
{
    DECLARE_DYNAMIC(COleDocument)
public:
    COleDocument();
    ~COleDocument() override;

    // Compound-file storage is on by default.
    void EnableCompoundFile(BOOL bEnable = TRUE) { m_bCompoundFile = bEnable; }
    BOOL HasCompoundFile() const { return m_bCompoundFile; }

    BOOL OnNewDocument() override;
    // Opens the file as a compound file (read-write, or read-only when the file allows no more)
    // and loads it with LoadFromStorage. The storage stays open while m_bRemember is set.
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    // Saves into the open storage when the path is the document's own, else into a new compound
    // file (which becomes the document's storage while m_bRemember is set).
    BOOL OnSaveDocument(LPCSTR lpszPathName) override;
    void OnCloseDocument() override;

    // "Contents" through an archive into Serialize. A missing stream throws CArchiveException
    // badSchema; other stream errors throw CFileException with the cause and the SCODE.
    virtual void LoadFromStorage();
    // Serialize (of pObject, or of the document) into a new "Contents", then commits the items
    // and the root storage. Errors throw.
    virtual void SaveToStorage(CObject* pObject = nullptr);
    // Called after a save with its outcome; items of the document commit or revert here.
    virtual void CommitItems(BOOL bSuccess);

    // The document's items (client and server items); the document deletes those left when
    // it is destroyed.
    virtual void AddItem(CDocItem* pItem);
    virtual void RemoveItem(CDocItem* pItem);
    POSITION GetStartPosition() const { return m_docItemList.GetHeadPosition(); }
    CDocItem* GetNextItem(POSITION& pos) const { return static_cast<CDocItem*>(m_docItemList.GetNext(pos)); }
    // The next item of that kind, or null when none is left.
    COleClientItem* GetNextClientItem(POSITION& pos) const;
    COleServerItem* GetNextServerItem(POSITION& pos) const;

    LPSTORAGE m_lpRootStg;
    BOOL m_bCompoundFile;
    BOOL m_bRemember;
    CPtrList m_docItemList;

protected:
    void ReleaseRootStorage();
};
