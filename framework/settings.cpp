#include "framework/settings.h"

#include "framework/binary_file.h"
#include "platform/platform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include <unistd.h>

int32_t gResolutionIndex;
int32_t gColourBits = 32;
int32_t gReflectionMode;
uint8_t gSoundOn;
uint8_t gMusicOn;
uint8_t gEaxOn;
int32_t gSettingWord6;
int32_t gTrafficSetting;
int32_t gMotionBlur;
int32_t gSoftParticles;
uint8_t gTextureCompression;
int32_t gTextureFiltering;
int32_t gShadowDetail;
int32_t gSightRange;
int32_t gAntiAliasing;
int32_t gKeyBindings[kKeyBindingCount];
int32_t gSettingWords20[5];

int32_t gScreenWidth = 1024, gScreenHeight = 768;
float gSightDistance = 400.0f;
uint8_t gSettingsAccepted;
int32_t gAntiAliasingChoice;
int32_t gPendingResolutionIndex;

CareerRecord gCareer;
SaveFileWriter gSaveFileWriter = WriteFileAtomically;

namespace {

constexpr int32_t kResolutions[kResolutionCount][2] = {
    {1024, 768},  {1280, 768},  {1280, 960},  {1280, 1024}, {1600, 900},
    {1600, 1000}, {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}};

constexpr int32_t kMaxKeyCode = 255;  // key bindings index the 256-entry key table

// The end-of-file value of a word reader: what a missing word reads as.
constexpr int32_t kMissingWord = -1;

// The range of each word that the game branches on or indexes with; a word
// outside it takes its default. The byte flags (sound, music, EAX) are on
// for any value but 0, and the carried words mean nothing to the game:
// neither has a range.
struct WordRange {
  int first, last;    // words first..last
  int32_t low, high;  // allowed values low..high
};
constexpr WordRange kWordRanges[] = {
    {kWordResolution, kWordResolution, 0, kResolutionCount - 1},
    {kWordReflectionMode, kWordReflectionMode, 0, 2},
    {kWordTraffic, kWordTraffic, 0, kMaxTrafficSetting},
    {kWordMotionBlur, kWordMotionBlur, 0, 1},
    {kWordSoftParticles, kWordSoftParticles, 0, 1},
    {kWordTextureFiltering, kWordTextureFiltering, 0, 1},
    {kWordShadowDetail, kWordShadowDetail, 0, 3},
    {kWordSightRange, kWordSightRange, 0, kSightRangeCount - 1},
    {kWordKeyBindings, kWordKeyBindings + kKeyBindingCount - 1, 1, kMaxKeyCode},
};
// Two words hold one of a few values rather than a range.
constexpr int32_t kColourBitsValues[] = {16, 24, 32};
constexpr int32_t kAntiAliasingValues[] = {0, 2, 4, 8};  // multisample counts

template <size_t N>
bool OneOf(const int32_t (&values)[N], int32_t value) {
  return std::ranges::find(values, value) != std::end(values);
}

bool WordInRange(int word, int32_t value) {
  if (word == kWordColourBits) return OneOf(kColourBitsValues, value);
  if (word == kWordAntiAliasing) return OneOf(kAntiAliasingValues, value);
  for (const WordRange& range : kWordRanges) {
    if (word >= range.first && word <= range.last) return value >= range.low && value <= range.high;
  }
  return true;
}

// The screen mode of a window size; -1 when the table has no such mode.
int ResolutionIndexOf(int32_t width, int32_t height) {
  for (int i = 0; i < kResolutionCount; ++i) {
    if (kResolutions[i][0] == width && kResolutions[i][1] == height) return i;
  }
  return -1;
}

// A documents copy that exists but cannot be read would be replaced by the
// write-back of the base copy: it is renamed aside first, so that what the
// player saved is never lost.
void SetAsideUnreadable(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return;
  const std::string kept = path + ".unreadable";
  std::filesystem::rename(path, kept, error);
  if (error) {
    std::fprintf(stderr, "%s cannot be read or set aside\n", path.c_str());
  } else {
    std::fprintf(stderr, "%s cannot be read; it is kept as %s\n", path.c_str(), kept.c_str());
  }
}

// Reads the first `size` bytes of the documents copy, else of the base
// copy (a longer file is read that far, a shorter one as far as it goes).
// An empty file holds no record at all and counts as no file. False when
// neither copy can be read.
bool ReadSaveFile(const char* name, const char* basePath, size_t size, std::vector<uint8_t>& bytes) {
  std::string folder = SaveFolder();
  if (!folder.empty()) {
    const std::string path = folder + "/" + name;
    if (ReadFileStart(path, size, bytes)) {
      if (!bytes.empty()) return true;
    } else {
      SetAsideUnreadable(path);
    }
  }
  return ReadFileStart(basePath, size, bytes) && !bytes.empty();
}

// Writes one save file whole or not at all. A save that cannot be written
// is named with the reason on stderr, through plain system calls: the
// shutdown guard comes here while a stuck thread may hold stderr's lock.
bool WriteSaveFile(const char* name, const void* data, size_t size, bool report) {
  const std::string folder = SaveFolder();
  std::string failure;
  int error = 0;
  if (folder.empty()) {
    failure = std::string("Cannot save ") + name + ": no documents folder is known";
  } else if (!Sys_MakeFolder(folder)) {
    // A folder that cannot be made means a path that is not ours to write
    // into (a file in its place, no permission): nothing is written at all.
    failure = std::string("Cannot save ") + name + ": the folder " + folder + " cannot be made";
  } else if (!gSaveFileWriter(folder + "/" + name, data, size, &error)) {
    failure = "Cannot save " + folder + "/" + name + ": " + std::generic_category().message(error);
  }
  if (failure.empty()) return true;
  if (report) {
    failure += "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, failure.data(), failure.size());
  }
  return false;
}

// Money and points within 0..high; a value that is not a finite number is 0.
float ClampAmount(float value, float high) {
  return std::isfinite(value) ? std::clamp(value, 0.0f, high) : 0.0f;
}

void ClampRaceTables(CareerRecord& c) {
  constexpr int32_t kLastSecond = 59;
  constexpr int32_t kLastHundredth = 99;
  for (int r = 0; r < kRaceSlotCount; ++r) {
    // A place outside 1..5 is no result at all, rather than a win.
    if (c.bestPlace[r] < 1 || c.bestPlace[r] > kNotPlaced) c.bestPlace[r] = kNotPlaced;
    c.raceWins[r] = std::clamp(c.raceWins[r], 0, kMaxRaceCount);
    c.raceStarts[r] = std::clamp(c.raceStarts[r], 0, kMaxRaceCount);
    c.bestMinutes[r] = std::clamp(c.bestMinutes[r], 0, kMaxBestMinutes);
    c.bestSeconds[r] = std::clamp(c.bestSeconds[r], 0, kLastSecond);
    c.bestHundredths[r] = std::clamp(c.bestHundredths[r], 0, kLastHundredth);
  }
  for (int32_t& place : c.trackListBestPlace) {
    if (place < 1 || place > kNoSeriesPlace) place = kNoSeriesPlace;
  }
}

using SettingsBytes = std::array<uint8_t, kSettingsFileSize>;

SettingsBytes CollectSettingsBytes() {
  int32_t words[kSettingsWordCount];
  CollectSettingsWords(words);
  ByteBuffer writer;
  for (int32_t word : words) writer.I32(word);
  SettingsBytes bytes;
  std::copy(writer.bytes.begin(), writer.bytes.end(), bytes.begin());
  return bytes;
}

// One save file: the copy of its record that the main thread last committed,
// and what the file holds. Versions count the committed copy's changes, so a
// writer tells newer from older without comparing bytes, and never puts an
// older copy over a newer one.
struct SaveSlot {
  const char* name;
  size_t size;                               // bytes of the record
  uint8_t committed[kCareerFileSize] = {};   // the larger record fits; under gCommittedLock
  uint64_t committedVersion = 0;             // under gCommittedLock; 0 while nothing is committed
  uint64_t writtenVersion = 0;               // under gSaveFileLock: the version the file holds
  bool failing = false;                      // under gSaveFileLock: the last write failed and was reported
};
SaveSlot gSettingsSlot{"menu.inf", kSettingsFileSize};
SaveSlot gCareerSlot{"career.inf", kCareerFileSize};

// Held only to copy a record in or out: never over a file write.
std::mutex gCommittedLock;
// One writer of the save files at a time (the main thread's saves, the
// guard's), held over taking the newest copy and writing it, so that what a
// writer took is still the newest when it lands.
std::mutex gSaveFileLock;

// The record as it stands becomes the committed copy (main thread, with
// gCommittedLock held). Returns the copy's version.
uint64_t Commit(SaveSlot& slot, const void* record) {
  if (slot.committedVersion == 0 || std::memcmp(slot.committed, record, slot.size) != 0) {
    std::memcpy(slot.committed, record, slot.size);
    ++slot.committedVersion;
  }
  return slot.committedVersion;
}

// Writes `record`, the slot's copy of `version`, and notes what the file
// now holds (gSaveFileLock held).
bool WriteVersion(SaveSlot& slot, const void* record, uint64_t version, bool report) {
  const bool saved = WriteSaveFile(slot.name, record, slot.size, report);
  slot.failing = !saved;
  if (saved) slot.writtenVersion = version;
  return saved;
}

// The main thread's save: what it holds now is committed and written at once.
bool SaveNow(SaveSlot& slot, const void* record) {
  std::lock_guard files(gSaveFileLock);
  uint64_t version;
  {
    std::lock_guard lock(gCommittedLock);
    version = Commit(slot, record);
  }
  return WriteVersion(slot, record, version, true);
}

// Writes the committed copy when it is newer than the file (gSaveFileLock
// held). A failure is reported once, not at every retry. True when the file
// holds the newest copy.
bool WriteIfNewer(SaveSlot& slot) {
  uint8_t copy[kCareerFileSize];
  uint64_t version;
  {
    std::lock_guard lock(gCommittedLock);
    version = slot.committedVersion;
    std::memcpy(copy, slot.committed, slot.size);
  }
  return version <= slot.writtenVersion || WriteVersion(slot, copy, version, !slot.failing);
}

}  // namespace

