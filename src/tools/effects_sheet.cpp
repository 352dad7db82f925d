#include "tools/effects_sheet.h"

#include <QColor>
#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>
#include <utility>

#include "devices/audio_band_reducer.h"
#include "devices/keyboard_key_matrix.h"
#include "devices/keyboard_light_engine.h"
#include "devices/light_buffer.h"
#include "devices/light_engine.h"
#include "devices/light_mouse_effects.h"
#include "devices/light_pad_effects.h"

namespace varkon {
namespace {

constexpr const char* kUsage =
    "usage: varkon-effects --device keyboard|mouse|pad|headset --mode N [--speed S]\n"
    "       [--brightness B] [--colour RRGGBB] [--multicolour] [--backward] [--frames N]\n"
    "       [--every MS] [--start MS] [--keys] [--audio] [--style 0-6] --out FILE.png\n";

constexpr uint32_t kKeyPressEveryMs = 150;
constexpr uint32_t kKeyHoldMs = 70;
constexpr uint32_t kMouseNoticeEveryMs = 600;
constexpr uint32_t kSpectrumEveryMs = 20;

// ---- arguments

bool ParseNumber(std::string_view text, long min, long max, long& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= min && value <= max;
}

bool ParseColour(std::string_view text, Rgb& colour) {
  if (text.size() == 7 && text.front() == '#') text.remove_prefix(1);
  if (text.size() != 6) return false;
  uint32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + 6, v, 16);
  if (ec != std::errc() || end != text.data() + 6) return false;
  colour =
      Rgb{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  return true;
}

bool ParseDevice(std::string_view text, SheetDevice& device) {
  static constexpr std::pair<std::string_view, SheetDevice> kNames[] = {
      {"keyboard", SheetDevice::kKeyboard},
      {"mouse", SheetDevice::kMouse},
      {"pad", SheetDevice::kMousePad},
      {"headset", SheetDevice::kHeadset}};
  for (const auto& [name, value] : kNames) {
    if (text == name) {
      device = value;
      return true;
    }
  }
  return false;
}

// ---- simulation

LightDeviceClass ClassOf(SheetDevice device) {
  switch (device) {
    case SheetDevice::kKeyboard:
      return LightDeviceClass::kKeyboard;
    case SheetDevice::kMouse:
      return LightDeviceClass::kMouse;
    case SheetDevice::kMousePad:
      return LightDeviceClass::kMousePad;
    case SheetDevice::kHeadset:
      break;
  }
  return LightDeviceClass::kHeadset;
}

LightState StateOf(const SheetRequest& r) {
  LightState s;
  s.mode = r.mode;
  s.brightness = r.brightness;
  s.speed = r.speed;
  s.direction = r.direction;
  s.multicolour = r.multicolour ? 1 : 0;
  s.red = r.colour.r;
  s.green = r.colour.g;
  s.blue = r.colour.b;
  return s;
}

uint32_t NextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

// Runs `pass(t)` every simulated millisecond and captures `colours` every `everyMs`.
template <typename PassFn>
void Capture(const SheetRequest& r, const ColourBuffer& colours, PassFn pass, EffectFrames& out) {
  const int frames = std::clamp(r.frames, 1, kMaxSheetFrames);
  const uint32_t every = std::clamp<uint32_t>(r.everyMs, 1, kMaxSheetEveryMs);
  uint32_t now = 0;
  while (now < std::min(r.startMs, kMaxSheetStartMs)) pass(++now);
  for (int f = 0; f < frames; ++f) {
    for (uint32_t ms = 0; ms < every; ++ms) pass(++now);
    std::vector<uint32_t> row(out.lightCount, 0);
    colours.Snapshot(row);
    out.timesMs.push_back(now);
    out.colours.push_back(std::move(row));
  }
}

// ---- drawing

constexpr QRgb kBackground = qRgb(16, 16, 16);
constexpr QRgb kUnlitKey = qRgb(52, 52, 52);
constexpr QRgb kLabelInk = qRgb(170, 170, 170);
constexpr QRgb kTenthFrameRule = qRgb(70, 70, 70);

// A 3 × 5 pixel font for the digits of the time labels, one row of three bits per line.
constexpr std::array<std::array<uint8_t, 5>, 10> kDigits = {{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};
constexpr int kDigitAdvance = 4;
constexpr int kLabelDigits = 8;  // up to the longest simulated time

void DrawNumber(QImage& image, int x, int y, uint32_t value) {
  const std::string text = std::to_string(value);
  for (char ch : text) {
    const auto& glyph = kDigits[static_cast<size_t>(ch - '0')];
    for (int row = 0; row < 5; ++row) {
      for (int col = 0; col < 3; ++col) {
        if ((glyph[row] >> (2 - col) & 1) == 0) continue;
        const int px = x + col, py = y + row;
        if (px >= 0 && py >= 0 && px < image.width() && py < image.height()) {
          image.setPixel(px, py, kLabelInk);
        }
      }
    }
    x += kDigitAdvance;
  }
}

void FillCell(QImage& image, int x, int y, int size, QRgb colour) {
  for (int dy = 0; dy < size; ++dy) {
    if (y + dy < 0 || y + dy >= image.height()) continue;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y + dy));
    for (int dx = 0; dx < size; ++dx) {
      if (x + dx >= 0 && x + dx < image.width()) line[x + dx] = colour;
    }
  }
}

}  // namespace

