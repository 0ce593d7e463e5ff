#include "SoundsCard.h"

#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundStore.h"
#include "SoundTestSupport.h"

void FillSampleSounds(CSoundStore& store)
{
    const Bytes tone = {'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8};
    CSoundSourceList* wave = store.GetList(0, stWave);
    wave->m_loopCount = 2;
    CSoundItem* first = MakeItem(tone, "chime");
    first->m_delayBefore = 1;
    first->m_pauseBetween = 0.5;
    first->m_pauseAfter = 2;
    first->m_duration = 2;
    first->m_playCount = 3;
    Append(*wave, first);
    Append(*wave, MakeItem({9, 8, 7}, "knock"));
    Append(*wave, MakeItem(tone, "chime again"));
    store.GetList(0, stMIDI);
    CSoundSourceList* midi = store.GetList(2, stMIDI);
    midi->m_repeatForever = 1;
    CSoundItem* song = MakeItem({'M', 'T', 'h', 'd'}, "song", "mid");
    song->m_duration = 30;
    Append(*midi, song);
}
