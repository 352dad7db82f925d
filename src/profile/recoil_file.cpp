#include "profile/recoil_file.h"

#include <limits>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/macro_file_copy.h"
#include "profile/macro_step.h"

namespace varkon {

namespace {

bool IsDown(const std::string& action) {
  return action.size() == 4 && (action[0] | 0x20) == 'd' && (action[1] | 0x20) == 'o' &&
         (action[2] | 0x20) == 'w' && (action[3] | 0x20) == 'n';
}

int ClampToInt(int64_t value) {
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

void SetStep(Json::Value& events, int index, const char* action, int button, int delay, int type) {
  Json::Value& step = MakeObjectElement(events, static_cast<Json::ArrayIndex>(index));
  step["Action"] = action;
  step["Button"] = button;
  step["Delay"] = delay;
  step["Type"] = type;
}

}  // namespace

std::string RecoilFilePath(const std::string& folder, int gun) {
  if (gun < 0 || gun >= kRecoilGunCount) return {};
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + "ShootData_" + std::to_string(gun) + ".Shoot";
}

RecoilBullet ReadBullet(const Json::Value& document, int bullet) {
  RecoilBullet result;
  if (bullet < 0 || bullet >= kRecoilBulletCount) return result;
  const Json::Value& events = Member(document, "Events");
  const auto first = static_cast<Json::ArrayIndex>(bullet * kRecoilStepsPerBullet);
  const Json::Value& horizontal = ElementAt(events, first + 2);
  const Json::Value& vertical = ElementAt(events, first + 3);
  result.left = IsDown(StringMember(horizontal, "Action"));
  result.x = IntMember(horizontal, "Button");
  result.up = IsDown(StringMember(vertical, "Action"));
  result.y = IntMember(vertical, "Button");
  result.delay = ClampToInt(StepDelay(Member(vertical, "Delay")));
  return result;
}

void WriteBullet(Json::Value& document, int bullet, const RecoilBullet& value) {
  if (bullet < 0 || bullet >= kRecoilBulletCount) return;
  Json::Value& events = MakeArrayMember(document, "Events");
  const int first = bullet * kRecoilStepsPerBullet;
  const char* dx = value.left ? "down" : "up";
  const char* dy = value.up ? "down" : "up";
  SetStep(events, first, "down", 1, 10, kStepMouseButton);
  SetStep(events, first + 1, "up", 1, 0, kStepMouseButton);
  SetStep(events, first + 2, dx, value.x, 5, kStepMoveX);
  SetStep(events, first + 3, dy, value.y, value.delay, kStepMoveY);
  SetStep(events, first + 4, dx, 0, 0, kStepMoveX);
  SetStep(events, first + 5, dy, 0, 0, kStepMoveY);
}

RecoilBullet LoadBullet(const std::string& folder, int gun, int bullet) {
  const std::string path = RecoilFilePath(folder, gun);
  if (path.empty()) return {};
  return ReadBullet(ReadJsonFileNoThrow(path), bullet);
}

bool SaveBullet(const std::string& folder, int gun, int bullet, const RecoilBullet& value) {
  const std::string path = RecoilFilePath(folder, gun);
  if (path.empty() || bullet < 0 || bullet >= kRecoilBulletCount) return false;
  Json::Value document = ReadJsonFileNoThrow(path);
  if (!document.isObject()) document = Json::Value(Json::objectValue);
  WriteBullet(document, bullet, value);
  return WriteJsonFileChecked(path, document);
}

RecoilBullet BulletFromTexts(bool left, const std::string& x, bool up, const std::string& y,
                             const std::string& delay) {
  return {left, LeadingDecimal(x), up, LeadingDecimal(y), LeadingDecimal(delay)};
}

const char* RecoilXCaption(bool left) {
  return left ? "mouse_move_to_left_text" : "mouse_move_to_right_text";
}

const char* RecoilYCaption(bool up) {
  return up ? "mouse_move_to_up_text" : "mouse_move_to_down_text";
}

bool ResetGun(const std::string& folder, const std::string& defaultFolder, int gun) {
  const std::string target = RecoilFilePath(folder, gun);
  if (target.empty()) return false;
  return CopyFileReplacing(RecoilFilePath(defaultFolder, gun), target);
}

bool ImportGun(const std::string& folder, int gun, const std::string& source) {
  const std::string target = RecoilFilePath(folder, gun);
  if (target.empty()) return false;
  return CopyFileReplacing(source, target);
}

bool ExportGun(const std::string& folder, int gun, const std::string& destination) {
  const std::string source = RecoilFilePath(folder, gun);
  if (source.empty()) return false;
  return CopyFileReplacing(source, destination);
}

int RestoreMissingGuns(const std::string& folder, const std::string& defaultFolder) {
  int reset = 0;
  for (int gun = 0; gun < kRecoilGunCount; ++gun) {
    if (!ReadJsonFileNoThrow(RecoilFilePath(folder, gun)).isNull()) continue;
    if (ResetGun(folder, defaultFolder, gun)) ++reset;
  }
  return reset;
}

}  // namespace varkon