bool ParseSheetArgs(const std::vector<std::string>& args, SheetRequest& request,
                    std::string& error) {
  bool haveDevice = false, haveMode = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--multicolour") {
      request.multicolour = true;
      continue;
    }
    if (arg == "--backward") {
      request.direction = 0;
      continue;
    }
    if (arg == "--keys" || arg == "--audio") {
      (arg == "--keys" ? request.keys : request.audio) = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unexpected argument " + arg;
      return false;
    }
    const std::string& value = args[++i];
    long n = 0;
    if (arg == "--device") {
      if (!ParseDevice(value, request.device)) {
        error = "unknown device " + value;
        return false;
      }
      haveDevice = true;
    } else if (arg == "--mode") {
      if (!ParseNumber(value, 0, 255, n)) {
        error = "--mode takes 0-255";
        return false;
      }
      request.mode = static_cast<uint8_t>(n);
      haveMode = true;
    } else if (arg == "--speed" || arg == "--brightness") {
      if (!ParseNumber(value, 0, 4, n)) {
        error = arg + " takes 0-4";
        return false;
      }
      (arg == "--speed" ? request.speed : request.brightness) = static_cast<uint8_t>(n);
    } else if (arg == "--style") {
      if (!ParseNumber(value, 0, 6, n)) {
        error = "--style takes 0-6";
        return false;
      }
      request.style = static_cast<uint8_t>(n);
    } else if (arg == "--colour") {
      if (!ParseColour(value, request.colour)) {
        error = "--colour takes RRGGBB";
        return false;
      }
    } else if (arg == "--frames") {
      if (!ParseNumber(value, 1, kMaxSheetFrames, n)) {
        error = "--frames takes 1-" + std::to_string(kMaxSheetFrames);
        return false;
      }
      request.frames = static_cast<int>(n);
    } else if (arg == "--every") {
      if (!ParseNumber(value, 1, kMaxSheetEveryMs, n)) {
        error = "--every takes 1-" + std::to_string(kMaxSheetEveryMs) + " ms";
        return false;
      }
      request.everyMs = static_cast<uint32_t>(n);
    } else if (arg == "--start") {
      if (!ParseNumber(value, 0, kMaxSheetStartMs, n)) {
        error = "--start takes 0-" + std::to_string(kMaxSheetStartMs) + " ms";
        return false;
      }
      request.startMs = static_cast<uint32_t>(n);
    } else if (arg == "--out") {
      if (value.empty()) {
        error = "--out needs a file name";
        return false;
      }
      request.outPath = value;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (!haveDevice || !haveMode || request.outPath.empty()) {
    error = "--device, --mode and --out are required";
    return false;
  }
  return true;
}

