// Identity numbers read out of an interface path such as
// "/dev/hidraw3#vid_320f&pid_5055&mi_01&col04". Markers match in any letter case; the digits
// after a marker are read as hexadecimal; an absent marker gives 0.
#pragma once

#include <cstdint>
#include <string>

namespace varkon {

uint16_t VendorIdOf(const std::string& path);
uint16_t ProductIdOf(const std::string& path);
uint16_t InterfaceOf(const std::string& path);
uint16_t CollectionOf(const std::string& path);

}  // namespace varkon
