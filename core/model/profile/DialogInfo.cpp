#include "DialogInfo.h"

#include "Registry.h"

IMPLEMENT_SERIAL(CDialogInfo, CPersistent, 0)

CDialogInfo::CDialogInfo() = default;

CDialogInfo::~CDialogInfo() = default;

BOOL CDialogInfo::Load(CRegistry* registry)
{
    m_bInitialized = FALSE;
    m_Items.clear();
    if (!registry)
        return TRUE;
    if (registry->Open("Dialog")) {
        registry->Read("Caption", m_strCaption);
        registry->Read("Width", m_nWidth);
        registry->Read("Height", m_nHeight);
        registry->Close();
        m_bInitialized = TRUE;
    }
    registry->Read("Title", m_strTitle);
    registry->Read("Text", m_strText);
    const struct {
        const char* format;
        Item::Kind kind;
    } kinds[] = {{"Static%d", Item::Static}, {"Button%d", Item::Button}, {"Image%d", Item::Image}};
    for (const auto& kind : kinds) {
        for (int i = 0;; ++i) {
            CString key;
            key.Format(kind.format, i);
            if (!registry->Open(key))
                break;
            Item item{kind.kind, CString(), 0, RECT{}};
            registry->Read("Text", item.text);
            registry->Read("ID", item.id);
            registry->Read("Rect", item.rect);
            registry->Close();
            m_Items.push_back(item);
        }
    }
    return TRUE;
}

void CDialogInfo::Duplicate(const CPersistent* source)
{
    const auto* info = dynamic_cast<const CDialogInfo*>(source);
    if (!info || info == this)
        return;
    m_strCaption = info->m_strCaption;
    m_nWidth = info->m_nWidth;
    m_nHeight = info->m_nHeight;
    m_strTitle = info->m_strTitle;
    m_strText = info->m_strText;
    m_Items = info->m_Items;
    m_bInitialized = info->m_bInitialized;
}