size_t SheetLightCount(SheetDevice device) {
  switch (device) {
    case SheetDevice::kKeyboard:
      return kKeyboardLights;
    case SheetDevice::kMouse:
      return kMouseLights;
    case SheetDevice::kMousePad:
      return 15;
    case SheetDevice::kHeadset:
      break;
  }
  return 13;
}

EffectFrames SimulateEffect(const SheetRequest& request) {
  EffectFrames out;
  out.device = request.device;
  out.lightCount = SheetLightCount(request.device);
  const LightState state = StateOf(request);

  const LightDeviceClass cls = ClassOf(request.device);
  LightClassShared shared;
  uint32_t random = 0x5EEDu;
  if (request.device == SheetDevice::kKeyboard) {
    KeyboardLightEngine keyboard(out.lightCount, shared, LightTickRule(cls));
    keyboard.SetLightState(state);
    KeyboardAudioLight audioLight;
    audioLight.style = request.style;
    audioLight.foreground = request.colour;
    audioLight.multicolour = request.multicolour;
    keyboard.SetAudioLight(audioLight);
    AudioSpectrumReducer reducer;
    std::vector<int32_t> bins;
    size_t held = kKeyboardLitKeys;
    Capture(
        request, keyboard.colours(),
        [&](uint32_t now) {
          if (request.keys && now % kKeyPressEveryMs == 0) {
            held = NextRandom(random) % kKeyboardLitKeys;
            keyboard.PressKey(held);
          }
          if (request.keys && held < kKeyboardLitKeys && now % kKeyPressEveryMs == kKeyHoldMs) {
            keyboard.ReleaseKey(held);
            held = kKeyboardLitKeys;
          }
          if (request.audio && now % kSpectrumEveryMs == 0) {
            SyntheticSpectrum(now, random, bins);
            const SpectrumLevels levels = reducer.ReduceFrame(
                std::span<const int32_t, kSpectrumBinCount>(bins.data(), kSpectrumBinCount),
                SpectrumTargets{1, 0, true, false});
            if (levels.feedKeyboard) keyboard.FeedAudioLevels(levels.keyboard);
          }
          keyboard.Pass(now);
        },
        out);
    return out;
  }

  LightEngine engine(out.lightCount, shared, LightTickRule(cls));
  switch (request.device) {
    case SheetDevice::kMouse:
      InstallMouseEffects(engine);
      SeedMouseRing(engine);  // what the mouse does when its effect changes
      break;
    case SheetDevice::kMousePad:
      InstallPadEffects(engine, kPadWave);
      break;
    default:
      InstallPadEffects(engine, kHeadsetWave);
      break;
  }
  engine.SetLightState(state);
  const bool mouseNotices = request.keys && request.device == SheetDevice::kMouse;
  Capture(
      request, engine.colours(),
      [&](uint32_t now) {
        if (mouseNotices && now % kMouseNoticeEveryMs == 0) MarkMouseFade(engine);
        engine.RunPass(now);
      },
      out);
  return out;
}

void SyntheticSpectrum(uint32_t nowMs, uint32_t& random, std::vector<int32_t>& bins) {
  constexpr double kPi = 3.14159265358979323846;
  bins.assign(kSpectrumBinCount, 0);
  const double kick = std::exp(-static_cast<double>(nowMs % 480) / 80.0);
  // The keyboard's 25 bands cover the first 125 bins; the track stays mostly within them.
  const double centre = 70.0 + 45.0 * std::sin(2.0 * kPi * nowMs / 3000.0);
  for (size_t b = 0; b < kSpectrumBinCount; ++b) {
    const double lowBins = b < 20 ? 6000.0 * kick * (1.0 - b / 20.0) : 0.0;
    const double distance = (static_cast<double>(b) - centre) / 10.0;
    const double melody = 4000.0 * std::exp(-distance * distance);
    const double jitter = 0.5 + (NextRandom(random) % 1000) / 1000.0;
    bins[b] = static_cast<int32_t>((lowBins + melody + 300.0) * jitter);
  }
}

