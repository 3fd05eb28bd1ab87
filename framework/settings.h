// The game's two files of its own: the settings (menu.inf, 25 words) and the
// career (career.inf, one 1080-byte CareerRecord). Both live in
// <documents>/Zarnok; a read that finds no file there falls back to the copy
// in base/, and every read is written back at once, so after the first start
// both files exist in the documents folder.
#pragma once

#include "framework/car_setup.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

// ---- Settings (menu.inf) --------------------------------------------------

inline constexpr int kSettingsWordCount = 25;
inline constexpr size_t kSettingsFileSize = kSettingsWordCount * 4;  // bytes
inline constexpr int kResolutionCount = 10;
inline constexpr int kKeyBindingCount = 5;  // steer left, steer right, accelerate, brake, turbo
inline constexpr int32_t kMaxTrafficSetting = 2;  // twice this many traffic cars: the world holds four
inline constexpr int kSightRangeCount = 3;
inline constexpr float kSightDistances[kSightRangeCount] = {310.0f, 380.0f, 450.0f};  // world units by gSightRange

// The words of menu.inf, in file order. The resolution index also sets the
// window size gScreenWidth × gScreenHeight kept by the window code.
enum SettingsWord : int {
  kWordResolution = 0,
  kWordColourBits = 1,
  kWordReflectionMode = 2,
  kWordSound = 3,
  kWordMusic = 4,
  kWordEax = 5,
  kWordCarried6 = 6,
  kWordTraffic = 7,
  kWordMotionBlur = 8,
  kWordSoftParticles = 9,
  kWordTextureCompression = 10,
  kWordTextureFiltering = 11,
  kWordShadowDetail = 12,
  kWordSightRange = 13,
  kWordAntiAliasing = 14,
  kWordKeyBindings = 15,  // 15..19
  kWordCarried20 = 20,    // 20..24
};

extern int32_t gResolutionIndex;       // screen mode 0..9, see ResolutionSize
extern int32_t gColourBits;            // bits per pixel of the display mode
extern int32_t gReflectionMode;        // cube-map faces per update: 0 all once, 1 three, 2 six
extern uint8_t gSoundOn;               // sound effects on
extern uint8_t gMusicOn;               // music on
extern uint8_t gEaxOn;                 // EAX reverb wanted; cleared when the device lacks it
extern int32_t gSettingWord6;          // carried unchanged
extern int32_t gTrafficSetting;        // 0..2; twice this many traffic cars
extern int32_t gMotionBlur;            // motion blur on
extern int32_t gSoftParticles;         // soft particles on
extern uint8_t gTextureCompression;    // always 1 after the read
extern int32_t gTextureFiltering;      // anisotropic filtering on
extern int32_t gShadowDetail;          // 0 off, 1 normal, 2 max, 3 ultra
extern int32_t gSightRange;            // 0..2, sets gSightDistance
extern int32_t gAntiAliasing;          // multisample count in effect: 0, 2, 4 or 8
extern int32_t gKeyBindings[kKeyBindingCount];  // live bindings, virtual-key codes 1..255
extern int32_t gSettingWords20[5];     // carried unchanged

// Size of the window and display mode in pixels; set from the resolution
// index, and it starts at that of index 0.
extern int32_t gScreenWidth, gScreenHeight;

extern float gSightDistance;           // world units: 310 / 380 / 450 by gSightRange; 400 before
extern uint8_t gSettingsAccepted;      // set by Accept on the options screens
extern int32_t gAntiAliasingChoice;    // chosen on the GRAPHICS screen; saved when accepted
// Screen mode chosen on the GRAPHICS screen, 0..9; saved as the resolution
// when the settings are accepted. The size in effect (gResolutionIndex,
// gScreenWidth × gScreenHeight) stays until the next start, because the
// window-size render targets were made with it.
extern int32_t gPendingResolutionIndex;

// Size of screen mode `index`; false (and nothing written) outside 0..9.
bool ResolutionSize(int index, int32_t& width, int32_t& height);

// The words written into a fresh base/menu.inf and used in place of any word
// that a file holds out of its range.
void DefaultSettingsWords(int32_t words[kSettingsWordCount]);

// Puts file words into the globals, replacing out-of-range words by their
// defaults, and derives the screen size and the sight distance. A screen
// mode outside 0..9 keeps the screen size and takes its index when the
// table has it (else the default mode and its size); a sight range outside
// 0..2 takes the default range and its distance, as it is written back.
void ApplySettingsWords(const int32_t words[kSettingsWordCount]);

// The words to write from the globals: with the settings accepted, the
// chosen screen mode and anti-aliasing. Changes no global.
void CollectSettingsWords(int32_t words[kSettingsWordCount]);

// Reads menu.inf (documents copy, else base/, else built-in defaults; an
// empty file counts as none) into the globals, then saves it.
void LoadSettings();
// Writes menu.inf to the save folder, making the folder first. False (and a
// line on stderr naming the file and the reason), with the file there left
// whole, when either fails.
bool SaveSettings();

// ---- Career (career.inf) --------------------------------------------------

