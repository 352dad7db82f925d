// Everything the emulator offers: identities, bus, backend, firmware models and the rig.
#pragma once

#include "emulator/emulated_backend.h"
#include "emulator/emulated_bus.h"
#include "emulator/emulated_identities.h"
#include "emulator/emulated_kind.h"
#include "emulator/emulated_rig.h"
#include "emulator/firmware_images.h"
#include "emulator/firmware_types.h"
#include "emulator/receiver_firmware.h"
#include "emulator/vendor_firmware.h"
