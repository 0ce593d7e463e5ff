#pragma once
// The clip-art fixtures written at build time by the Python writer (clipart_fixtures.py).
#include <string>
#include <vector>

std::string ClipartFixturePath(const char* name);
std::vector<unsigned char> ReadClipartFixture(const char* name);