std::string SaveFolder() {
  std::string documents = Sys_DocumentsFolder();
  return documents.empty() ? std::string() : documents + "/Zarnok";
}

bool ResolutionSize(int index, int32_t& width, int32_t& height) {
  if (index < 0 || index >= kResolutionCount) return false;
  width = kResolutions[index][0];
  height = kResolutions[index][1];
  return true;
}

void DefaultSettingsWords(int32_t words[kSettingsWordCount]) {
  std::fill(words, words + kSettingsWordCount, 0);
  words[kWordResolution] = 0;          // 1024 × 768
  words[kWordColourBits] = 32;
  words[kWordReflectionMode] = 0;      // all faces once per race: the cheapest
  words[kWordSound] = 1;
  words[kWordMusic] = 1;
  words[kWordEax] = 0;
  words[kWordTraffic] = 1;             // two traffic cars
  words[kWordMotionBlur] = 0;
  words[kWordSoftParticles] = 0;
  words[kWordTextureCompression] = 1;
  // Anisotropic filtering stays off: a software rasteriser slows to a crawl with it.
  words[kWordTextureFiltering] = 0;
  words[kWordShadowDetail] = 1;        // normal
  words[kWordSightRange] = 1;
  words[kWordAntiAliasing] = 0;
  const int32_t keys[kKeyBindingCount] = {vk::kLeft, vk::kRight, vk::kUp, vk::kDown, vk::kShift};
  std::copy(keys, keys + kKeyBindingCount, words + kWordKeyBindings);
}

