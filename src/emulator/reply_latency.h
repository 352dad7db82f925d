// How long the emulated devices take to answer a vendor packet. A cable device's reply becomes
// readable about one USB full-speed interrupt interval after its request; through the 2.4 GHz
// receiver it takes four times that, for the radio hop to the device and back.
#pragma once

#include <string>

#include "emulator/emulated_kind.h"

namespace varkon {

// What the program uses with emulated devices unless told otherwise; the library's default is 0.
inline constexpr int kDefaultCableLatencyMs = 1;
inline constexpr int kReceiverLatencyFactor = 4;
// Beyond this the receiver's replies would outlast the program's fast reply time-out (500 ms):
// that is a broken device, not a slow one, and the fault injection models it already.
inline constexpr int kMaxCableLatencyMs = 100;

// The reply delay of `kind` when a cable device takes `cableLatencyMs`; 0 and below give 0.
int ReplyLatencyMs(EmulatedKind kind, int cableLatencyMs);

// Parses a whole number of milliseconds, 0 to kMaxCableLatencyMs. False, with `ms` untouched,
// on anything else.
bool ParseLatencyMs(const std::string& text, int& ms);

}  // namespace varkon
