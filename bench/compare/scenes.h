// The comparison's scenes and what they measure: per engine, the time per
// step of each timed phase, the memory a world took, and quality figures
// (rest depth, drift, towers standing, bodies below the ground, trucks
// upright), gathered into rows of a table.
#pragma once

#include "peer_world.h"

#include <string>
#include <vector>

namespace compare {

enum class Unit { Milliseconds, MiB, Count, Metres, MetresPerSecond, Ratio };

// One figure for each engine; NaN where the engine is not built in.
struct Row {
    std::string name;
    Unit unit;
    double value[kEngineCount];
};

struct RunOptions {
    // Steps of every phase at most: 0 runs the scenes in full; CI runs a few
    // steps of each to show that every scene builds and steps.
    int stepLimit = 0;
    std::string only;  // scene letters to run; empty: all
    int engines = 7;   // bit per engine (ours 1, Bullet 2, ODE 4)
};

// Runs every scene on every engine built in and returns the rows in order;
// `healthy` turns false when our engine reported a pool overflow.
std::vector<Row> RunAll(const RunOptions& options, bool& healthy);

}  // namespace compare
