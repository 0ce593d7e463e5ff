#pragma once
// A 16-bit mono wave file of a sine tone, for the tests that play or measure sounds.
#include <string>

// Writes seconds of a tone of frequency hz at the sample rate; false when the file can't be made.
bool WriteToneWave(const std::string& path, double seconds, double hz, int rate = 22050);