inline constexpr int kRaceSlotCount = 30;       // competition × 4 + race − 1
inline constexpr int kRacesPerCompetition = 4;
inline constexpr int kTrackListSeriesCount = 3;
inline constexpr int kTrackListSlotCount = 15;  // series × 4 + race − 1
inline constexpr int kPlayerNameSize = 9;       // bytes, zero-terminated
inline constexpr int kMaxPlayerNameLength = 7;  // typed characters
inline constexpr int kCatalogueSize = 18;       // trucks in the catalogue
inline constexpr int kTrackCount = 30;
inline constexpr int kNotPlaced = 5;            // gBestPlace of a race never finished
inline constexpr int kNoSeriesPlace = 4;        // gTrackListBestPlace of a race never run
inline constexpr int kCompetitionCount = 6;     // the competitions screen offers 0..5
inline constexpr float kPointsPerRatingLevel = 10000.0f;  // career points that make one level
// Limits a stored career is held to. None is reached in play: they keep a
// hand-made file from overflowing the counters the game adds to, or the
// integers the screens print the money and points as.
inline constexpr int32_t kMaxRatingLevel = 9999;
inline constexpr int32_t kMaxRaceCount = 999999;       // wins or finished runs of one race
inline constexpr int32_t kMaxBestMinutes = 9999;       // minutes × 10000 stays far inside 32 bits
inline constexpr float kMaxCareerAmount = 1.0e9f;      // money, or points of one bonus kind

enum GameMode : int32_t { kGameModeCareer = 1, kGameModeTrackList = 2, kGameModeQuickRace = 3 };

// The raw image of career.inf.
struct CareerRecord {
  CarSetup carSetup;               // player's set-up; its catalogueIndex word is not used
  char playerName[kPlayerNameSize];
  uint8_t unused169[3];
  int32_t playerNameLength;        // characters typed on the name screen, 0..7
  float cash;                      // 0..kMaxCareerAmount
  float careerPoints;              // toward the next level: 0 up to kPointsPerRatingLevel
  int32_t ratingLevel;             // from 1
  float bonusTotals[10];           // points per bonus kind
  int32_t zeroWord228;             // written as 0 by a new career, read by nothing
  int32_t zeroWord232;             // written as 0 by a new career, read by nothing
  int32_t carIndex;                // catalogue index of the career's truck, 0..17
  int32_t carLimit;                // the car shop lists entries 0..carLimit, 0..17
  int32_t competitionRace;         // 1..4
  int32_t competitionIndex;        // from 0
  int32_t competitionsOpen;        // highest competition open, 0..5
  int32_t bestPlace[kRaceSlotCount];
  int32_t raceWins[kRaceSlotCount];
  int32_t raceStarts[kRaceSlotCount];
  int32_t bestMinutes[kRaceSlotCount];
  int32_t bestSeconds[kRaceSlotCount];
  int32_t bestHundredths[kRaceSlotCount];
  int32_t trackListIndex;          // series 0..2
  int32_t trackListStage[4];       // [0] race 1..4 in the series; [1..3] progress per series
  uint8_t unused996[4];
  int32_t trackListBestPlace[kTrackListSlotCount];
  int32_t quickRaceTrack;          // 1..30
  int32_t quickRaceCar;            // 0..17
  int32_t gameMode;                // GameMode
  uint8_t unused1072[4];
  uint8_t newCareer;               // 1: choosing CAREER first asks for the name
  uint8_t unused1077[3];
};

inline constexpr size_t kCareerFileSize = 1080;
static_assert(sizeof(CareerRecord) == kCareerFileSize);
static_assert(offsetof(CareerRecord, carSetup) == 0);
static_assert(offsetof(CareerRecord, playerName) == 160);
static_assert(offsetof(CareerRecord, unused169) == 169);
static_assert(offsetof(CareerRecord, playerNameLength) == 172);
static_assert(offsetof(CareerRecord, cash) == 176);
static_assert(offsetof(CareerRecord, careerPoints) == 180);
static_assert(offsetof(CareerRecord, ratingLevel) == 184);
static_assert(offsetof(CareerRecord, bonusTotals) == 188);
static_assert(offsetof(CareerRecord, zeroWord228) == 228);
static_assert(offsetof(CareerRecord, zeroWord232) == 232);
static_assert(offsetof(CareerRecord, carIndex) == 236);
static_assert(offsetof(CareerRecord, carLimit) == 240);
static_assert(offsetof(CareerRecord, competitionRace) == 244);
static_assert(offsetof(CareerRecord, competitionIndex) == 248);
static_assert(offsetof(CareerRecord, competitionsOpen) == 252);
static_assert(offsetof(CareerRecord, bestPlace) == 256);
static_assert(offsetof(CareerRecord, raceWins) == 376);
static_assert(offsetof(CareerRecord, raceStarts) == 496);
static_assert(offsetof(CareerRecord, bestMinutes) == 616);
static_assert(offsetof(CareerRecord, bestSeconds) == 736);
static_assert(offsetof(CareerRecord, bestHundredths) == 856);
static_assert(offsetof(CareerRecord, trackListIndex) == 976);
static_assert(offsetof(CareerRecord, trackListStage) == 980);
static_assert(offsetof(CareerRecord, unused996) == 996);
static_assert(offsetof(CareerRecord, trackListBestPlace) == 1000);
static_assert(offsetof(CareerRecord, quickRaceTrack) == 1060);
static_assert(offsetof(CareerRecord, quickRaceCar) == 1064);
static_assert(offsetof(CareerRecord, gameMode) == 1068);
static_assert(offsetof(CareerRecord, unused1072) == 1072);
static_assert(offsetof(CareerRecord, newCareer) == 1076);
static_assert(offsetof(CareerRecord, unused1077) == 1077);
// The file is the record's memory image, little-endian.
static_assert(std::endian::native == std::endian::little);

