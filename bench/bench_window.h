// The window the render benchmarks draw in: the test window made current at
// resolution 0 (1024 x 768) with the settings' defaults, anti-aliasing off
// and the shadow map sized by the default shadow detail. False without a
// display.
#pragma once

bool UseBenchWindowWithDefaultSettings();

// The same with ZARNOK_BENCH_LIGHTEST=1 in the environment at our lightest
// settings instead (the race benchmark's ours-light): shadows off, the
// shortest sight range, no traffic.
bool UseBenchWindowWithChosenSettings();