void ApplySettingsWords(const int32_t fileWords[kSettingsWordCount]) {
  int32_t defaults[kSettingsWordCount];
  DefaultSettingsWords(defaults);
  int32_t w[kSettingsWordCount];
  for (int i = 0; i < kSettingsWordCount; ++i) {
    w[i] = WordInRange(i, fileWords[i]) ? fileWords[i] : defaults[i];
  }
  // An unknown screen mode keeps the size set before; the index then names
  // that size when the table has it, so that no screen indexes out of it.
  if (!ResolutionSize(fileWords[kWordResolution], gScreenWidth, gScreenHeight)) {
    const int kept = ResolutionIndexOf(gScreenWidth, gScreenHeight);
    if (kept >= 0) {
      w[kWordResolution] = kept;
    } else {
      ResolutionSize(w[kWordResolution], gScreenWidth, gScreenHeight);
    }
  }
  gResolutionIndex = w[kWordResolution];
  gPendingResolutionIndex = gResolutionIndex;
  gColourBits = w[kWordColourBits];
  gReflectionMode = w[kWordReflectionMode];
  gSoundOn = w[kWordSound] != 0;
  gMusicOn = w[kWordMusic] != 0;
  gEaxOn = w[kWordEax] != 0;
  gSettingWord6 = w[kWordCarried6];
  gTrafficSetting = w[kWordTraffic];
  gMotionBlur = w[kWordMotionBlur];
  gSoftParticles = w[kWordSoftParticles];
  gTextureCompression = 1;  // always on, whatever the file says
  gTextureFiltering = w[kWordTextureFiltering];
  gShadowDetail = w[kWordShadowDetail];
  gSightRange = w[kWordSightRange];
  // The distance always follows the index that is kept and written back: an
  // unknown sight range that left the distance as it was would come back
  // as another distance at the next start.
  gSightDistance = kSightDistances[gSightRange];
  gAntiAliasing = w[kWordAntiAliasing];
  std::copy(w + kWordKeyBindings, w + kWordKeyBindings + kKeyBindingCount, gKeyBindings);
  std::copy(w + kWordCarried20, w + kSettingsWordCount, gSettingWords20);
}