extern CareerRecord gCareer;

// The career's fields under the names the rest of the game uses.
inline CarSetup& gCareerCarSetup = gCareer.carSetup;
inline char (&gPlayerName)[kPlayerNameSize] = gCareer.playerName;
inline int32_t& gPlayerNameLength = gCareer.playerNameLength;
inline float& gCash = gCareer.cash;
inline float& gCareerPoints = gCareer.careerPoints;
inline int32_t& gRatingLevel = gCareer.ratingLevel;
inline float (&gBonusTotals)[10] = gCareer.bonusTotals;
inline int32_t& gCareerCarIndex = gCareer.carIndex;
inline int32_t& gCareerCarLimit = gCareer.carLimit;
inline int32_t& gCompetitionRace = gCareer.competitionRace;
inline int32_t& gCompetitionIndex = gCareer.competitionIndex;
inline int32_t& gCompetitionsOpen = gCareer.competitionsOpen;
inline int32_t (&gBestPlace)[kRaceSlotCount] = gCareer.bestPlace;
inline int32_t (&gRaceWins)[kRaceSlotCount] = gCareer.raceWins;
inline int32_t (&gRaceStarts)[kRaceSlotCount] = gCareer.raceStarts;
inline int32_t (&gBestMinutes)[kRaceSlotCount] = gCareer.bestMinutes;
inline int32_t (&gBestSeconds)[kRaceSlotCount] = gCareer.bestSeconds;
inline int32_t (&gBestHundredths)[kRaceSlotCount] = gCareer.bestHundredths;
inline int32_t& gTrackListIndex = gCareer.trackListIndex;
inline int32_t (&gTrackListStage)[4] = gCareer.trackListStage;
inline int32_t (&gTrackListBestPlace)[kTrackListSlotCount] = gCareer.trackListBestPlace;
inline int32_t& gQuickRaceTrack = gCareer.quickRaceTrack;
inline int32_t& gQuickRaceCar = gCareer.quickRaceCar;
inline int32_t& gGameMode = gCareer.gameMode;
inline uint8_t& gNewCareer = gCareer.newCareer;

// The progress of a fresh career: name "Player", 10000 cash, rating 1, no
// results, first competition, first truck with the whole shop open, game
// mode career, quick-race track 1. Leaves the car set-up, the quick-race
// car, the new-career flag and the unused bytes alone.
void ResetCareerProgress(CareerRecord& career);

// A whole career for when no file can be read: the fresh progress with the
// default car set-up, quick-race car 0 and the new-career flag set.
CareerRecord BuiltInCareer();

// Brings every field that the game indexes with, divides by or shows into
// its range: non-finite money and points become 0, counts and times are
// clamped, a best place out of range reads as not placed; a record already
// in range is left exactly as it is.
void SanitizeCareer(CareerRecord& career);

// Reads career.inf (documents copy, else base/, else the built-in career;
// an empty file counts as none) into gCareer, then saves it.
void LoadCareer();
// Writes gCareer to the save folder in the same way as SaveSettings.
bool SaveCareer();

// ---- Keeping the session on disk ------------------------------------------
//
// Besides the saves at start-up and shutdown, what the player did reaches
// the disk within about a second, whatever ends the game: the main thread
// commits a copy of both records at the end of every frame, and the
// shutdown guard writes what changed, off the main thread.

// Keeps a copy of the settings and the career as they stand (main thread,
// where a frame ends); each copy counts its changes. SaveSettings and
// SaveCareer commit what they write in the same way.
void CommitSaves();

// Writes each committed copy that is newer than its file, with the same
// temporary-file-and-rename as the saves; nothing when nothing changed. From
// any thread: one writer at a time, and a save under way is waited for,
// never cut off. A failure is named on stderr once, not at every retry.
// True when both files hold the newest copy. The last writes, before the
// process ends, keep the files locked, so that no save begins to be cut off.
bool WriteCommittedSaves(bool last);

// Writes one save file whole or not at all, false with the system's error
// number on failure: WriteFileAtomically. Tests put a slow or failing
// writer in its place.
using SaveFileWriter = bool (*)(const std::string& path, const void* data, size_t size, int* error);
extern SaveFileWriter gSaveFileWriter;

// ---- Where the files live ----------------------------------------------------

// <documents>/Zarnok; empty when no documents folder is known.
std::string SaveFolder();
inline constexpr const char* kBaseSettingsPath = "base/menu.inf";
inline constexpr const char* kBaseCareerPath = "base/career.inf";
