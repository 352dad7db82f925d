#include "tools/effects_sheet.h"

#include <cstdlib>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "devices/keyboard_key_matrix.h"
#include "devices/light_buffer.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

// QImage needs no display; keep Qt from looking for one anyway.
constexpr size_t kSpectrumBinCountForTest = 500;

const bool kOffscreen = [] {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return true;
}();

SheetRequest Request(SheetDevice device, uint8_t mode) {
  SheetRequest r;
  r.device = device;
  r.mode = mode;
  r.outPath = "unused.png";
  return r;
}

QRgb PixelOfCell(const QImage& image, SheetDevice device, size_t light, int frame) {
  int x = 0, y = 0;
  EXPECT_TRUE(CellOrigin(device, light, frame, x, y));
  const int half = LayoutFor(device).cell / 2;
  return image.pixel(x + half, y + half) & 0xFFFFFFu;
}

TEST(EffectsSheetArgs, ParsesEveryOption) {
  SheetRequest r;
  std::string error;
  ASSERT_TRUE(ParseSheetArgs(
      {"--device",     "headset", "--mode",   "7",      "--speed",       "4",
       "--brightness", "1",       "--colour", "12AbEf", "--multicolour", "--backward",
       "--frames",     "12",      "--every",  "25",     "--start",       "500",
       "--keys",       "--audio", "--style",  "6",      "--out",         "x.png"},
      r, error))
      << error;
  EXPECT_EQ(r.device, SheetDevice::kHeadset);
  EXPECT_EQ(r.mode, 7);
  EXPECT_EQ(r.speed, 4);
  EXPECT_EQ(r.brightness, 1);
  EXPECT_EQ(r.colour, (Rgb{0x12, 0xAB, 0xEF}));
  EXPECT_TRUE(r.multicolour);
  EXPECT_EQ(r.direction, 0);
  EXPECT_EQ(r.frames, 12);
  EXPECT_EQ(r.everyMs, 25u);
  EXPECT_EQ(r.startMs, 500u);
  EXPECT_TRUE(r.keys);
  EXPECT_TRUE(r.audio);
  EXPECT_EQ(r.style, 6);
  EXPECT_EQ(r.outPath, "x.png");
}

TEST(EffectsSheetArgs, DefaultsAndDevices) {
  const std::pair<const char*, SheetDevice> devices[] = {{"keyboard", SheetDevice::kKeyboard},
                                                         {"mouse", SheetDevice::kMouse},
                                                         {"pad", SheetDevice::kMousePad},
                                                         {"headset", SheetDevice::kHeadset}};
  for (const auto& [name, device] : devices) {
    SheetRequest r;
    std::string error;
    ASSERT_TRUE(ParseSheetArgs({"--device", name, "--mode", "0", "--out", "a.png"}, r, error));
    EXPECT_EQ(r.device, device);
    EXPECT_EQ(r.direction, 1);
    EXPECT_FALSE(r.multicolour);
    EXPECT_FALSE(r.keys);
    EXPECT_FALSE(r.audio);
    EXPECT_EQ(r.startMs, 0u);
  }
}

