// Our engine against Bullet and ODE, scene by scene: prints the table of
// bench/README.md (milliseconds per step, memory and quality figures per
// engine, and our time as a ratio to the faster peer's).
//
//   bench_compare            every scene in full
//   bench_compare --steps N  every phase cut to N steps (CI: builds and steps)
//   bench_compare --only BD --engines 1   scenes B and D, our engine alone
//
// Exits with 1 when our engine reports a pool overflow.
#include "scenes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using compare::Row;
using compare::Unit;

const char* UnitName(Unit u) {
    switch (u) {
        case Unit::Milliseconds: return "ms/step";
        case Unit::MiB: return "MiB";
        case Unit::Metres: return "m";
        case Unit::MetresPerSecond: return "m/s";
        case Unit::Ratio: return "ratio";
        default: return "count";
    }
}

void PrintCell(double v, Unit u) {
    if (std::isnan(v))
        std::printf(" – |");
    else if (u == Unit::Count)
        std::printf(" %.0f |", v);
    else if (u == Unit::Milliseconds)
        std::printf(" %.4f |", v);
    else if (u == Unit::Ratio)
        std::printf(" %.2f |", v);
    else
        std::printf(" %.3f |", v);
}

void PrintTable(const std::vector<Row>& rows, bool timed) {
    std::printf("| %s | unit |", timed ? "scene" : "figure");
    for (compare::Engine e : compare::kEngines) std::printf(" %s |", compare::EngineName(e));
    std::printf(timed ? " ours ÷ faster peer |\n|---|---|---:|---:|---:|---:|\n" : "\n|---|---|---:|---:|---:|\n");
    for (const Row& r : rows) {
        const bool isTime = r.unit == Unit::Milliseconds || r.unit == Unit::MiB;
        if (isTime != timed) continue;
        std::printf("| %s | %s |", r.name.c_str(), UnitName(r.unit));
        for (double v : r.value) PrintCell(v, r.unit);
        if (timed) {
            const double peer = std::fmin(std::isnan(r.value[1]) ? INFINITY : r.value[1],
                                          std::isnan(r.value[2]) ? INFINITY : r.value[2]);
            if (std::isinf(peer) || std::isnan(r.value[0]))
                std::printf(" – |");
            else
                std::printf(" %.2f |", r.value[0] / peer);
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    compare::RunOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--steps") == 0 && i + 1 < argc) {
            options.stepLimit = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            options.only = argv[++i];
        } else if (std::strcmp(argv[i], "--engines") == 0 && i + 1 < argc) {
            options.engines = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--steps N] [--only LETTERS] [--engines MASK]\n", argv[0]);
            return 2;
        }
    }
    bool healthy = true;
    const std::vector<Row> rows = compare::RunAll(options, healthy);
    std::printf("One thread per engine; %u cores on this machine.\n\n", std::thread::hardware_concurrency());
    PrintTable(rows, true);
    std::printf("\n");
    PrintTable(rows, false);
    for (const Row& r : rows) {
        if (r.name != "Truck: ride height") continue;
        for (int e = 1; e < compare::kEngineCount; ++e)
            if (!std::isnan(r.value[e]) && std::fabs(r.value[e] - r.value[0]) > 0.02)
                std::printf("\nRide heights differ by more than 2 cm: the truck scenes do not compare like with like.\n");
    }
    if (!healthy) {
        std::fprintf(stderr, "our engine reported a pool overflow\n");
        return 1;
    }
    return 0;
}
