// Recoil files of the mouse: "ShootData_<gun>.Shoot" (gun 0-3) in the mouse's data folder,
// with a default copy of the same name in the default-data folder. "Events" holds six steps
// per bullet (bullet b owns elements 6b to 6b+5, 30 bullets):
//   6b    "down" left button, 10 ms      6b+1  "up" left button, 0 ms
//   6b+2  dx horizontal by x, 5 ms       6b+3  dy vertical by y, then t ms
//   6b+4  dx horizontal by 0, 0 ms       6b+5  dy vertical by 0, 0 ms
// where dx is "down" for a movement to the left and dy "down" for a movement up. "Button"
// and "Delay" are integers here. Other members of the file stay as they are.
#pragma once

#include <string>

#include <json/value.h>

namespace varkon {

inline constexpr int kRecoilGunCount = 4;
inline constexpr int kRecoilBulletCount = 30;
inline constexpr int kRecoilStepsPerBullet = 6;
inline constexpr int kRecoilStepsPerGun = kRecoilBulletCount * kRecoilStepsPerBullet;

// What the bullet editor shows of one bullet.
struct RecoilBullet {
  bool left = false;  // "bullet_x_check" selected: horizontal "down", to the left
  int x = 0;          // horizontal distance
  bool up = false;    // "bullet_y_check" selected: vertical "down", upward
  int y = 0;          // vertical distance
  int delay = 0;      // milliseconds after the vertical movement

  friend bool operator==(const RecoilBullet&, const RecoilBullet&) = default;
};

// folder + "ShootData_" + gun + ".Shoot"; empty for a gun outside 0-3.
std::string RecoilFilePath(const std::string& folder, int gun);

// The bullet as stored in a recoil document: elements 6b+2 and 6b+3 only; anything missing
// or of the wrong type reads as 0 (a direction as "up"). A direction is "down" ignoring case.
RecoilBullet ReadBullet(const Json::Value& document, int bullet);
// Sets "Action", "Button", "Delay" and "Type" of the bullet's six elements; elements before
// them that do not exist yet become null. Nothing for a bullet outside 0-29.
void WriteBullet(Json::Value& document, int bullet, const RecoilBullet& value);

// The file forms of the two operations. SaveBullet reads the file, sets the bullet and writes
// the whole document back; false for a gun or bullet out of range or a failed write.
RecoilBullet LoadBullet(const std::string& folder, int gun, int bullet);
bool SaveBullet(const std::string& folder, int gun, int bullet, const RecoilBullet& value);

// The editor's texts as SaveBullet takes them: leading decimal numbers, 0 otherwise.
RecoilBullet BulletFromTexts(bool left, const std::string& x, bool up, const std::string& y,
                             const std::string& delay);

// Captions of the two direction checks for their state.
const char* RecoilXCaption(bool left);  // "mouse_move_to_left_text" / "mouse_move_to_right_text"
const char* RecoilYCaption(bool up);    // "mouse_move_to_up_text" / "mouse_move_to_down_text"

// Copies the default copy of gun `gun` over its recoil file. False (recoil file unchanged)
// when the default copy cannot be read.
bool ResetGun(const std::string& folder, const std::string& defaultFolder, int gun);
// Copies `source` over the recoil file of `gun`, unchecked. False when nothing was copied.
bool ImportGun(const std::string& folder, int gun, const std::string& source);
// Copies the recoil file of `gun` to `destination`, replacing it. False when nothing was copied.
bool ExportGun(const std::string& folder, int gun, const std::string& destination);

// Resets every gun whose recoil file does not read as JSON; returns how many were reset.
int RestoreMissingGuns(const std::string& folder, const std::string& defaultFolder);

}  // namespace varkon