TEST(EffectsSheetArgs, RejectsBadInput) {
  const std::vector<std::vector<std::string>> bad = {
      {"--mode", "1", "--out", "a.png"},                      // no device
      {"--device", "pad", "--out", "a.png"},                  // no mode
      {"--device", "pad", "--mode", "1"},                     // no output
      {"--device", "lamp", "--mode", "1", "--out", "a.png"},  // unknown device
      {"--device", "pad", "--mode", "256", "--out", "a.png"},
      {"--device", "pad", "--mode", "-1", "--out", "a.png"},
      {"--device", "pad", "--mode", "1x", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--speed", "5", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--brightness", "", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--colour", "12345G", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--colour", "1234567", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--frames", "0", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--frames", "1001", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--every", "0", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--style", "7", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--start", "3600001", "--out", "a.png"},
      {"--device", "pad", "--mode", "1", "--out"},  // value missing
      {"--device", "pad", "--mode", "1", "--out", "a.png", "--fast", "1"},
      {"stray"},
  };
  for (const auto& args : bad) {
    SheetRequest r;
    std::string error;
    EXPECT_FALSE(ParseSheetArgs(args, r, error)) << ::testing::PrintToString(args);
    EXPECT_FALSE(error.empty());
  }
}

TEST(EffectsSheetSimulation, CapturesEveryIntervalForTheLightCount) {
  SheetRequest r = Request(SheetDevice::kHeadset, 3);  // static
  r.frames = 5;
  r.everyMs = 30;
  r.brightness = 2;
  r.colour = {10, 200, 30};
  const EffectFrames f = SimulateEffect(r);
  EXPECT_EQ(f.lightCount, 13u);
  ASSERT_EQ(f.colours.size(), 5u);
  EXPECT_EQ(f.timesMs, (std::vector<uint32_t>{30, 60, 90, 120, 150}));
  for (const auto& row : f.colours) {
    ASSERT_EQ(row.size(), 13u);
    for (uint32_t c : row) EXPECT_EQ(c, LightColour(10, 200, 30, 135).Pack());
  }
}

TEST(EffectsSheetSimulation, PadBlinkAtSpeed4AlternatesEvery200Ms) {
  SheetRequest r = Request(SheetDevice::kMousePad, 4);
  r.speed = 4;
  r.frames = 12;
  r.everyMs = 100;
  const EffectFrames f = SimulateEffect(r);
  EXPECT_EQ(f.lightCount, 15u);
  std::vector<bool> lit;
  for (const auto& row : f.colours) lit.push_back(LightColour::Unpack(row[0]).a != 0);
  // The lit state changes every second capture and never stays put.
  int changes = 0;
  for (size_t i = 1; i < lit.size(); ++i) changes += lit[i] != lit[i - 1];
  EXPECT_GE(changes, 5);
  EXPECT_LE(changes, 6);
}

TEST(EffectsSheetSimulation, RunsAreReproducible) {
  SheetRequest r = Request(SheetDevice::kMouse, 0);  // the mouse's wave
  r.multicolour = true;
  r.speed = 4;
  r.frames = 8;
  const EffectFrames a = SimulateEffect(r);
  const EffectFrames b = SimulateEffect(r);
  EXPECT_EQ(a.colours, b.colours);
  EXPECT_NE(a.colours.front(), a.colours.back());  // the wave moves
}

TEST(EffectsSheetSimulation, KeyboardStaticLightsEveryLitKey) {
  SheetRequest r = Request(SheetDevice::kKeyboard, 6);
  r.frames = 3;
  r.colour = {0, 0, 255};
  const EffectFrames f = SimulateEffect(r);
  EXPECT_EQ(f.lightCount, kKeyboardLights);
  ASSERT_EQ(f.colours.size(), 3u);
  const std::vector<uint32_t>& last = f.colours.back();
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    EXPECT_EQ(last[key], LightColour(0, 0, 255, 255).Pack()) << key;
  }
}

TEST(EffectsSheetSimulation, StartSkipsTimeBeforeTheFirstFrame) {
  SheetRequest r = Request(SheetDevice::kMousePad, 1);  // spectrum
  r.frames = 3;
  r.everyMs = 40;
  r.startMs = 1000;
  const EffectFrames late = SimulateEffect(r);
  EXPECT_EQ(late.timesMs, (std::vector<uint32_t>{1040, 1080, 1120}));
  r.startMs = 0;
  r.frames = 28;
  const EffectFrames early = SimulateEffect(r);
  EXPECT_EQ(early.colours[25], late.colours[0]);  // the same moment of the same run
}

