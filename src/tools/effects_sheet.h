// varkon-effects: runs one light effect of one device in the lighting engine on a simulated clock
// and draws what its lights show over time as a contact sheet: one row per captured frame, one
// cell per light (the keyboard's lights laid out on its key matrix), the frame time on the left.
// It is a developer tool for looking at effects without the hardware or the application.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include <QImage>

#include "devices/light_tables.h"

namespace varkon {

enum class SheetDevice { kKeyboard, kMouse, kMousePad, kHeadset };

struct SheetRequest {
  SheetDevice device = SheetDevice::kKeyboard;
  uint8_t mode = 0;
  uint8_t speed = 2;
  uint8_t brightness = 4;
  uint8_t direction = 1;
  bool multicolour = false;
  Rgb colour{255, 0, 0};
  bool keys = false;   // press a key now and then (keyboard) or send the "pressed" notice (mouse)
  bool audio = false;  // play a synthetic track through the spectrum reduction (keyboard)
  uint8_t style = 0;   // the keyboard's music style 0-6 (foreground: the colour, background black)
  int frames = 40;
  uint32_t everyMs = 50;  // simulated time between two captured frames
  uint32_t startMs = 0;   // simulated time run before the first frame's interval
  std::string outPath;
};

constexpr int kMaxSheetFrames = 1000;
constexpr uint32_t kMaxSheetEveryMs = 60000;
constexpr uint32_t kMaxSheetStartMs = 3600000;

// Parses the tool's arguments (without the program name). On failure returns false with a
// message in `error`.
bool ParseSheetArgs(const std::vector<std::string>& args, SheetRequest& request,
                    std::string& error);

// The captured frames: the light colours (LightColour::Pack values) at each capture time.
struct EffectFrames {
  SheetDevice device = SheetDevice::kKeyboard;
  size_t lightCount = 0;
  std::vector<uint32_t> timesMs;
  std::vector<std::vector<uint32_t>> colours;  // [frame][light]
};

// The device's light count: keyboard 170, mouse 15, mouse pad 15, headset 13.
size_t SheetLightCount(SheetDevice device);

// Runs the effect with 1 ms light-thread passes from time 0 and captures the buffer every
// `everyMs` after `startMs`, `frames` times. The engine's class-wide state is private to this run
// and the key presses and the track are generated from fixed seeds, so runs are reproducible.
EffectFrames SimulateEffect(const SheetRequest& request);

// Cell geometry of the sheet, exposed for tests.
struct SheetLayout {
  int cell = 0;         // cell edge in pixels
  int gap = 1;          // between cells
  int frameGap = 1;     // extra space between two frames
  int labelWidth = 0;   // time label column on the left
  int gridColumns = 0;  // cells per frame row
  int gridRows = 0;     // cell rows per frame
  int frameHeight() const { return gridRows * (cell + gap) + frameGap; }
};
SheetLayout LayoutFor(SheetDevice device);

// Pixel position of the top-left corner of light `light`'s cell in frame `frame`; false when the
// light has no cell (keyboard lights that are not on the matrix or carry no light).
bool CellOrigin(SheetDevice device, size_t light, int frame, int& x, int& y);

// One spectrum frame (500 magnitudes) of the synthetic track at `nowMs`: a kick every 480 ms in
// the lowest bins, a melody peak wandering over the keyboard's bands and a noise floor, with
// per-bin jitter from `random` so that consecutive frames differ.
void SyntheticSpectrum(uint32_t nowMs, uint32_t& random, std::vector<int32_t>& bins);

// What a cell shows: the colour scaled by its alpha, over black.
uint32_t ShownRgb(uint32_t packed);

// Draws the sheet. Keys without a light are drawn dim grey, matrix cells without a key stay
// background.
QImage RenderEffectSheet(const EffectFrames& frames);

// The whole tool: parse, simulate, render, write the PNG. Returns 0 on success, 1 when the file
// cannot be written, 2 for bad arguments.
int RunEffectsTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace varkon
