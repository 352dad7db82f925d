// Vendor transactions through the backend: output reports out, input replies back, over a
// cable and through the receiver, and a device that never answers.
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "device/device_transport.h"
#include "emulator/firmware_images.h"
#include "kernel/guest_checks.h"
#include "kernel/kernel_probe.h"

namespace varkon::ktest {

namespace {

std::string Status(const char* what, StatusCode status) {
  return std::string(what) + ": status " + std::to_string(status) + " (" + StatusCodeName(status) +
         ")";
}

bool OpenTransport(DeviceTransport& transport, const std::string& path, bool receiver) {
  HidChannel& channel = receiver ? transport.ReceiverChannel() : transport.CableChannel();
  if (!channel.Open(path, true, true, true, false)) return false;
  transport.SetOpened(true);
  transport.SetMode(receiver ? kTransportModeReceiver : kTransportModeCable);
  return true;
}

std::vector<uint8_t> FactoryInfo(const FirmwareImage& image) {
  const std::vector<uint8_t>& area = image.areas[static_cast<size_t>(MemoryArea::DeviceInfo)];
  return std::vector<uint8_t>(area.begin(), area.begin() + kDeviceInfoSize);
}

}  // namespace

std::string CheckCableTransactions(HidrawBackend& backend) {
  const std::string path = ConfigPathOf(backend, 0x5055);
  DeviceTransport transport(&backend);
  if (path.empty() || !OpenTransport(transport, path, false)) return "cannot open the keyboard";
  if (StatusCode s = transport.CmdBeginSession(); s != kStatusOk) return Status("begin", s);
  std::vector<uint8_t> info(kDeviceInfoSize);
  if (StatusCode s = transport.CmdReadDeviceInfo(info); s != kStatusOk) return Status("info", s);
  if (info != FactoryInfo(KeyboardImage())) return "device information differs from the firmware's";
  // A write spanning two chunks, read back.
  std::vector<uint8_t> bytes(100);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(0xA0 ^ i);
  if (StatusCode s = transport.CmdWriteSettings(0x200, bytes); s != kStatusOk) {
    return Status("write-settings", s);
  }
  std::vector<uint8_t> back(bytes.size());
  if (StatusCode s = transport.CmdReadSettings(0x200, back); s != kStatusOk) {
    return Status("read-settings", s);
  }
  if (back != bytes) return "settings read back differ from those written";
  if (StatusCode s = transport.CmdEndSession(); s != kStatusOk) return Status("end", s);
  return "";
}

std::string CheckReceiverTransactions(HidrawBackend& backend) {
  const std::string path = ConfigPathOf(backend, 0x221D);
  DeviceTransport transport(&backend);
  if (path.empty() || !OpenTransport(transport, path, true)) return "cannot open the receiver";
  bool online = false;
  if (StatusCode s = transport.QueryOnline(online); s != kStatusOk || !online) {
    return Status("query-online", s) + (online ? "" : ", offline");
  }
  std::vector<uint8_t> info(kDeviceInfoSize);
  if (StatusCode s = transport.CmdReadDeviceInfo(info); s != kStatusOk) return Status("info", s);
  if (info != FactoryInfo(MouseImage()))
    return "the mouse's information differs behind the receiver";
  std::array<uint8_t, kStatusBlockSize> status{};
  if (StatusCode s = transport.CmdReadStatus(status); s != kStatusOk) {
    return Status("read-status", s);
  }
  return "";
}

std::string CheckSilentDevice(HidrawBackend& backend) {
  const std::string path = ConfigPathOf(backend, 0x50EF);
  DeviceTransport transport(&backend);
  if (path.empty() || !OpenTransport(transport, path, false)) return "cannot open the mouse";
  std::vector<uint8_t> info(kDeviceInfoSize);
  if (StatusCode s = transport.CmdReadDeviceInfo(info); s != kStatusOk) {
    return Status("info before the mouse went silent", s);
  }
  const std::string flag = SilentFlag(kMouseGadget);
  std::fclose(std::fopen(flag.c_str(), "w"));
  const auto start = std::chrono::steady_clock::now();
  const StatusCode status = transport.CmdReadDeviceInfo(info);
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  std::remove(flag.c_str());
  if (status != kStatusNoReply) return Status("info on a silent mouse", status) + ", want no reply";
  if (waited.count() < kCableTimeoutMs * 9 / 10 || waited.count() > 20 * kCableTimeoutMs) {
    return "gave up after " + std::to_string(waited.count()) + " ms";
  }
  // Answering again, the next transaction goes through.
  if (StatusCode s = transport.CmdReadDeviceInfo(info); s != kStatusOk) {
    return Status("info after the mouse answers again", s);
  }
  return "";
}

}  // namespace varkon::ktest
