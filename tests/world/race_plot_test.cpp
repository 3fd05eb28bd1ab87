// A picture for a person: frames/race_core_drive.png plots the player's
// truck over a scripted run on the test terrain (held on the grid, the
// countdown over, full throttle up through the gears, then the brake to a
// stop): its height above the ground, speed, gear and engine revolutions.
// Made by: cd build && ./tests/test_world --gtest_filter=RaceCorePlot.*
#include "platform/test_hooks.h"
#include "tests/support/race_scene.h"
#include "world/player.h"
#include "world/race_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kHoldFrames = 50, kThrottleFrames = 700, kBrakeFrames = 200, kRestFrames = 50;
constexpr int kRunFrames = kHoldFrames + kThrottleFrames + kBrakeFrames + kRestFrames;

struct Sample {
  float height, speed, rpm, displayRpm;
  int gear;
};

// ---- a small RGB canvas with a 5 x 7 capital font ----

struct Rgb {
  uint8_t r, g, b;
};

const char* Glyph(char c) {
  static const struct {
    char c;
    const char* rows;  // 7 rows of 5 columns
  } kGlyphs[] = {
      {'0', "01110100011001110101110011000101110"}, {'1', "00100011000010000100001000010001110"},
      {'2', "01110100010000100010001000100011111"}, {'3', "11111000100010000010000011000101110"},
      {'4', "00010001100101010010111110001000010"}, {'5', "11111100001111000001000011000101110"},
      {'6', "00110010001000011110100011000101110"}, {'7', "11111000010001000100010000100001000"},
      {'8', "01110100011000101110100011000101110"}, {'9', "01110100011000101111000010001001100"},
      {'.', "00000000000000000000000000110001100"}, {'-', "00000000000000011111000000000000000"},
      {'A', "01110100011000111111100011000110001"}, {'B', "11110100011000111110100011000111110"},
      {'C', "01110100011000010000100001000101110"}, {'D', "11100100101000110001100011001011100"},
      {'E', "11111100001000011110100001000011111"}, {'G', "01110100011000010111100011000101111"},
      {'H', "10001100011000111111100011000110001"}, {'I', "01110001000010000100001000010001110"},
      {'K', "10001100101010011000101001001010001"}, {'L', "10000100001000010000100001000011111"},
      {'M', "10001110111010110101100011000110001"}, {'N', "10001100011100110101100111000110001"},
      {'O', "01110100011000110001100011000101110"}, {'P', "11110100011000111110100001000010000"},
      {'R', "11110100011000111110101001001010001"}, {'S', "01111100001000001110000010000111110"},
      {'T', "11111001000010000100001000010000100"}, {'U', "10001100011000110001100011000101110"},
      {'V', "10001100011000110001100010101000100"}, {'W', "10001100011000110101101011010101010"},
      {'Y', "10001100010101000100001000010000100"}, {'/', "00001000100001000100010000100010000"},
  };
  for (const auto& g : kGlyphs)
    if (g.c == c) return g.rows;
  return nullptr;
}

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), rgb_(size_t(width) * height * 3, 255) {}

  void Dot(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t* p = &rgb_[(size_t(y) * width_ + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
  }
  void Fill(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Dot(x, y, c);
  }
  void Line(int x0, int y0, int x1, int y1, Rgb c, int thickness = 1) {
    const int steps = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
    for (int i = 0; i <= steps; ++i) {
      const int x = x0 + (x1 - x0) * i / steps, y = y0 + (y1 - y0) * i / steps;
      Fill(x, y, x + thickness, y + thickness, c);
    }
  }
  // Capitals, digits and a few signs, each cell 6 x 8 times `scale`.
  void Text(int x, int y, const std::string& text, Rgb c, int scale = 2) {
    for (char ch : text) {
      if (const char* rows = Glyph(ch))
        for (int r = 0; r < 7; ++r)
          for (int col = 0; col < 5; ++col)
            if (rows[r * 5 + col] == '1') Fill(x + col * scale, y + r * scale, x + (col + 1) * scale, y + (r + 1) * scale, c);
      x += 6 * scale;
    }
  }
  bool WritePng(const std::string& path) const {
    const std::vector<uint8_t> png = EncodePng(width_, height_, rgb_);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
  }

 private:
  int width_, height_;
  std::vector<uint8_t> rgb_;
};

// ---- the plot ----

constexpr int kLeft = 110, kPlotWidth = kRunFrames, kTop = 60, kPanelHeight = 150, kPanelGap = 40;
constexpr Rgb kInk{30, 30, 30}, kGrid{215, 215, 215}, kHold{255, 244, 200}, kThrottle{222, 244, 222},
    kBrake{250, 222, 222};

struct Panel {
  const char* title;
  float low, high, tickStep;
  int decimals;
};

int PanelTop(int index) { return kTop + index * (kPanelHeight + kPanelGap); }
int ValueY(const Panel& p, int index, float v) {
  const float f = std::clamp((v - p.low) / (p.high - p.low), 0.0f, 1.0f);
  return PanelTop(index) + kPanelHeight - 1 - int(f * (kPanelHeight - 1));
}

void DrawPanelFrame(Canvas& canvas, const Panel& p, int index) {
  const int top = PanelTop(index);
  canvas.Fill(kLeft, top, kLeft + kHoldFrames, top + kPanelHeight, kHold);
  canvas.Fill(kLeft + kHoldFrames, top, kLeft + kHoldFrames + kThrottleFrames, top + kPanelHeight, kThrottle);
  canvas.Fill(kLeft + kHoldFrames + kThrottleFrames, top, kLeft + kHoldFrames + kThrottleFrames + kBrakeFrames,
              top + kPanelHeight, kBrake);
  for (float v = p.low; v <= p.high + 1e-3f; v += p.tickStep) {
    const int y = ValueY(p, index, v);
    canvas.Line(kLeft, y, kLeft + kPlotWidth, y, kGrid);
    char label[16];
    std::snprintf(label, sizeof label, "%.*f", p.decimals, v);
    canvas.Text(kLeft - 8 - 12 * int(std::string(label).size()), y - 7, label, kInk);
  }
  for (int frame = 0; frame <= kRunFrames; frame += 50) canvas.Line(kLeft + frame, top, kLeft + frame, top + kPanelHeight, kGrid);
  canvas.Line(kLeft, top, kLeft, top + kPanelHeight, kInk);
  canvas.Line(kLeft, top + kPanelHeight, kLeft + kPlotWidth, top + kPanelHeight, kInk);
  canvas.Text(kLeft + 8, top + 6, p.title, kInk);
}

void DrawCurve(Canvas& canvas, const Panel& p, int index, const std::vector<float>& values, Rgb colour) {
  for (size_t i = 1; i < values.size(); ++i)
    canvas.Line(kLeft + int(i) - 1, ValueY(p, index, values[i - 1]), kLeft + int(i), ValueY(p, index, values[i]),
                colour, 2);
}

bool PlotRun(const std::vector<Sample>& run, const std::string& path) {
  const Panel panels[4] = {{"HEIGHT ABOVE GROUND", 0.6f, 1.6f, 0.2f, 1},
                           {"SPEED", 0.0f, 35.0f, 5.0f, 0},
                           {"GEAR", -1.0f, 5.0f, 1.0f, 0},
                           {"", 0.0f, 8000.0f, 2000.0f, 0}};
  const Rgb rpmColour{150, 150, 150}, displayColour{120, 40, 160};
  Canvas canvas(kLeft + kPlotWidth + 30, PanelTop(4) + 30);
  canvas.Text(kLeft, 14, "PLAYER TRUCK - HOLD  ACCELERATE  BRAKE", kInk);
  // Colour keys under the three phase names (12 pixels a character).
  canvas.Fill(kLeft + 15 * 12, 34, kLeft + 19 * 12 - 2, 42, {230, 200, 90});
  canvas.Fill(kLeft + 21 * 12, 34, kLeft + 31 * 12 - 2, 42, {120, 190, 120});
  canvas.Fill(kLeft + 33 * 12, 34, kLeft + 38 * 12 - 2, 42, {220, 120, 120});
  std::vector<float> height, speed, gear, rpm, displayRpm;
  for (const Sample& s : run) {
    height.push_back(s.height);
    speed.push_back(s.speed);
    gear.push_back(float(s.gear));
    rpm.push_back(s.rpm);
    displayRpm.push_back(s.displayRpm);
  }
  for (int i = 0; i < 4; ++i) DrawPanelFrame(canvas, panels[i], i);
  DrawCurve(canvas, panels[0], 0, height, {40, 90, 200});
  DrawCurve(canvas, panels[1], 1, speed, {200, 60, 40});
  DrawCurve(canvas, panels[2], 2, gear, {40, 140, 60});
  DrawCurve(canvas, panels[3], 3, rpm, rpmColour);
  DrawCurve(canvas, panels[3], 3, displayRpm, displayColour);
  canvas.Text(kLeft + 8, PanelTop(3) + 6, "RPM", rpmColour);
  canvas.Text(kLeft + 8 + 4 * 12, PanelTop(3) + 6, "AND", kInk);
  canvas.Text(kLeft + 8 + 8 * 12, PanelTop(3) + 6, "SMOOTHED RPM", displayColour);
  const int axisY = PanelTop(3) + kPanelHeight + 6;
  for (int second = 0; second * 50 <= kRunFrames; second += 2) {
    const std::string label = std::to_string(second);
    canvas.Text(kLeft + second * 50 - 6 * int(label.size()), axisY, label, kInk);
  }
  canvas.Text(kLeft + kPlotWidth - 10 * 12, axisY + 18, "SECONDS", kInk);
  return canvas.WritePng(path);
}

}  // namespace