TEST(EffectsSheetSimulation, KeyPressesLightTheReactiveEffects) {
  SheetRequest r = Request(SheetDevice::kKeyboard, 7);
  r.frames = 20;
  r.everyMs = 20;
  auto litFrames = [](const EffectFrames& f) {
    int n = 0;
    for (const auto& row : f.colours) {
      bool any = false;
      for (uint32_t c : row) any = any || LightColour::Unpack(c).a != 0;
      n += any;
    }
    return n;
  };
  EXPECT_EQ(litFrames(SimulateEffect(r)), 0);
  r.keys = true;
  EXPECT_GT(litFrames(SimulateEffect(r)), 0);
}

TEST(EffectsSheetSimulation, TheTrackDrivesTheMusicEffect) {
  SheetRequest r = Request(SheetDevice::kKeyboard, 29);
  r.frames = 15;
  r.everyMs = 40;
  r.colour = {0, 128, 255};
  const EffectFrames quiet = SimulateEffect(r);
  r.audio = true;
  const EffectFrames music = SimulateEffect(r);
  std::set<std::vector<uint32_t>> distinct(music.colours.begin(), music.colours.end());
  EXPECT_GT(distinct.size(), 5u);
  EXPECT_NE(quiet.colours, music.colours);
}

TEST(EffectsSheetSimulation, SyntheticSpectrumKicksAndJitters) {
  uint32_t random = 1;
  std::vector<int32_t> atKick, later, again;
  SyntheticSpectrum(960, random, atKick);
  SyntheticSpectrum(1360, random, later);
  SyntheticSpectrum(960, random, again);
  ASSERT_EQ(atKick.size(), kSpectrumBinCountForTest);
  for (int32_t v : atKick) EXPECT_GE(v, 0);
  EXPECT_GT(atKick[2], 3 * later[2]);  // the kick has died away 400 ms later
  EXPECT_NE(atKick, again);            // same moment, new jitter: frames always differ
}

TEST(EffectsSheetRender, ShownColourIsScaledByAlpha) {
  EXPECT_EQ(ShownRgb(LightColour(255, 128, 0, 255).Pack()), 0xFF8000u);
  EXPECT_EQ(ShownRgb(LightColour(255, 255, 255, 0).Pack()), 0u);
  EXPECT_EQ(ShownRgb(LightColour(255, 0, 100, 128).Pack()), 0x800032u);
}

TEST(EffectsSheetRender, LinearDeviceRowsAndCells) {
  EffectFrames f;
  f.device = SheetDevice::kMousePad;
  f.lightCount = 15;
  for (int frame = 0; frame < 3; ++frame) {
    std::vector<uint32_t> row(15);
    for (size_t i = 0; i < 15; ++i) {
      row[i] = LightColour(static_cast<uint8_t>(i * 17), static_cast<uint8_t>(frame * 100), 0, 255)
                   .Pack();
    }
    f.colours.push_back(row);
    f.timesMs.push_back(50 * (frame + 1));
  }
  const QImage image = RenderEffectSheet(f);
  const SheetLayout l = LayoutFor(f.device);
  EXPECT_EQ(image.width(), l.labelWidth + 15 * (l.cell + l.gap));
  EXPECT_EQ(image.height(), 3 * l.frameHeight());
  for (int frame = 0; frame < 3; ++frame) {
    for (size_t i = 0; i < 15; ++i) {
      EXPECT_EQ(PixelOfCell(image, f.device, i, frame), ShownRgb(f.colours[frame][i]))
          << frame << " " << i;
    }
  }
  int x = 0, y = 0;
  EXPECT_FALSE(CellOrigin(f.device, 15, 0, x, y));
}

