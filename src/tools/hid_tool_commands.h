// The protocol commands varkon-hid runs against one interface.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "device/device_transport.h"

namespace varkon {

struct ProtocolRequest {
  std::string name;
  uint32_t first = 0;   // offset, size, page, index or command byte, by command
  uint32_t second = 0;  // length, by command
  std::vector<uint8_t> bytes;
};

bool IsProtocolCommand(const std::string& name);
// Checks and converts the command's arguments; `why` says what is wrong when false.
bool ParseProtocolRequest(const std::vector<std::string>& words, ProtocolRequest& request,
                          std::string& why);
// Runs the command; data read is printed as hex on one line.
StatusCode RunProtocolRequest(DeviceTransport& transport, const ProtocolRequest& request,
                              std::ostream& out);

}  // namespace varkon
