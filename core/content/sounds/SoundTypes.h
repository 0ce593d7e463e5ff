#pragma once
#include <cstdint>

// The kind of a sound list; a site has at most one list of each kind, found by (site id, kind).
enum SourceType : int32_t
{
    stMIDI = 0,
    stWave = 1,
};

// The kind a list keeps when its stored record carries no header.
constexpr SourceType kUnknownSourceType = static_cast<SourceType>(2);

// How reading a card's "Sounds" stream ended.
enum class SoundLoadResult
{
    kNoSounds,   // no stream (or no storage): the card has no sounds
    kLoaded,     // every list of the stream was read
    kDamaged,    // the stream cannot be read whole: the card keeps no sounds from it
};
