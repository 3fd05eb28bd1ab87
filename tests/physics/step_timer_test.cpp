#include "physics_test_util.h"

namespace {

uint64_t gTicks;
uint64_t gFrequency;
bool gHasCounter;
uint64_t gTicksPerRead;

bool FakeFrequency(uint64_t* f) {
    *f = gFrequency;
    return gHasCounter;
}

uint64_t FakeCounter() { return gTicks += gTicksPerRead; }

neStepClock FakeClock(uint64_t frequency, uint64_t ticksPerRead, bool hasCounter = true) {
    gTicks = 0;
    gFrequency = frequency;
    gTicksPerRead = ticksPerRead;
    gHasCounter = hasCounter;
    return neStepClock{FakeFrequency, FakeCounter};
}

}  // namespace

TEST(StepTimer, IntervalsLessTheReadOverheadInSeconds) {
    neStepTimer timer{};
    timer.Calibrate(FakeClock(1000, 5));
    EXPECT_EQ(timer.overhead, 5);
    EXPECT_EQ(timer.shift, 0);
    timer.Start();
    gTicksPerRead = 105;
    EXPECT_FLOAT_EQ(timer.Elapsed(), 0.1f);
    timer.AddBucket(3);
    EXPECT_FLOAT_EQ(timer.buckets[3], 0.1f);
    EXPECT_FLOAT_EQ(timer.Total(), 0.1f);
}

TEST(StepTimer, WithoutACounterEveryIntervalIsZero) {
    neStepTimer timer{};
    timer.Calibrate(FakeClock(1000, 50, false));
    timer.Start();
    EXPECT_EQ(timer.Elapsed(), 0.0f);
}

TEST(StepTimer, ShortIntervalWrapsAndLargeFrequencyShifts) {
    neStepTimer timer{};
    timer.Calibrate(FakeClock(1000, 10));
    timer.Start();
    gTicksPerRead = 3;  // shorter than the overhead of 10
    EXPECT_GT(timer.Elapsed(), 1.0e6f);

    timer.Calibrate(FakeClock(uint64_t{1} << 33, 1));
    EXPECT_EQ(timer.shift, 2);
}

TEST(StepTimer, AdvanceReportsTheLastTotalOrTheRunningAverage) {
    SimulatorHolder sim;
    sim->CreateRigidBody();
    sim->SetStepClock(FakeClock(1000, 0));  // overhead 0
    gTicksPerRead = 1;                      // 1 ms per timed phase
    neStepTimerRecord record{};
    record.mode = 1;
    sim->Advance(0.01f, 2, &record);
    const f32 perAdvance = record.totals[0];
    // Nine marks per step without a terrain query: the stack solve marks its
    // single bodies and its stacks itself.
    EXPECT_NEAR(perAdvance, 2 * 9 * 0.001f, 1e-6f);

    neStepTimerRecord average{};
    sim->Advance(0.01f, 2, &average);
    gTicksPerRead = 2;
    sim->Advance(0.01f, 2, &average);
    EXPECT_EQ(average.sampleCount, 2);
    EXPECT_NEAR(average.totals[0], 1.5f * perAdvance, 1e-5f);
}

TEST(StepTimer, AdvancesOfAHundredSecondsOrMoreStayOutOfTheAverage) {
    SimulatorHolder sim;
    sim->SetStepClock(FakeClock(1, 0));
    gTicksPerRead = 50;  // 50 s per mark
    neStepTimerRecord average{};
    sim->Advance(0.01f, 1, &average);
    EXPECT_EQ(average.sampleCount, 0);
    EXPECT_EQ(average.totals[0], 0.0f);
}
