// The finish booking. Reads the player's racer record, the race phase clock
// and the game mode; writes the career tables and, two seconds after the
// finish, the screen numbers. Draws nothing and leaves the GL state alone.
#include "ui/race_finish.h"

#include <algorithm>

#include "framework/globals.h"
#include "framework/lock_step.h"
#include "ui/menu_state.h"
#include "world/race_state.h"
#include "world/racer.h"

uint8_t gFinishBooked;

namespace {

// Competitions 0..2 open the next two once all their races are won, 3 and
// 4 open the last one.
constexpr int kFirstTierOpenCount = 4;
constexpr int kSecondTierOpenCount = 5;
constexpr int kCareerCarCap = 17;

bool AllWon(const CareerRecord& career, int firstSlot, int lastSlot) {
  for (int slot = firstSlot; slot <= lastSlot; ++slot) {
    if (career.bestPlace[slot] != 1) return false;
  }
  return true;
}

// Times compare as minutes x 10000 + seconds x 100 + hundredths.
float LapKey(int minutes, int seconds, float hundredths) {
  return float(minutes) * 10000.0f + float(seconds) * 100.0f + hundredths;
}

void OpenCompetitions(CareerRecord& career, int competition) {
  const int racesPerTier = 3 * kRacesPerCompetition;
  if ((competition == 3 || competition == 4) && career.competitionsOpen <= kFirstTierOpenCount &&
      AllWon(career, racesPerTier, racesPerTier + 2 * kRacesPerCompetition - 1)) {
    career.competitionsOpen = kSecondTierOpenCount;
    career.competitionIndex = 5;
    career.carLimit = std::min(career.carLimit, kCareerCarCap);
  }
  if (competition <= 2 && career.competitionsOpen <= 2 && AllWon(career, 0, racesPerTier - 1)) {
    career.competitionsOpen = kFirstTierOpenCount;
    career.competitionIndex = 3;
    career.carLimit = std::min(career.carLimit, kCareerCarCap);
  }
}

void BookCareerRace(CareerRecord& career, const PlayerResult& result) {
  const int competition = career.competitionIndex;
  if (competition < 0 || competition >= kCompetitionCount || career.competitionRace < 1 ||
      career.competitionRace > kRacesPerCompetition) {
    return;
  }
  const int slot = competition * kRacesPerCompetition + career.competitionRace - 1;
  const int place = result.place;
  if (place == 1) career.raceWins[slot] = std::min(career.raceWins[slot] + 1, kMaxRaceCount);
  career.raceStarts[slot] = std::min(career.raceStarts[slot] + 1, kMaxRaceCount);

  const float stored = LapKey(career.bestMinutes[slot], career.bestSeconds[slot], float(career.bestHundredths[slot]));
  const float lap = LapKey(result.bestLapMinutes, result.bestLapSeconds, result.bestLapHundredths);
  if (lap < stored || career.bestPlace[slot] == kNotPlaced) {
    career.bestMinutes[slot] = std::clamp(result.bestLapMinutes, 0, kMaxBestMinutes);
    career.bestSeconds[slot] = result.bestLapSeconds;
    career.bestHundredths[slot] = static_cast<int32_t>(result.bestLapHundredths);
  }
  if (place < 1 || place > 3) return;
  const float pay = kPodiumPay[place - 1];
  career.careerPoints += pay;
  career.cash = std::min(career.cash + pay, kMaxCareerAmount);
  while (career.careerPoints >= kPointsPerRatingLevel) {
    career.ratingLevel = std::min(career.ratingLevel + 1, kMaxRatingLevel);
    career.careerPoints -= kPointsPerRatingLevel;
  }
  career.bestPlace[slot] = std::min(career.bestPlace[slot], place);
  OpenCompetitions(career, competition);
}

void BookTrackListRace(CareerRecord& career, const PlayerResult& result) {
  const int series = career.trackListIndex;
  if (series < 0 || series >= kTrackListSeriesCount) return;
  int32_t* stage = career.trackListStage;
  if (stage[series + 1] < kRacesPerCompetition && stage[series + 1] == stage[0]) stage[series + 1] += 1;
  const int slot = stage[0] + kRacesPerCompetition * series - 1;
  if (slot < 0 || slot >= kTrackListSlotCount) return;
  career.trackListBestPlace[slot] = std::min(career.trackListBestPlace[slot], result.place);
}

}  // namespace

void BookRaceResult(CareerRecord& career, const PlayerResult& result) {
  if (career.gameMode == kGameModeCareer) BookCareerRace(career, result);
  if (career.gameMode == kGameModeTrackList) BookTrackListRace(career, result);
}

void DrawRaceFinish() {
  // The first frame after the finish line (phase time exactly 0) books nothing.
  if (gRacePhaseTime > 0.0f && !gFinishBooked) {
    gFinishBooked = 1;
    const Racer& player = gRacers[0];
    PlayerResult result;
    result.place = player.place;
    result.bestLapMinutes = player.bestLapMinutes;
    result.bestLapSeconds = player.bestLapSeconds;
    result.bestLapHundredths = player.bestLapHundredths;
    BookRaceResult(gCareer, result);
  }
  gRacePhaseTime += 0.01f * gFrameFactor;
  if (gRacePhaseTime > kFinishOverlaySeconds) {
    gMenuClock = gRacePhaseTime;
    LeaveRaceTo(ScreenState::RaceFinish);
    gScreenFade = 0.0f;
    gMenuCursorOnEntry = 0;
    gFreeCamera = 0;
  }
}
