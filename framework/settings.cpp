#include "framework/settings.h"

#include "framework/binary_file.h"
#include "framework/globals.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

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

float gSightDistance = 400.0f;
uint8_t gSettingsAccepted;
int32_t gAntiAliasingChoice;

CareerRecord gCareer;

namespace {

constexpr int32_t kResolutions[kResolutionCount][2] = {
    {1024, 768},  {1280, 768},  {1280, 960},  {1280, 1024}, {1600, 900},
    {1600, 1000}, {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}};

constexpr float kSightDistances[3] = {310.0f, 380.0f, 450.0f};  // world units by gSightRange

constexpr int32_t kMaxKeyCode = 255;

// The end-of-file value of a word reader: what a missing word reads as.
constexpr int32_t kMissingWord = -1;

bool WordInRange(int word, int32_t value) {
  switch (word) {
    case kWordResolution: return value >= 0 && value < kResolutionCount;
    case kWordTraffic: return value >= 0 && value <= 2;
    case kWordShadowDetail: return value >= 0 && value <= 3;
    case kWordAntiAliasing: return value == 0 || value == 2 || value == 4 || value == 8;
    default: break;
  }
  if (word >= kWordKeyBindings && word < kWordKeyBindings + kKeyBindingCount) {
    return value >= 1 && value <= kMaxKeyCode;
  }
  return true;  // every other word is taken as it stands
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
// False when neither can be read.
bool ReadSaveFile(const char* name, const char* basePath, size_t size, std::vector<uint8_t>& bytes) {
  std::string folder = SaveFolder();
  if (!folder.empty()) {
    const std::string path = folder + "/" + name;
    if (ReadFileStart(path, size, bytes)) return true;
    SetAsideUnreadable(path);
  }
  return ReadFileStart(basePath, size, bytes);
}

bool WriteSaveFile(const char* name, const void* data, size_t size) {
  std::string folder = SaveFolder();
  if (folder.empty()) {
    std::fprintf(stderr, "Cannot save %s: no documents folder is known\n", name);
    return false;
  }
  Sys_MakeFolder(folder);
  std::string path = folder + "/" + name;
  if (!WriteFileAtomically(path, data, size)) {
    std::fprintf(stderr, "Cannot save %s\n", path.c_str());
    return false;
  }
  return true;
}

void SetScreenSizeFromIndex() { ResolutionSize(gResolutionIndex, gScreenWidth, gScreenHeight); }

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
  gResolutionIndex = w[kWordResolution];
  SetScreenSizeFromIndex();
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
  if (gSightRange >= 0 && gSightRange <= 2) gSightDistance = kSightDistances[gSightRange];
  gAntiAliasing = w[kWordAntiAliasing];
  std::copy(w + kWordKeyBindings, w + kWordKeyBindings + kKeyBindingCount, gKeyBindings);
  std::copy(w + kWordCarried20, w + kSettingsWordCount, gSettingWords20);
}

void CollectSettingsWords(int32_t w[kSettingsWordCount]) {
  if (gSettingsAccepted) {
    for (int i = 0; i < kResolutionCount; ++i) {
      if (kResolutions[i][0] == gScreenWidth && kResolutions[i][1] == gScreenHeight) {
        gResolutionIndex = i;
        break;
      }
    }
  }
  w[kWordResolution] = gResolutionIndex;
  SetScreenSizeFromIndex();
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
  if (gSettingsAccepted) gAntiAliasing = gAntiAliasingChoice;
  w[kWordAntiAliasing] = gAntiAliasing;
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
  int32_t words[kSettingsWordCount];
  CollectSettingsWords(words);
  ByteBuffer writer;
  for (int32_t word : words) writer.I32(word);
  return WriteSaveFile("menu.inf", writer.bytes.data(), writer.bytes.size());
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
  CarSetup& s = c.carSetup;
  for (int i = 0; i < kPartCount; ++i) {
    if (kPartChoiceCount[i] > 0) s.partChoice[i] = std::clamp(s.partChoice[i], 0, kPartChoiceCount[i] - 1);
  }
  s.enginePackage = std::clamp(s.enginePackage, 0, kMaxPackageLevel);
  s.suspensionPackage = std::clamp(s.suspensionPackage, 0, kMaxPackageLevel);
  s.turboPackage = std::clamp(s.turboPackage, 0, kMaxPackageLevel);
}

void LoadCareer() {
  std::vector<uint8_t> bytes;
  if (ReadSaveFile("career.inf", kBaseCareerPath, kCareerFileSize, bytes)) {
    // A short file leaves the fields it does not reach as they were.
    if (!bytes.empty()) std::memcpy(&gCareer, bytes.data(), std::min(bytes.size(), sizeof gCareer));
  } else {
    gCareer = BuiltInCareer();
  }
  SanitizeCareer(gCareer);
  SaveCareer();
}

bool SaveCareer() { return WriteSaveFile("career.inf", &gCareer, sizeof gCareer); }
