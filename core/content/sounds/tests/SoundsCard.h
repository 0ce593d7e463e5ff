#pragma once
// The sounds of the sample card used by the document tests and the independent check: site 0 has a
// wave list of three items (the first and third on the same bytes) and an empty MIDI list, site 2
// a MIDI list of one item.
class CSoundStore;

void FillSampleSounds(CSoundStore& store);
