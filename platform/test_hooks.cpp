// Test hooks: fixed frame time, scripted input, frame dumps.
#include "platform/test_hooks.h"

#include "platform/gl.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::atomic<uint32_t> gSwappedFrames{0};
std::atomic<bool> gFramesHeld{false};

struct Script {
  std::vector<ScriptedEvent> events;
  size_t next = 0;
};

Script& LoadedScript() {
  static Script script = [] {
    Script loaded;
    if (const char* path = TestEnv("ZARNOK_INPUT")) {
      std::ifstream in(path);
      if (!in) std::fprintf(stderr, "Input script %s cannot be read\n", path);
      std::stringstream text;
      text << in.rdbuf();
      loaded.events = ParseInputScript(text.str());
    }
    return loaded;
  }();
  return script;
}

std::set<uint32_t> FramesToDump() {
  std::set<uint32_t> frames;
  const char* list = TestEnv("ZARNOK_DUMP_FRAMES");
  if (!list || !TestEnv("ZARNOK_DUMP_DIR")) return frames;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) frames.insert(static_cast<uint32_t>(std::strtoul(item.c_str(), nullptr, 10)));
  }
  return frames;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBigEndian32(out, Crc32(typed.data(), typed.size()));
}

}  // namespace

bool NonInteractiveRun() {
  static const bool nonInteractive = TestEnv("ZARNOK_NONINTERACTIVE") != nullptr;
  return nonInteractive;
}

uint32_t FixedFrameMilliseconds() {
  static const uint32_t milliseconds = [] {
    const char* value = TestEnv("ZARNOK_FRAME_MS");
    return value ? static_cast<uint32_t>(std::strtoul(value, nullptr, 10)) : 0u;
  }();
  return milliseconds;
}

uint32_t SwappedFrames() { return gSwappedFrames.load(std::memory_order_acquire); }

void BeforeSwap(int width, int height) {
  static const std::set<uint32_t> frames = FramesToDump();
  uint32_t frame = SwappedFrames();
  if (!frames.count(frame) || width <= 0 || height <= 0) return;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  // GL rows run bottom to top; PNG rows top to bottom.
  std::vector<uint8_t> rows(pixels.size());
  size_t stride = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    std::memcpy(&rows[y * stride], &pixels[(height - 1 - y) * stride], stride);
  }
  char name[64];
  std::snprintf(name, sizeof name, "/frame-%u.png", frame);
  std::string path = std::string(TestEnv("ZARNOK_DUMP_DIR")) + name;
  std::vector<uint8_t> png = EncodePng(width, height, rows);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!out) std::fprintf(stderr, "Frame dump %s cannot be written\n", path.c_str());
}

void AfterSwap() {
  if (!gFramesHeld.load(std::memory_order_acquire)) gSwappedFrames.fetch_add(1, std::memory_order_acq_rel);
}

bool ScriptedInputRun() { return TestEnv("ZARNOK_INPUT") != nullptr; }

bool NextScriptedEvent(Event* event) {
  Script& script = LoadedScript();
  if (script.next >= script.events.size()) return false;
  if (script.events[script.next].frame > SwappedFrames()) return false;
  *event = script.events[script.next++].event;
  return true;
}

std::vector<ScriptedEvent> ParseInputScript(const std::string& text) {
  std::vector<ScriptedEvent> events;
  std::stringstream lines(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(lines, line)) {
    ++lineNumber;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::stringstream words(line);
    std::string action, argument;
    long frame = 0;
    if (!(words >> frame)) continue;  // blank or comment line
    bool ok = frame >= 0 && static_cast<bool>(words >> action);
    Event event{EventKind::Close};
    int a = 0, b = 0;
    if (!ok) {
    } else if (action == "key-down" || action == "key-up" || action == "char") {
      ok = static_cast<bool>(words >> a) && a > 0 && a < 256;
      event.kind = action == "key-down" ? EventKind::KeyDown
                   : action == "key-up" ? EventKind::KeyUp
                                        : EventKind::Char;
      event.code = a;
    } else if (action == "mouse-move") {
      ok = static_cast<bool>(words >> a >> b);
      event = Event{EventKind::MouseMove, 0, a, b};
    } else if (action == "mouse-down" || action == "mouse-up") {
      ok = static_cast<bool>(words >> argument) && (argument == "left" || argument == "right");
      event.kind = action == "mouse-down" ? EventKind::ButtonDown : EventKind::ButtonUp;
      event.code = argument == "left" ? 0 : 1;
    } else if (action == "close") {
      event.kind = EventKind::Close;
    } else if (action == "quit") {
      event.kind = EventKind::QuitRequest;
    } else if (action == "finish") {
      event.kind = EventKind::TestFinish;
    } else {
      ok = false;
    }
    if (ok && !events.empty() && static_cast<uint32_t>(frame) < events.back().frame) ok = false;
    if (!ok) {
      std::fprintf(stderr, "Input script line %d cannot be read: %s\n", lineNumber, line.c_str());
      continue;
    }
    events.push_back({static_cast<uint32_t>(frame), event});
  }
  return events;
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian32(header, static_cast<uint32_t>(width));
  PutBigEndian32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
  PutChunk(out, "IHDR", header);

  // Scan lines, each behind filter byte 0, wrapped in zlib stored blocks.
  size_t stride = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> raw;
  raw.reserve((stride + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb.begin() + y * stride, rgb.begin() + (y + 1) * stride);
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  const size_t kMaxStored = 65535;
  size_t offset = 0;
  do {
    size_t size = std::min(kMaxStored, raw.size() - offset);
    bool last = offset + size == raw.size();
    zlib.push_back(last ? 1 : 0);
    zlib.push_back(static_cast<uint8_t>(size));
    zlib.push_back(static_cast<uint8_t>(size >> 8));
    zlib.push_back(static_cast<uint8_t>(~size));
    zlib.push_back(static_cast<uint8_t>(~size >> 8));
    zlib.insert(zlib.end(), raw.begin() + offset, raw.begin() + offset + size);
    offset += size;
  } while (offset < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian32(zlib, (b << 16) | a);
  PutChunk(out, "IDAT", zlib);
  PutChunk(out, "IEND", {});
  return out;
}

void Sys_HoldScriptFrames(bool held) { gFramesHeld.store(held, std::memory_order_release); }
