// The benchmark's workloads of the engine's other operations: gradient fills, bitmap
// transformations, point tests and Boolean operations. Inputs are made once from fixed values; each
// workload can write its parameters and the engine's result so that a peer is measured against it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct OperationWorkload {
    std::string name;
    int repetitions = 3;
    int items = 1;                        // shapes column: 1, points tested or segments combined
    double units = 0;                     // pixels (points, segments) a run handles, for the rate
    std::function<void()> prepare;        // untimed, before every run
    std::function<bool()> run;            // the timed operation; false when it failed
    std::function<std::uint32_t()> checksum;
    // Writes the text form to path and any result pixels beside it (path with .raw for .txt).
    std::function<bool(const std::string& path)> dump;
};

std::vector<OperationWorkload> MakeOperationWorkloads();
