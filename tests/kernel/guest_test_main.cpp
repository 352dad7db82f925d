// kernel-hidraw-test: runs inside the test machine against the gadgets' hidraw nodes and prints
// one line per check on the console: "KTEST PASS name", "KTEST FAIL name: why" or
// "KTEST INFO name: text". Exit status 0 when every check passed.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "device/hidraw_backend.h"
#include "kernel/guest_checks.h"

namespace {

struct Check {
  const char* name;
  std::function<std::string()> run;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace varkon::ktest;
  if (argc != 4) {
    std::fprintf(stderr, "usage: kernel-hidraw-test RESOURCES USER-ROOT KEYBOARD-UDC\n");
    return 2;
  }
  const std::string resources = argv[1];
  const std::string userRoot = argv[2];
  const std::string keyboardUdc = argv[3];
  varkon::HidrawBackend backend;

  std::printf("KTEST INFO feature_read: %s\n", DescribeFeatureRead(backend).c_str());
  const std::vector<Check> checks = {
      {"enumeration", [&] { return CheckEnumeration(backend); }},
      {"report_id_filter", [&] { return CheckReportIdFilter(backend); }},
      {"cable_transactions", [&] { return CheckCableTransactions(backend); }},
      {"receiver_transactions", [&] { return CheckReceiverTransactions(backend); }},
      {"silent_device", [&] { return CheckSilentDevice(backend); }},
      {"keyboard_logic", [&] { return CheckKeyboardLogic(backend, resources, userRoot); }},
      {"hot_plug", [&] { return CheckHotPlug(backend, keyboardUdc); }},
  };
  int failed = 0;
  for (const Check& check : checks) {
    const auto start = std::chrono::steady_clock::now();
    const std::string why = check.run();
    const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
    if (why.empty()) {
      std::printf("KTEST PASS %s (%ld ms)\n", check.name, ms);
    } else {
      std::printf("KTEST FAIL %s: %s\n", check.name, why.c_str());
      ++failed;
    }
    std::fflush(stdout);
  }
  return failed == 0 ? 0 : 1;
}
