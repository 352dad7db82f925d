// The process-wide table of registered message names: one name (compared without regard to
// case), one number, handed out from 0xC000 upwards. Safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varkon::ui {

inline constexpr uint32_t kFirstRegisteredMessage = 0xC000;
inline constexpr uint32_t kLastRegisteredMessage = 0xFFFF;
inline constexpr size_t kMaxMessageNameLength = 255;

// The number of `name`, registering it on first use. 0 for an empty or too long name, or when
// every number is taken.
uint32_t RegisterMessage(std::string_view name);
// The name a number was registered under (as first spelt), or empty.
std::string RegisteredMessageName(uint32_t number);
bool IsRegisteredMessage(uint32_t number);

}  // namespace varkon::ui
