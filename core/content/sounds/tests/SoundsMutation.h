#pragma once
// Damaged "Sounds" streams for the readers' tests: a stream with shared data mutated at random.
#include <cstdint>
#include <random>
#include <vector>

namespace soundsmutation {

constexpr int kRounds = 10000;

// Two lists, four items, one of them sharing the data of another.
std::vector<uint8_t> SeedStream();
// Flips, overwrites with edge values, cuts or repeats bytes of the seed.
std::vector<uint8_t> Mutate(const std::vector<uint8_t>& seed, std::mt19937& random);

}  // namespace soundsmutation
