#pragma once
#include <windows.h>

#include <vector>

#include "ClArchive.h"
#include "Persistent.h"
#include "TarnApi.h"

// A dialog description an installer keeps in the registry: the dialog item ("Dialog" sub-key with
// "Caption", "Width", "Height"), the standard static texts ("Title", "Text" values) and numbered
// items ("Static%d", "Button%d", "Image%d" sub-keys from 0 with "Text", "ID" and "Rect").
class TARN_API CDialogInfo : public CPersistent {
    DECLARE_SERIAL(CDialogInfo)
public:
    struct Item {
        enum Kind { Static, Button, Image } kind;
        CString text;
        int id;
        RECT rect;
    };

    CDialogInfo();
    ~CDialogInfo() override;

    // Reads the description at the registry's current key; initialised when the dialog item is
    // there. TRUE.
    BOOL Load(CRegistry* registry) override;
    void Duplicate(const CPersistent* source) override;
    BOOL IsInitialized() const { return m_bInitialized; }

    CString m_strCaption;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CString m_strTitle;
    CString m_strText;
    std::vector<Item> m_Items;

private:
    BOOL m_bInitialized = FALSE;
};
