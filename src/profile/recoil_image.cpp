#include "profile/recoil_image.h"

#include <algorithm>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/recoil_file.h"

namespace varkon {

MacroBlock RecoilGunEvents(const Json::Value& document) {
  MacroBlock block;
  const Json::Value& events = ArrayMember(document, "Events");
  const Json::ArrayIndex count =
      std::min<Json::ArrayIndex>(events.size(), static_cast<Json::ArrayIndex>(kRecoilStepsPerGun));
  block.reserve(count);
  for (Json::ArrayIndex i = 0; i < count; ++i) block.push_back(EncodeMacroStep(events[i]));
  return block;
}

bool BuildRecoilImage(const std::string& folder, std::vector<uint8_t>& image) {
  std::vector<MacroBlock> blocks;
  for (int gun = 0; gun < kRecoilGunCount; ++gun) {
    blocks.push_back(RecoilGunEvents(ReadJsonFileNoThrow(RecoilFilePath(folder, gun))));
  }
  return BuildMacroMemoryImage(blocks, image);
}

}  // namespace varkon
