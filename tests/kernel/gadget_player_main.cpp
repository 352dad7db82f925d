// kernel-gadget-player: the device side of the kernel test. "create" builds a USB gadget that
// looks like an emulated device; "play" answers the vendor requests the host sends to the
// gadget's vendor interface (/dev/hidgN) with the emulator's firmware of that device. While the
// file SilentFlag(gadget) exists the player reads requests and answers none.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "emulator/firmware_images.h"
#include "emulator/receiver_firmware.h"
#include "kernel/gadget_config.h"
#include "kernel/kernel_probe.h"

namespace varkon::ktest {
namespace {

std::shared_ptr<VendorFirmware> FirmwareFor(EmulatedKind kind) {
  switch (kind) {
    case EmulatedKind::Keyboard:
      return std::make_shared<VendorFirmware>(KeyboardImage());
    case EmulatedKind::Mouse:
      return std::make_shared<VendorFirmware>(MouseImage());
    case EmulatedKind::Receiver:
      return std::make_shared<ReceiverFirmware>(std::make_shared<VendorFirmware>(MouseImage()));
    case EmulatedKind::Pad:
      return std::make_shared<VendorFirmware>(PadImage());
    case EmulatedKind::Headset:
      return std::make_shared<VendorFirmware>(HeadsetImage());
  }
  return nullptr;
}

void Send(int fd, const std::vector<uint8_t>& report) {
  // Blocks until the host has taken the previous report; an unbound gadget fails at once.
  while (write(fd, report.data(), report.size()) < 0 && errno == EINTR) {
  }
}

void SendProbeReports(int fd) {
  Send(fd, {0x01, kProbeSystemBits});
  Send(fd, {0x02, kProbeConsumerUsage & 0xFF, kProbeConsumerUsage >> 8});
  Send(fd, {0x03, kProbeNotice & 0xFF, kProbeNotice >> 8});
}

int Play(EmulatedKind kind, const std::string& gadget) {
  const std::string node = VendorHidgNode(gadget);
  const int fd = node.empty() ? -1 : open(node.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "player %s: no vendor hidg node (%s)\n", gadget.c_str(), node.c_str());
    return 1;
  }
  const std::shared_ptr<VendorFirmware> firmware = FirmwareFor(kind);
  std::fprintf(stderr, "player %s: %s on %s\n", gadget.c_str(), EmulatedKindName(kind),
               node.c_str());
  const std::string silentFlag = SilentFlag(gadget);
  uint8_t report[256];
  for (;;) {
    const ssize_t got = read(fd, report, sizeof report);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      // The gadget is unbound from its controller (hot-plug); it comes back on the same node.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    if (report[0] != kPacketReportId || access(silentFlag.c_str(), F_OK) == 0) continue;
    if (static_cast<size_t>(got) > kPacketCommand && report[kPacketCommand] == kProbeCommand) {
      SendProbeReports(fd);
    }
    FirmwareResult result = firmware->Receive(report, static_cast<size_t>(got));
    if (!result.hasReply) continue;
    if (result.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(result.delayMs));
    Send(fd, std::vector<uint8_t>(result.reply.begin(), result.reply.end()));
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: kernel-gadget-player create KIND GADGET UDC [--no-boot-interface]\n"
               "       kernel-gadget-player play KIND GADGET\n");
  return 2;
}

}  // namespace
}  // namespace varkon::ktest

int main(int argc, char** argv) {
  using namespace varkon;
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<EmulatedKind> kinds;
  if (args.size() < 3 || !ParseEmulatedKinds(args[1], kinds) || kinds.size() != 1) {
    return ktest::Usage();
  }
  const bool noBoot = args.size() == 5 && args[4] == "--no-boot-interface";
  if (args[0] == "create" && (args.size() == 4 || noBoot)) {
    std::string why;
    if (ktest::CreateGadget(kinds[0], args[2], args[3], !noBoot, why)) return 0;
    std::fprintf(stderr, "create %s: %s\n", args[2].c_str(), why.c_str());
    return 1;
  }
  if (args[0] == "play" && args.size() == 3) return ktest::Play(kinds[0], args[2]);
  return ktest::Usage();
}