TEST(RaceCorePlot, ScriptedStartClimbThroughTheGearsAndStop) {
  RaceScene scene;
  scene.ParkOpponents();
  Racer& car = scene.player();
  std::vector<Sample> run;
  gStartHold = 1;
  for (int frame = 0; frame < kRunFrames; ++frame) {
    if (frame == kHoldFrames) {
      gStartHold = 0;
      scene.Press(kControlAccelerate);
    }
    if (frame == kHoldFrames + kThrottleFrames) {
      scene.Press(kControlAccelerate, false);
      scene.Press(kControlBrake);
    }
    if (frame == kHoldFrames + kThrottleFrames + kBrakeFrames) scene.Press(kControlBrake, false);
    scene.Frame();
    run.push_back({scene.Height(car), car.speed, car.rpm, car.displayRpm, car.gear});
  }

  float topSpeed = 0, lowest = 10, highest = 0;
  int topGear = 0;
  for (int frame = kHoldFrames; frame < kRunFrames; ++frame) {
    topSpeed = std::max(topSpeed, run[frame].speed);
    topGear = std::max(topGear, run[frame].gear);
    lowest = std::min(lowest, run[frame].height);
    highest = std::max(highest, run[frame].height);
  }
  EXPECT_EQ(topGear, 5);
  EXPECT_GT(topSpeed, 28.3f);
  EXPECT_LT(run.back().speed, 0.5f);
  EXPECT_GT(lowest, 0.8f);  // the body rides on its springs throughout
  EXPECT_LT(highest, 1.3f);
  for (const Sample& s : run) EXPECT_TRUE(s.rpm >= 1000.0f && s.rpm <= 7500.0f);

  std::filesystem::create_directories("frames");
  ASSERT_TRUE(PlotRun(run, "frames/race_core_drive.png"));
}
