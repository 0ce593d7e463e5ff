// The card's sounds: loaded, saved and copied with the card whatever the sound options say (they
// only hide the sound commands), so that a card never loses its sounds on the way through.
#include "SoundStore.h"
#include "TarnDoc.h"
#include "TarnStrings.h"

namespace {

constexpr unsigned kIdsSoundsFailed = 12186;

CString SoundsFailedText()
{
    CString text = TarnString(kIdsSoundsFailed);
    if (text.IsEmpty())
        text = "Some of the card's sounds could not be read or copied.";
    return text;
}

}  // namespace

void CTarnDoc::SerializeSounds(CArchive& ar)
{
    ar.Flush();
    if (ar.IsStoring()) {
        // A stream that can't be made leaves the card without sounds; the card itself is saved.
        m_soundStore->Save(m_lpRootStg);
        return;
    }
    // A damaged stream gives no sounds: the card opens and the user hears of it once.
    if (m_soundStore->Load(m_lpRootStg) == SoundLoadResult::kDamaged)
        ShowMessage(SoundsFailedText(), MB_OK | MB_ICONEXCLAMATION);
}

void CTarnDoc::CopySoundsFrom(const CTarnDoc& other)
{
    if (&other == this || !other.m_soundStore)
        return;
    if (m_soundStore->CopyFrom(*other.m_soundStore) > 0)
        ShowMessage(SoundsFailedText(), MB_OK | MB_ICONERROR);
}
