// The career side of a race without a window: the finish booking, the
// results table's projected times and order, the countdown, the minimap's
// fade and the route preview's measures, the garage's rating factors and
// the quick race's Start.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/globals.h"
#include "framework/settings.h"
#include "ui/career_screens.h"
#include "ui/race_finish.h"
#include "ui/race_hud.h"
#include "ui/race_results.h"
#include "ui/route_map.h"
#include "ui/transitions.h"

namespace {

// A fresh career on competition c, race r.
CareerRecord CareerOn(int competition, int race) {
  CareerRecord career = BuiltInCareer();
  career.gameMode = kGameModeCareer;
  career.competitionIndex = competition;
  career.competitionRace = race;
  return career;
}

PlayerResult Finished(int place, int minutes = 1, int seconds = 30, float hundredths = 50.75f) {
  PlayerResult result;
  result.place = place;
  result.bestLapMinutes = minutes;
  result.bestLapSeconds = seconds;
  result.bestLapHundredths = hundredths;
  return result;
}

TEST(FinishBooking, PodiumPaysCashAndPointsByPlace) {
  const struct {
    int place;
    float pay;
  } rows[] = {{1, 5000}, {2, 2500}, {3, 1000}, {4, 0}};
  for (const auto& row : rows) {
    CareerRecord career = CareerOn(1, 2);
    const float cash = career.cash;
    BookRaceResult(career, Finished(row.place));
    EXPECT_EQ(career.cash, cash + row.pay) << "place " << row.place;
    EXPECT_EQ(career.careerPoints, row.pay) << "place " << row.place;
    EXPECT_EQ(career.raceStarts[5], 1);
    EXPECT_EQ(career.raceWins[5], row.place == 1 ? 1 : 0);
    EXPECT_EQ(career.bestPlace[5], row.place == 4 ? kNotPlaced : row.place);
  }
}

TEST(FinishBooking, RatingLevelsRollOverAtTenThousandPoints) {
  CareerRecord career = CareerOn(0, 1);
  career.careerPoints = 9000;
  career.ratingLevel = 3;
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(career.ratingLevel, 4);
  EXPECT_EQ(career.careerPoints, 4000);

  career.careerPoints = 19000;
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(career.ratingLevel, 6) << "two levels at once";
  EXPECT_EQ(career.careerPoints, 4000);
}

TEST(FinishBooking, BestLapNeedsAStrictlyFasterLapOncePlaced) {
  CareerRecord career = CareerOn(0, 1);
  BookRaceResult(career, Finished(4, 2, 10, 0));
  EXPECT_EQ(career.bestMinutes[0], 2) << "a race never placed takes any lap";
  BookRaceResult(career, Finished(4, 2, 20, 0));
  EXPECT_EQ(career.bestSeconds[0], 20) << "still not placed: even a slower lap replaces it";

  BookRaceResult(career, Finished(2, 1, 30, 50.75f));
  EXPECT_EQ(career.bestSeconds[0], 30);
  EXPECT_EQ(career.bestHundredths[0], 50) << "hundredths are stored truncated";
  BookRaceResult(career, Finished(3, 1, 30, 50.0f));
  EXPECT_EQ(career.bestHundredths[0], 50);
  career.bestHundredths[0] = 40;
  BookRaceResult(career, Finished(3, 1, 30, 40.0f));
  EXPECT_EQ(career.raceStarts[0], 5);
  EXPECT_EQ(career.bestHundredths[0], 40) << "an equal lap is not a new best";
  BookRaceResult(career, Finished(1, 1, 29, 99.0f));
  EXPECT_EQ(career.bestSeconds[0], 29);
  EXPECT_EQ(career.bestPlace[0], 1);
  BookRaceResult(career, Finished(3));
  EXPECT_EQ(career.bestPlace[0], 1) << "a win stays the best place";
}

TEST(FinishBooking, WinningTheLastRaceOfATierOpensTheNext) {
  CareerRecord career = CareerOn(2, 4);
  for (int slot = 0; slot < 12; ++slot) career.bestPlace[slot] = 1;
  career.bestPlace[11] = 2;
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(career.competitionsOpen, 4) << "four, not three";
  EXPECT_EQ(career.competitionIndex, 3);

  career.competitionRace = 2;
  for (int slot = 12; slot < 20; ++slot) career.bestPlace[slot] = 1;
  career.bestPlace[13] = 3;
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(career.competitionsOpen, 5);
  EXPECT_EQ(career.competitionIndex, 5);
}

TEST(FinishBooking, AWinWithRacesOfTheTierStillUnwonOpensNothing) {
  CareerRecord career = CareerOn(0, 1);
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(career.competitionsOpen, 0);
  EXPECT_EQ(career.competitionIndex, 0);
}

TEST(FinishBooking, QuickRaceBooksNothing) {
  CareerRecord career = CareerOn(0, 1);
  career.gameMode = kGameModeQuickRace;
  const CareerRecord before = career;
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(std::memcmp(&career, &before, sizeof career), 0);
}

TEST(FinishBooking, TrackListBooksTheSeriesStageAndPlace) {
  CareerRecord career = CareerOn(0, 1);
  career.gameMode = kGameModeTrackList;
  career.trackListIndex = 1;
  career.trackListStage[0] = 2;
  career.trackListStage[2] = 2;
  BookRaceResult(career, Finished(2));
  EXPECT_EQ(career.trackListStage[2], 3);
  EXPECT_EQ(career.trackListBestPlace[2 + 4 - 1], 2);
  EXPECT_EQ(career.raceStarts[0], 0) << "the career tables are untouched";
}

TEST(FinishBooking, ASlotOutsideTheTablesBooksNothing) {
  CareerRecord career = CareerOn(6, 1);
  const CareerRecord before = career;
  BookRaceResult(career, Finished(1));
  career.competitionIndex = 0;
  career.competitionRace = 0;
  BookRaceResult(career, Finished(1));
  EXPECT_EQ(career.cash, before.cash);
  EXPECT_EQ(career.raceStarts[0], 0);
}

TEST(ResultsTable, TimeStillToDriveIsAddedAtAQuarterSecondPerUnit) {
  RacerResultInput racers[kRacerCount] = {};
  racers[0].progress = 110;
  racers[0].raceTime = {1, 50, 0};
  racers[1].progress = 100;
  racers[1].raceTime = {1, 59, 80};
  racers[2].progress = 108.4f;
  racers[2].raceTime = {0, 59, 90};
  racers[3].progress = 0;
  ResultRow rows[kRacerCount];
  BuildResultRows(racers, rows);
  EXPECT_EQ(rows[0].racer, 0);
  EXPECT_EQ(rows[0].raceTime.minutes, 1) << "the leader's time stands";
  EXPECT_EQ(rows[0].raceTime.seconds, 50);
  ASSERT_EQ(rows[2].racer, 1);
  EXPECT_EQ(rows[2].raceTime.minutes, 2);
  EXPECT_EQ(rows[2].raceTime.seconds, 2);
  EXPECT_EQ(int(rows[2].raceTime.hundredths + 0.01f), 30);  // 2:02.30
  ASSERT_EQ(rows[1].racer, 2);
  EXPECT_EQ(rows[1].raceTime.minutes, 1);
  EXPECT_EQ(rows[1].raceTime.seconds, 0);
  EXPECT_EQ(int(rows[1].raceTime.hundredths + 0.01f), 30);  // 0:59.90 + 0.40 s = 1:00.30
  EXPECT_EQ(rows[3].racer, 3);
}

TEST(ResultsTable, EqualProgressKeepsRacerOrderWhateverTheTimes) {
  RacerResultInput racers[kRacerCount] = {};
  const float progress[kRacerCount] = {50, 80, 50, 80};
  for (int i = 0; i < kRacerCount; ++i) {
    racers[i].progress = progress[i];
    racers[i].raceTime = {3 - i, 0, 0};
    racers[i].carIndex = 10 + i;
  }
  ResultRow rows[kRacerCount];
  BuildResultRows(racers, rows);
  const int order[kRacerCount] = {1, 3, 0, 2};
  for (int k = 0; k < kRacerCount; ++k) {
    EXPECT_EQ(rows[k].racer, order[k]) << "row " << k;
    EXPECT_EQ(rows[k].carIndex, 10 + order[k]);
  }
}

TEST(ResultsTable, PlaceTextsNameOnlyTheFourPlaces) {
  EXPECT_STREQ(PlaceText(3), "3 PLACE!");
  EXPECT_STREQ(PlaceText(1), "1 PLACE!");
  EXPECT_EQ(PlaceText(0), nullptr);
  EXPECT_EQ(PlaceText(5), nullptr);
}

TEST(StartCountdown, DigitsGrowAndFadeThenStart) {
  const struct {
    float t;
    const char* text;
    float alpha, scale;
  } rows[] = {
      {8.5f, "3", 1.0f, 6.5f}, {9.5f, "2", 1.0f, 6.5f}, {10.75f, "1", 0.5f, 7.75f},
      {11.5f, "START", 1.0f, 6.0f}, {12.5f, "START", 0.0f, 8.5f},
  };
  for (const auto& row : rows) {
    const CountdownFrame frame = CountdownAt(row.t);
    ASSERT_NE(frame.text, nullptr) << row.t;
    EXPECT_STREQ(frame.text, row.text) << row.t;
    EXPECT_NEAR(frame.alpha, row.alpha, 1e-4f) << row.t;
    EXPECT_NEAR(frame.scale, row.scale, 1e-4f) << row.t;
  }
  EXPECT_EQ(CountdownAt(7.5f).text, nullptr) << "silence before 8";
  EXPECT_EQ(CountdownAt(13.0f).text, nullptr);
}

TEST(StartCountdown, ClockAdvancesWithTheFrameAndEndsAtThirteen) {
  EXPECT_NEAR(AdvanceCountdown(7.0f, 5.0f), 7.05f, 1e-5f);
  EXPECT_NEAR(AdvanceCountdown(8.5f, 20.0f), 8.595f, 1e-5f) << "a long frame counts as 95 ms";
  EXPECT_EQ(AdvanceCountdown(12.99f, 5.0f), 0.0f);
  // From the track's 7.0 at 50 ms frames: 120 frames to the end.
  float t = 7.0f;
  int frames = 0;
  while (t != 0.0f && frames < 1000) t = AdvanceCountdown(t, 5.0f), ++frames;
  EXPECT_EQ(frames, 120);
}

TEST(Gauges, NeedlesAndTextsFollowTheTruck) {
  EXPECT_EQ(EngineNeedleAngle(600), 0.0f) << "parked: the needle stands at 150 degrees";
  EXPECT_EQ(EngineNeedleAngle(4000), 120.0f);
  EXPECT_EQ(EngineNeedleAngle(9000), 240.0f) << "stops at -90 degrees";
  EXPECT_NEAR(TurboNeedleAngle(100), -52.0f, 1e-4f);
  EXPECT_NEAR(SpeedometerTarget(20), (114 + 10) * 0.65f, 1e-3f);
  EXPECT_STREQ(GearText(-1), "R");
  EXPECT_STREQ(GearText(0), "N");
  EXPECT_STREQ(GearText(5), "5");
}

TEST(MiniMap, OpponentsFadeBetween240And260Units) {
  EXPECT_EQ(OpponentMarkerAlpha(100, 1.0f), 1.0f);
  EXPECT_EQ(OpponentMarkerAlpha(240, 0.8f), 0.8f);
  EXPECT_NEAR(OpponentMarkerAlpha(250, 1.0f), 0.5f, 1e-5f);
  EXPECT_EQ(OpponentMarkerAlpha(260, 1.0f), 0.0f);
  EXPECT_EQ(OpponentMarkerAlpha(400, 1.0f), 0.0f);
}

TEST(RouteMap, WorldPointsMapOntoTheTexture) {
  float u, v;
  RouteMapPoint(neMakeV3(1000, 5, -1000), &u, &v);
  EXPECT_NEAR(u, 0.996f, 1e-5f);
  EXPECT_NEAR(v, 0.774f, 1e-5f);
}

TEST(RouteMap, OnePointRouteHasItsCentreThereAndThePreviewStillScales) {
  Waypoint one[1] = {{neMakeV3(0, 0, 0), 0}};
  const RouteFrame frame = MeasureRoute(one, 0);
  EXPECT_NEAR(frame.centreX, 0.546f * 1024, 1e-3f);
  EXPECT_NEAR(frame.centreY, 0.324f * 1024, 1e-3f);
  EXPECT_EQ(frame.radius, 0.0f);
  EXPECT_EQ(RoutePreviewScale(frame.radius), 512.0f) << "a radius of at least 1 texel";

  const RouteFrame empty = MeasureRoute(one, -1);
  EXPECT_EQ(empty.radius, 0.0f);
  EXPECT_EQ(empty.centreX, 512.0f);
}

TEST(RouteMap, RadiusIsTheFarthestPointFromTheMean) {
  Waypoint square[4] = {{neMakeV3(-100, 0, -100), 0}, {neMakeV3(100, 0, -100), 0}, {neMakeV3(100, 0, 100), 0},
                        {neMakeV3(-100, 0, 100), 0}};
  const RouteFrame frame = MeasureRoute(square, 3);
  EXPECT_NEAR(frame.centreX, 0.546f * 1024, 1e-2f);
  EXPECT_NEAR(frame.radius, std::sqrt(2.0f) * 100 * 0.00045f * 1024, 1e-2f);
  EXPECT_NEAR(RoutePreviewScale(frame.radius), 512 / frame.radius, 1e-4f);
}

TEST(CareerScreens, RatingFactorsStopAtOne) {
  EXPECT_EQ(RatingFactor(0.9f, 3), 1.0f);
  EXPECT_NEAR(RatingFactor(0.5f, 2), 0.6f, 1e-6f);
}

TEST(CareerScreens, LengthsAndWinsOfTheCards) {
  char text[32];
  std::snprintf(text, sizeof text, "%1.2f", RaceLengthKm(1000));
  EXPECT_STREQ(text, "7.00");
  std::snprintf(text, sizeof text, "%1.2f", RaceLengthKm(500));
  EXPECT_STREQ(text, "3.50");
  int32_t best[kRaceSlotCount];
  for (int32_t& place : best) place = kNotPlaced;
  best[4] = 1, best[5] = 2, best[7] = 1, best[8] = 1;
  EXPECT_EQ(CompetitionWins(best, 1), 2);
  EXPECT_EQ(CompetitionWins(best, 0), 0);
}

TEST(CareerScreens, QuickRaceStartWaitsForItsTruck) {
  TransitionInputs in;
  in.quickRaceTruckReady = false;
  EXPECT_FALSE(ButtonTransition(ScreenState::QuickRace, ButtonKind::Confirm, in).matched);
  in.quickRaceTruckReady = true;
  const Transition start = ButtonTransition(ScreenState::QuickRace, ButtonKind::Confirm, in);
  EXPECT_EQ(start.target, ScreenState::RaceLoading);
  EXPECT_EQ(start.loaderRequest, LoaderStatus::LoadTrack);
}

}  // namespace