SheetLayout LayoutFor(SheetDevice device) {
  SheetLayout layout;
  layout.labelWidth = kLabelDigits * kDigitAdvance + 4;
  if (device == SheetDevice::kKeyboard) {
    layout.cell = 7;
    layout.frameGap = 3;
    layout.gridColumns = static_cast<int>(kKeyboardColumns);
    layout.gridRows = static_cast<int>(kKeyboardRows);
  } else {
    layout.cell = 12;
    layout.frameGap = 0;
    layout.gridColumns = static_cast<int>(SheetLightCount(device));
    layout.gridRows = 1;
  }
  return layout;
}

bool CellOrigin(SheetDevice device, size_t light, int frame, int& x, int& y) {
  const SheetLayout l = LayoutFor(device);
  int column = 0, row = 0;
  if (device == SheetDevice::kKeyboard) {
    if (!IsLitKey(light)) return false;
    column = kKeyCells[light].column;
    row = kKeyCells[light].row;
  } else {
    if (light >= SheetLightCount(device)) return false;
    column = static_cast<int>(light);
  }
  x = l.labelWidth + column * (l.cell + l.gap);
  y = frame * l.frameHeight() + row * (l.cell + l.gap);
  return true;
}

uint32_t ShownRgb(uint32_t packed) {
  const LightColour c = LightColour::Unpack(packed);
  auto scale = [&](uint8_t channel) { return static_cast<uint32_t>((channel * c.a + 127) / 255); };
  return scale(c.r) << 16 | scale(c.g) << 8 | scale(c.b);
}

QImage RenderEffectSheet(const EffectFrames& frames) {
  const SheetLayout l = LayoutFor(frames.device);
  const int count = static_cast<int>(frames.colours.size());
  const int width = l.labelWidth + l.gridColumns * (l.cell + l.gap);
  const int height = std::max(1, count * l.frameHeight());
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kBackground);

  for (int f = 0; f < count; ++f) {
    const int top = f * l.frameHeight();
    if (f > 0 && f % 10 == 0) {
      // A faint rule every ten frames makes long sheets easier to read.
      for (int x = 0; x < width; ++x) image.setPixel(x, top - 1 < 0 ? 0 : top - 1, kTenthFrameRule);
    }
    const uint32_t time = f < static_cast<int>(frames.timesMs.size()) ? frames.timesMs[f] : 0;
    DrawNumber(image, 1, top + std::max(0, (l.gridRows * (l.cell + l.gap) - 5) / 2), time);

    if (frames.device == SheetDevice::kKeyboard) {
      for (size_t r = 0; r < kKeyboardRows; ++r) {
        for (size_t c = 0; c < kKeyboardColumns; ++c) {
          const uint8_t key = kKeyboardMatrix[r][c];
          if (key == kNoKey || IsLitKey(key)) continue;
          FillCell(image, l.labelWidth + static_cast<int>(c) * (l.cell + l.gap),
                   top + static_cast<int>(r) * (l.cell + l.gap), l.cell, kUnlitKey);
        }
      }
    }
    const std::vector<uint32_t>& row = frames.colours[f];
    for (size_t light = 0; light < row.size() && light < frames.lightCount; ++light) {
      int x = 0, y = 0;
      if (!CellOrigin(frames.device, light, f, x, y)) continue;
      FillCell(image, x, y, l.cell, 0xFF000000u | ShownRgb(row[light]));
    }
  }
  return image;
}

int RunEffectsTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  SheetRequest request;
  std::string error;
  if (!ParseSheetArgs(args, request, error)) {
    err << "varkon-effects: " << error << "\n" << kUsage;
    return 2;
  }
  const EffectFrames frames = SimulateEffect(request);
  const QImage image = RenderEffectSheet(frames);
  if (!image.save(QString::fromStdString(request.outPath), "PNG")) {
    err << "varkon-effects: cannot write " << request.outPath << "\n";
    return 1;
  }
  out << "wrote " << request.outPath << ": " << frames.colours.size() << " frames of "
      << frames.lightCount << " lights, every " << request.everyMs << " ms\n";
  return 0;
}

}  // namespace varkon
