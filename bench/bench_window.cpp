#include "bench_window.h"

#include "app/app.h"  // ShadowMapSizeForDetail
#include "framework/globals.h"
#include "framework/settings.h"
#include "tests/support/gl_window.h"

#include <cstdlib>
#include <cstring>

namespace {

bool UseBenchWindowWith(void (*choose)(int32_t (&words)[kSettingsWordCount])) {
  GlWindow* window = GlWindow::Get();
  if (!window) return false;
  window->MakeMainCurrent();
  gResolutionIndex = 0;
  gScreenWidth = GlWindow::kWidth;
  gScreenHeight = GlWindow::kHeight;
  gAntiAliasing = 0;
  int32_t words[kSettingsWordCount];
  DefaultSettingsWords(words);
  choose(words);
  ApplySettingsWords(words);
  gShadowMapSize = ShadowMapSizeForDetail(gShadowDetail, kShadowMapSizeOff);
  return true;
}

void KeepDefaults(int32_t (&)[kSettingsWordCount]) {}

void ChooseLightest(int32_t (&words)[kSettingsWordCount]) {
  words[kWordShadowDetail] = 0;
  words[kWordSightRange] = 0;
  words[kWordTraffic] = 0;
}

}  // namespace

bool UseBenchWindowWithDefaultSettings() { return UseBenchWindowWith(KeepDefaults); }

bool UseBenchWindowWithChosenSettings() {
  const char* lightest = std::getenv("ZARNOK_BENCH_LIGHTEST");
  return UseBenchWindowWith(lightest && std::strcmp(lightest, "1") == 0 ? ChooseLightest : KeepDefaults);
}
