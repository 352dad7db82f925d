// The mouse's recoil memory image: the four recoil files, gun 0 first, as the four blocks of a
// macro memory image (16 + 24 + 4 × events bytes; four complete guns make 2920 bytes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

#include "profile/macro_memory_image.h"

namespace varkon {

// The events of one recoil document, each element of "Events" in order (null elements encode
// as zeros). The recoil memory holds 30 bullets per gun, so elements past the 180th are left
// out; none when the document is unusable.
MacroBlock RecoilGunEvents(const Json::Value& document);

// Builds the image from the recoil files in `folder`; a missing or unreadable file gives a
// block without events. False (and `image` empty) when it cannot be built.
bool BuildRecoilImage(const std::string& folder, std::vector<uint8_t>& image);

}  // namespace varkon
