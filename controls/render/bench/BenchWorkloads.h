// The benchmark's workloads: scenes of shapes made from fixed seeds, the same on every run.
#pragma once

#include <string>
#include <vector>

#include "scenes/ShapeScene.h"

struct Workload {
    std::string name;
    ShapeScene scene;
    int repetitions;
};

std::vector<Workload> MakeWorkloads();
