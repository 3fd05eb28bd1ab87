#include "bench_window.h"

#include "app/app.h"  // ShadowMapSizeForDetail
#include "framework/globals.h"
#include "framework/settings.h"
#include "tests/support/gl_window.h"

bool UseBenchWindowWithDefaultSettings() {
  GlWindow* window = GlWindow::Get();
  if (!window) return false;
  window->MakeMainCurrent();
  gResolutionIndex = 0;
  gScreenWidth = GlWindow::kWidth;
  gScreenHeight = GlWindow::kHeight;
  gAntiAliasing = 0;
  int32_t defaults[kSettingsWordCount];
  DefaultSettingsWords(defaults);
  ApplySettingsWords(defaults);
  gShadowMapSize = ShadowMapSizeForDetail(gShadowDetail, kShadowMapSizeOff);
  return true;
}
