#pragma once
#include <windows.h>

#include <vector>

#include "ClString.h"
#include "TarnApi.h"
#include "geometry/PointF.h"

class COptionsManager;

// Items of the named lists kept by the options manager, each stored under its own "Item%i" key.
class TARN_API COptionsItem {
public:
    COptionsItem() = default;
    virtual ~COptionsItem() = default;
    COptionsItem(const COptionsItem&) = default;
    COptionsItem& operator=(const COptionsItem&) = default;

    virtual void Copy(const COptionsItem& other);
    virtual BOOL InitNew(const CString& name);
    // Read and write through the manager's registry at the item's key.
    virtual BOOL Load(COptionsManager* manager);
    virtual BOOL Store(COptionsManager* manager);

    CString m_strName;
};

class TARN_API CPrinterCalibrationItem : public COptionsItem {
public:
    void Copy(const COptionsItem& other) override;
    BOOL InitNew(const CString& name) override;
    BOOL Load(COptionsManager* manager) override;
    BOOL Store(COptionsManager* manager) override;

    CPointF m_OffsetPoint{0.0, 0.0};
};

class TARN_API CMailMessageItem : public COptionsItem {
public:
    void Copy(const COptionsItem& other) override;
    BOOL Load(COptionsManager* manager) override;
    BOOL Store(COptionsManager* manager) override;

    CString m_strMessageType;
    CString m_strSubject;
    CString m_strText;
};

// Read only: customisations are made by the installer.
class TARN_API CCustomMenuItem : public COptionsItem {
public:
    void Copy(const COptionsItem& other) override;
    BOOL Load(COptionsManager* manager) override;
    BOOL Store(COptionsManager* manager) override;

    DWORD m_nType = 0;
    CString m_strAction;
    DWORD m_nID = 0;
    DWORD m_nReferenceID = 0;
};

// Read only, like the menu items.
class TARN_API CCustomToolbarItem : public COptionsItem {
public:
    void Copy(const COptionsItem& other) override;
    BOOL Load(COptionsManager* manager) override;
    BOOL Store(COptionsManager* manager) override;

    DWORD m_nSrcBarID = 0;
    DWORD m_nSrcButtonID = 0;
    DWORD m_nDstBarID = 0;
    DWORD m_nInsertRefID = 0;
    bool m_bInsBefore = true;
    bool m_bDoCopy = false;
    DWORD m_nSeparatorBefore = 0;
    DWORD m_nSeparatorAfter = 0;
    std::vector<BYTE> m_ButtonImage;
    COLORREF m_clTransColor = 0xC0C0C0;
};

// Makes a new item of a list's class; a member of the manager so that a subclass chooses.
typedef COptionsItem* (COptionsManager::*OptionsItemFactory)();

// One registered list: its section, hive and level, and its items (owned).
class TARN_API CItemsList {
public:
    CItemsList(OptionsItemFactory factory, const CString& section, int hive, int level, bool keepExisting);
    ~CItemsList();
    CItemsList(const CItemsList&) = delete;
    CItemsList& operator=(const CItemsList&) = delete;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    COptionsItem* GetItem(int index) const
    {
        return index >= 0 && index < GetSize() ? m_items[static_cast<size_t>(index)] : nullptr;
    }
    std::vector<COptionsItem*>& Items() { return m_items; }
    void Clear();

    OptionsItemFactory m_factory;
    CString m_strSection;
    int m_nHive;   // 1 machine, 0 user
    int m_nLevel;  // 1 application key, 0 engine key
    bool m_bKeepExisting;

private:
    std::vector<COptionsItem*> m_items;
};