void CollectSettingsWords(int32_t w[kSettingsWordCount]) {
  const bool pendingValid = gPendingResolutionIndex >= 0 && gPendingResolutionIndex < kResolutionCount;
  w[kWordResolution] = gSettingsAccepted && pendingValid ? gPendingResolutionIndex : gResolutionIndex;
  w[kWordColourBits] = gColourBits;
  w[kWordReflectionMode] = gReflectionMode;
  w[kWordSound] = gSoundOn != 0;
  w[kWordMusic] = gMusicOn != 0;
  w[kWordEax] = gEaxOn != 0;
  w[kWordCarried6] = gSettingWord6;
  w[kWordTraffic] = gTrafficSetting;
  w[kWordMotionBlur] = gMotionBlur;
  w[kWordSoftParticles] = gSoftParticles;
  w[kWordTextureCompression] = gTextureCompression != 0;
  w[kWordTextureFiltering] = gTextureFiltering;
  w[kWordShadowDetail] = gShadowDetail;
  w[kWordSightRange] = gSightRange;
  w[kWordAntiAliasing] = gSettingsAccepted ? gAntiAliasingChoice : gAntiAliasing;
  std::copy(gKeyBindings, gKeyBindings + kKeyBindingCount, w + kWordKeyBindings);
  std::copy(gSettingWords20, gSettingWords20 + 5, w + kWordCarried20);
}

void LoadSettings() {
  int32_t words[kSettingsWordCount];
  std::vector<uint8_t> bytes;
  if (ReadSaveFile("menu.inf", kBaseSettingsPath, kSettingsFileSize, bytes)) {
    ByteCursor reader(bytes);
    for (int32_t& word : words) {
      word = reader.I32();
      if (!reader.Ok()) word = kMissingWord;
    }
  } else {
    DefaultSettingsWords(words);
  }
  ApplySettingsWords(words);
  SaveSettings();
}

bool SaveSettings() {
  // Accepted, the chosen anti-aliasing is also the one in effect.
  if (gSettingsAccepted) gAntiAliasing = gAntiAliasingChoice;
  const SettingsBytes bytes = CollectSettingsBytes();
  return SaveNow(gSettingsSlot, bytes.data());
}

void ResetCareerProgress(CareerRecord& c) {
  c.playerNameLength = 0;
  std::memset(c.playerName, 0, sizeof c.playerName);
  std::memcpy(c.playerName, "Player", 6);
  c.cash = 10000.0f;
  c.careerPoints = 0.0f;
  c.ratingLevel = 1;
  std::fill(std::begin(c.bonusTotals), std::end(c.bonusTotals), 0.0f);
  c.zeroWord228 = 0;
  c.zeroWord232 = 0;
  c.competitionIndex = 0;
  c.competitionRace = 1;
  c.competitionsOpen = 0;
  for (int r = 0; r < kRaceSlotCount; ++r) {
    c.bestPlace[r] = kNotPlaced;
    c.raceWins[r] = 0;
    c.raceStarts[r] = 0;
    c.bestMinutes[r] = 0;
    c.bestSeconds[r] = 0;
    c.bestHundredths[r] = 0;
  }
  c.carIndex = 0;
  c.carLimit = kCatalogueSize - 1;
  c.gameMode = kGameModeCareer;
  c.trackListIndex = 0;
  std::fill(std::begin(c.trackListStage), std::end(c.trackListStage), 1);
  std::fill(std::begin(c.trackListBestPlace), std::end(c.trackListBestPlace), kNoSeriesPlace);
  c.quickRaceTrack = 1;
}