TEST(EffectsSheetRender, KeyboardCellsFollowTheMatrix) {
  EffectFrames f;
  f.device = SheetDevice::kKeyboard;
  f.lightCount = kKeyboardLights;
  std::vector<uint32_t> row(kKeyboardLights, 0);
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    row[key] =
        LightColour(static_cast<uint8_t>(key), 255, static_cast<uint8_t>(key * 2), 255).Pack();
  }
  f.colours = {row, row};
  f.timesMs = {50, 100};
  const QImage image = RenderEffectSheet(f);
  const SheetLayout l = LayoutFor(f.device);
  EXPECT_EQ(image.width(), l.labelWidth + 23 * (l.cell + l.gap));
  EXPECT_EQ(image.height(), 2 * l.frameHeight());
  // Every lit key shows its own colour at its matrix position, in both frames.
  std::set<std::pair<int, int>> origins;
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    for (int frame = 0; frame < 2; ++frame) {
      EXPECT_EQ(PixelOfCell(image, f.device, key, frame), ShownRgb(row[key])) << key;
      int x = 0, y = 0;
      CellOrigin(f.device, key, frame, x, y);
      origins.insert({x, y});
    }
  }
  EXPECT_EQ(origins.size(), 2 * kKeyboardLitKeys);  // no two keys share a cell
  // The Esc key (list index 0) sits in row 0, column 2.
  int x = 0, y = 0;
  ASSERT_TRUE(CellOrigin(f.device, 0, 1, x, y));
  EXPECT_EQ(x, l.labelWidth + 2 * (l.cell + l.gap));
  EXPECT_EQ(y, l.frameHeight());
  // Keys without a light are grey, cells without a key stay background; neither has a cell.
  EXPECT_FALSE(CellOrigin(f.device, 134, 0, x, y));
  EXPECT_FALSE(CellOrigin(f.device, 126, 0, x, y));
  const int half = l.cell / 2;
  const QRgb unlit = image.pixel(l.labelWidth + 7 * (l.cell + l.gap) + half, half) & 0xFFFFFF;
  const QRgb empty = image.pixel(l.labelWidth + 0 * (l.cell + l.gap) + half, half) & 0xFFFFFF;
  EXPECT_NE(unlit, empty);
  EXPECT_EQ(qRed(unlit), qGreen(unlit));
}

TEST(EffectsSheetRender, HandlesRowsShorterThanTheLightCount) {
  EffectFrames f;
  f.device = SheetDevice::kHeadset;
  f.lightCount = 13;
  f.colours = {std::vector<uint32_t>(4, LightColour(255, 0, 0, 255).Pack())};  // no times
  const QImage image = RenderEffectSheet(f);
  EXPECT_EQ(PixelOfCell(image, f.device, 3, 0), 0xFF0000u);
  EXPECT_EQ(PixelOfCell(image, f.device, 4, 0), PixelOfCell(image, f.device, 12, 0));
}

TEST(EffectsSheetTool, WritesThePng) {
  test::TempDir dir;
  const std::string path = dir.File("pad.png");
  std::ostringstream out, err;
  const int status = RunEffectsTool(
      {"--device", "pad", "--mode", "3", "--colour", "00FF00", "--frames", "4", "--out", path}, out,
      err);
  ASSERT_EQ(status, 0) << err.str();
  EXPECT_NE(out.str().find("4 frames of 15 lights"), std::string::npos) << out.str();
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(path)));
  EXPECT_EQ(image.height(), 4 * LayoutFor(SheetDevice::kMousePad).frameHeight());
  EXPECT_EQ(PixelOfCell(image, SheetDevice::kMousePad, 14, 3), 0x00FF00u);
}

TEST(EffectsSheetTool, ReportsBadArgumentsAndUnwritableFiles) {
  std::ostringstream out, err;
  EXPECT_EQ(RunEffectsTool({"--device", "pad"}, out, err), 2);
  EXPECT_NE(err.str().find("usage"), std::string::npos);
  test::TempDir dir;
  std::ostringstream out2, err2;
  EXPECT_EQ(RunEffectsTool({"--device", "pad", "--mode", "3", "--frames", "1", "--out",
                            dir.File("missing/folder/x.png")},
                           out2, err2),
            1);
  EXPECT_NE(err2.str().find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace varkon
