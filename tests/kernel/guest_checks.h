// The checks the guest test runs against the kernel's hidraw nodes of the gadgets. Each returns
// an empty string when it passed, else what went wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/hidraw_backend.h"

namespace varkon::ktest {

// The gadgets the guest's init creates, by configfs name.
constexpr const char* kKeyboardGadget = "keyboard";
constexpr const char* kMouseGadget = "mouse";

// The listed paths of one device's interface, in listing order.
std::vector<std::string> PathsOf(const std::vector<std::string>& paths, uint16_t productId,
                                 uint16_t interfaceNumber);
// The listed configuration path (mi_01&col04) of a product; empty when absent.
std::string ConfigPathOf(HidrawBackend& backend, uint16_t productId);

std::string CheckEnumeration(HidrawBackend& backend);
std::string CheckReportIdFilter(HidrawBackend& backend);
// What the kernel makes of a feature-report read on a gadget (informational, never fails).
std::string DescribeFeatureRead(HidrawBackend& backend);
std::string CheckCableTransactions(HidrawBackend& backend);
std::string CheckReceiverTransactions(HidrawBackend& backend);
std::string CheckSilentDevice(HidrawBackend& backend);
std::string CheckKeyboardLogic(HidrawBackend& backend, const std::string& resources,
                               const std::string& userRoot);
// Unbinds and re-binds the keyboard gadget's controller `udc` while the watcher runs.
std::string CheckHotPlug(HidrawBackend& backend, const std::string& udc);

}  // namespace varkon::ktest
