#include "profile/macro_library_image.h"

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/macro_list.h"
#include "profile/macro_memory_image.h"

namespace varkon {

int BuildLibraryMacroImage(const std::string& folder, const std::vector<int>& macroNumbers,
                           int capacityUnits, std::vector<uint8_t>& image) {
  image.clear();
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  const Json::Value list = ReadJsonFileNoThrow(base + kMacroListFile);
  if (list.isNull() || macroNumbers.empty()) return 0;
  const std::vector<MacroListEntry> entries = MacroListOf(list);

  // Each macro file is read once; its steps are encoded only when the image fits.
  std::vector<Json::Value> documents;
  std::vector<uint64_t> counts;
  documents.reserve(macroNumbers.size());
  for (int number : macroNumbers) {
    std::string path;
    if (number >= 0 && number < static_cast<int>(entries.size())) {
      path = MacroFilePath(base, entries[number].guid);
    }
    documents.push_back(path.empty() ? Json::Value() : ReadJsonFileNoThrow(path));
    counts.push_back(ArraySize(Member(documents.back(), "Events")));
  }

  const uint64_t size = MacroImageSize(counts);
  if (const int over = MacroImageOverflow(size, capacityUnits); over > 0) return over;

  std::vector<MacroBlock> blocks;
  blocks.reserve(documents.size());
  for (const Json::Value& document : documents) {
    MacroBlock block;
    for (const Json::Value& step : ArrayMember(document, "Events")) {
      block.push_back(EncodeMacroStep(step));
    }
    blocks.push_back(std::move(block));
  }
  return BuildMacroMemoryImage(blocks, image) ? 0 : -1;
}

}  // namespace varkon
