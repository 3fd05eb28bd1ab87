// The per-pass timers of the race frame (see race_pass_timers.h).
#include "render/race_pass_timers.h"

#include "platform/gl.h"

#include <chrono>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point gPassStart;
double gPassStartCpuMs;

}  // namespace

bool gRacePassesFinished;
RacePassRecord gRacePassRecords[kRacePassCount] = {
    {"reflection", 0, 0, 0},      {"shadow", 0, 0, 0},          {"view", 0, 0, 0},
    {"terrain", 0, 0, 0},         {"near map", 0, 0, 0},        {"racers opaque", 0, 0, 0},
    {"second layer", 0, 0, 0},    {"smoke layer", 0, 0, 0},     {"sky", 0, 0, 0},
    {"composite", 0, 0, 0},       {"transparent map", 0, 0, 0}, {"grass", 0, 0, 0},
    {"trees", 0, 0, 0},           {"racers blended", 0, 0, 0},  {"sun", 0, 0, 0},
    {"post chain", 0, 0, 0}};

double ProcessCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1.0e6;
}

void BeginRacePass() {
  if (gRacePassesFinished) glFinish();
  gPassStart = Clock::now();
  gPassStartCpuMs = ProcessCpuMilliseconds();
}

void EndRacePass(int pass) {
  if (gRacePassesFinished) glFinish();
  RacePassRecord& record = gRacePassRecords[pass];
  record.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - gPassStart).count();
  record.cpuMilliseconds = ProcessCpuMilliseconds() - gPassStartCpuMs;
  record.glError = glGetError();
}