CareerRecord BuiltInCareer() {
  CareerRecord c{};
  ResetCareerProgress(c);
  c.carSetup = DefaultCarSetup();
  c.quickRaceCar = 0;
  c.newCareer = 1;
  return c;
}

void SanitizeCareer(CareerRecord& c) {
  c.playerName[kPlayerNameSize - 1] = '\0';
  const int32_t nameLength = static_cast<int32_t>(std::strlen(c.playerName));
  c.playerNameLength = std::clamp(c.playerNameLength, 0, std::min(kMaxPlayerNameLength, nameLength));
  c.cash = ClampAmount(c.cash, kMaxCareerAmount);
  // Points stay below a level's worth: booking turns the surplus into levels
  // one at a time.
  c.careerPoints = ClampAmount(c.careerPoints, std::nextafter(kPointsPerRatingLevel, 0.0f));
  for (float& total : c.bonusTotals) total = ClampAmount(total, kMaxCareerAmount);
  c.ratingLevel = std::clamp(c.ratingLevel, 1, kMaxRatingLevel);
  c.competitionsOpen = std::clamp(c.competitionsOpen, 0, kCompetitionCount - 1);
  ClampRaceTables(c);
  c.newCareer = c.newCareer != 0;
  c.carIndex = std::clamp(c.carIndex, 0, kCatalogueSize - 1);
  c.carLimit = std::clamp(c.carLimit, 0, kCatalogueSize - 1);
  // Competition and race index the 30-entry race tables as competition × 4 + race − 1.
  const int32_t lastCompetition = (kRaceSlotCount - 1) / kRacesPerCompetition;
  c.competitionIndex = std::clamp(c.competitionIndex, 0, lastCompetition);
  const int32_t racesLeft = kRaceSlotCount - c.competitionIndex * kRacesPerCompetition;
  c.competitionRace = std::clamp(c.competitionRace, 1, std::min(kRacesPerCompetition, racesLeft));
  c.trackListIndex = std::clamp(c.trackListIndex, 0, kTrackListSeriesCount - 1);
  for (int32_t& stage : c.trackListStage) stage = std::clamp(stage, 1, kRacesPerCompetition);
  c.quickRaceTrack = std::clamp(c.quickRaceTrack, 1, kTrackCount);
  c.quickRaceCar = std::clamp(c.quickRaceCar, 0, kCatalogueSize - 1);
  c.gameMode = std::clamp(c.gameMode, int32_t(kGameModeCareer), int32_t(kGameModeQuickRace));
  // The shops index their price tables with the set-up's choices.
  ClampCarSetup(c.carSetup);
}

void LoadCareer() {
  std::vector<uint8_t> bytes;
  if (ReadSaveFile("career.inf", kBaseCareerPath, kCareerFileSize, bytes)) {
    // A short file leaves the fields it does not reach as they were.
    std::memcpy(&gCareer, bytes.data(), std::min(bytes.size(), sizeof gCareer));
  } else {
    gCareer = BuiltInCareer();
  }
  SanitizeCareer(gCareer);
  SaveCareer();
}

bool SaveCareer() { return SaveNow(gCareerSlot, &gCareer); }

void CommitSaves() {
  const SettingsBytes settings = CollectSettingsBytes();
  std::lock_guard lock(gCommittedLock);
  Commit(gSettingsSlot, settings.data());
  Commit(gCareerSlot, &gCareer);
}

bool WriteCommittedSaves(bool last) {
  gSaveFileLock.lock();
  const bool settingsSaved = WriteIfNewer(gSettingsSlot);
  const bool careerSaved = WriteIfNewer(gCareerSlot);
  if (!last) gSaveFileLock.unlock();
  return settingsSaved && careerSaved;
}
