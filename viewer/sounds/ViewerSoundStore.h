#pragma once
// The card's sound store as the viewer reads it: the stream "Sounds" through the viewer's own
// compressed-stream reader, so that shared-data offsets are positions in the unpacked content.
#include "SoundStore.h"

class CViewerSoundStore : public CSoundStore
{
protected:
    HRESULT OpenForReading(IStorage* storage, IStream** stream) override;
};
