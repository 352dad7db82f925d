// The macro memory image a keyboard or mouse receives: the macros its key assignments use,
// read from the device's macro library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varkon {

// Builds the image of the macros `macroNumbers` (positions in the list file "macro.config" of
// `folder`, in the order the device numbers them) for a macro memory of `capacityUnits` × 128
// bytes. Returns 0 when done (`image` is empty, and nothing is to be sent, when the list file
// is unusable or no macro is listed), a positive count of events too many when the image does
// not fit (nothing built), or -1 when no image can be made. A missing macro file, or a number
// without a usable list entry, gives a block without events.
int BuildLibraryMacroImage(const std::string& folder, const std::vector<int>& macroNumbers,
                           int capacityUnits, std::vector<uint8_t>& image);

}  // namespace varkon
