// Builds USB gadgets in configfs that look like the emulated devices on the bus: the same
// identity, interface numbers and report descriptors, one f_hid function per interface.
#pragma once

#include <string>

#include "emulator/emulated_kind.h"

namespace varkon::ktest {

// Creates <gadget root>/<name> for `kind` and binds it to `udc` ("dummy_udc.0"). The kernel's
// f_hid has four nodes in all, so only with `bootInterface` does interface 0 get its HID boot
// function; otherwise (and for kinds without an interface 0) a loopback function stands in for
// it, so that the vendor interface keeps its number. False with `why` filled.
bool CreateGadget(EmulatedKind kind, const std::string& name, const std::string& udc,
                  bool bootInterface, std::string& why);

// Binds the gadget to `udc`, or unbinds it when `udc` is empty.
bool BindGadget(const std::string& name, const std::string& udc, std::string& why);

// The /dev/hidgN node of the gadget's vendor interface; empty when not found.
std::string VendorHidgNode(const std::string& name);

}  // namespace varkon::ktest
