#include "tools/hid_tool.h"

#include <cstdio>
#include <memory>
#include <ostream>

#include "device/device_catalogue.h"
#include "device/hid_access_check.h"
#include "device/hid_paths.h"
#include "device/hidraw_backend.h"
#include "emulator/emulated_rig.h"
#include "tools/hid_tool_args.h"
#include "tools/hid_tool_commands.h"
#include "tools/hid_tool_watch.h"

namespace varkon {

namespace {

constexpr const char kUsage[] =
    "usage: varkon-hid [--simulate KINDS] list\n"
    "       varkon-hid check   (why a plugged-in device cannot be used, and the fix)\n"
    "       varkon-hid [--simulate KINDS] watch [--for SECONDS] [--script \"T plug|unplug KIND; "
    "...\"]\n"
    "       varkon-hid [--simulate KINDS] [--trace] [--mode cable|receiver] --device PATH-OR-KIND "
    "COMMAND [ARGS...]\n"
    "KINDS: comma list of keyboard, mouse, receiver, pad, headset, or all\n"
    "device kinds: keyboard, mouse, receiver, pad, headset (first configuration interface)\n"
    "commands:\n"
    "  begin | end | info | read-status | light-control-on | query-online\n"
    "  read-settings OFFSET LENGTH      write-settings OFFSET BYTES\n"
    "  read-key-table SIZE              write-key-table PAGE BYTES (also -b, -c)\n"
    "  read-key-bytes SIZE              (SIZE is the key table size; SIZE/3 bytes are read)\n"
    "  read-colour-table INDEX LENGTH   write-colour-table INDEX BYTES\n"
    "  stream-frame BYTES   write-macro-memory BYTES   write-recoil-memory BYTES\n"
    "  raw CMD [BYTES]                  (one packet)\n"
    "numbers are decimal or 0x-hex; BYTES are hex digits without spaces\n";

struct ToolOptions {
  bool simulate = false;
  std::vector<EmulatedKind> kinds;
  bool trace = false;
  int mode = 0;  // 0 keep the creation values, else kTransportModeCable / kTransportModeReceiver
  std::string device;
  std::vector<std::string> command;  // the command and its arguments
};

int BadArguments(std::ostream& err, const std::string& why) {
  err << "varkon-hid: " << why << "\n" << kUsage;
  return 2;
}

// Options come before the command; whatever follows the command belongs to it.
bool ParseOptions(const std::vector<std::string>& args, ToolOptions& options, std::string& why) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options.command.empty()) {
      options.command.push_back(arg);
      continue;
    }
    const bool hasValue = i + 1 < args.size();
    if (arg == "--simulate") {
      if (!hasValue || !ParseEmulatedKinds(args[++i], options.kinds)) {
        why = "--simulate needs a list of device kinds";
        return false;
      }
      options.simulate = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--mode") {
      const std::string value = hasValue ? args[++i] : "";
      if (value == "cable") {
        options.mode = kTransportModeCable;
      } else if (value == "receiver") {
        options.mode = kTransportModeReceiver;
      } else {
        why = "--mode takes cable or receiver";
        return false;
      }
    } else if (arg == "--device") {
      if (!hasValue) {
        why = "--device needs a path or a device kind";
        return false;
      }
      options.device = args[++i];
    } else if (arg == "-h" || arg == "--help") {
      why = "help";
      return false;
    } else if (arg.rfind("--", 0) == 0) {
      why = "unknown option " + arg;
      return false;
    } else {
      options.command.push_back(arg);
    }
  }
  if (options.command.empty()) {
    why = "no command given";
    return false;
  }
  return true;
}

std::string CatalogueName(uint16_t vendorId, uint16_t productId, const std::string& path) {
  const int row =
      FindSupportedInterface(vendorId, productId, InterfaceOf(path), CollectionOf(path));
  if (row < 0) return "";
  const SupportedInterface& entry = kSupportedInterfaces[static_cast<size_t>(row)];
  std::string name = DeviceKindName(entry.kind);
  if (entry.role == kRoleCompanionInput) name += " input";
  return name;
}

int ListInterfaces(HidBackend& backend, std::ostream& out) {
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) {
    out << "enumeration failed\n";
    out << "status " << kStatusNoReply << "\n";
    return 1;
  }
  for (const std::string& path : paths) {
    char line[64];
    uint16_t vendorId = VendorIdOf(path);
    uint16_t productId = ProductIdOf(path);
    std::string usage = "????:????";
    if (auto device = backend.Open(path, false, false, false)) {
      vendorId = device->Attributes().vendorId;
      productId = device->Attributes().productId;
      const HidCaps& caps = device->Collection().caps;
      std::snprintf(line, sizeof line, "%04x:%04x", caps.usagePage, caps.usage);
      usage = line;
    }
    std::snprintf(line, sizeof line, "%04x:%04x", vendorId, productId);
    out << path << "  " << line << "  " << usage << "  ";
    std::snprintf(line, sizeof line, "%02x %02x", InterfaceOf(path), CollectionOf(path));
    out << line;
    const std::string name = CatalogueName(vendorId, productId, path);
    if (!name.empty()) out << "  " << name;
    out << "\n";
  }
  out << "status " << kStatusOk << "\n";
  return 0;
}

// A kind name picks the first configuration interface of that kind whose top-level usage is the
// one the catalogue expects; anything else is taken as a path.
bool ResolveDevice(HidBackend& backend, const std::string& device, std::string& path) {
  static const struct {
    const char* name;
    uint16_t kind;
  } kKinds[] = {{"keyboard", kKindKeyboard},
                {"mouse", kKindMouse},
                {"receiver", kKindMouseReceiver},
                {"pad", kKindMousePad},
                {"headset", kKindHeadset}};
  int wanted = -1;
  for (const auto& entry : kKinds) {
    if (device == entry.name) wanted = entry.kind;
  }
  if (wanted < 0) {
    path = device;
    return true;
  }
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return false;
  for (const std::string& candidate : paths) {
    auto opened = backend.Open(candidate, false, false, false);
    if (!opened) continue;
    const HidAttributes& ids = opened->Attributes();
    const int row = FindSupportedInterface(ids.vendorId, ids.productId, InterfaceOf(candidate),
                                           CollectionOf(candidate));
    if (row < 0) continue;
    const SupportedInterface& entry = kSupportedInterfaces[static_cast<size_t>(row)];
    if (entry.kind == wanted && entry.role == kRoleConfiguration &&
        entry.usagePage == opened->Collection().caps.usagePage &&
        entry.usage == opened->Collection().caps.usage) {
      path = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

int RunHidTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ToolOptions options;
  std::string why;
  if (!ParseOptions(args, options, why)) {
    if (why == "help") {
      out << kUsage;
      return 0;
    }
    return BadArguments(err, why);
  }

  std::unique_ptr<EmulatedRig> rig;
  std::unique_ptr<HidrawBackend> hidraw;
  HidBackend* backend;
  if (options.simulate) {
    rig = std::make_unique<EmulatedRig>();
    for (EmulatedKind kind : options.kinds) rig->Plug(kind);
    backend = &rig->Backend();
  } else {
    hidraw = std::make_unique<HidrawBackend>();
    backend = hidraw.get();
  }

  const std::string& command = options.command[0];
  if (command == "check") {
    if (options.command.size() != 1) return BadArguments(err, "check takes no arguments");
    if (options.simulate) return BadArguments(err, "check looks at real devices only");
    const HidAccessReport report = CheckHidAccess(hidraw->SysfsRoot(), hidraw->DevRoot());
    out << report.Text() << "\n";
    return report.AnyProblem() ? 1 : 0;
  }
  if (command == "list") {
    if (options.command.size() != 1) return BadArguments(err, "list takes no arguments");
    return ListInterfaces(*backend, out);
  }
  if (command == "watch") {
    const std::vector<std::string> rest(options.command.begin() + 1, options.command.end());
    return RunWatch(rest, *backend, rig.get(), out, err);
  }
  if (!IsProtocolCommand(command)) return BadArguments(err, "unknown command " + command);
  if (options.device.empty()) return BadArguments(err, command + " needs --device");

  ProtocolRequest request;
  if (!ParseProtocolRequest(options.command, request, why)) return BadArguments(err, why);

  std::string path;
  if (!ResolveDevice(*backend, options.device, path)) {
    out << "no " << options.device << " interface found\n";
    if (hidraw) {
      const HidAccessReport report = CheckHidAccess(hidraw->SysfsRoot(), hidraw->DevRoot());
      if (report.AnyProblem()) out << report.Text() << "\n";
    }
    out << "status " << kStatusNoReply << "\n";
    return 1;
  }

  DeviceTransport transport(backend);
  if (options.trace) {
    transport.SetPacketObserver([&out](bool outgoing, const uint8_t* packet, size_t size) {
      out << (outgoing ? "> " : "< ") << FormatHex(packet, size, " ") << "\n";
    });
  }
  HidChannel& channel = options.mode == kTransportModeReceiver ? transport.ReceiverChannel()
                                                               : transport.CableChannel();
  if (channel.Open(path, true, true, true, false)) {
    transport.SetOpened(true);
    if (options.mode == kTransportModeReceiver) {
      // The transport reads the receiver channel only in receiver mode.
      transport.SetMode(kTransportModeReceiver);
    } else if (options.mode == kTransportModeCable) {
      transport.SetMode(kTransportModeCable);
    }
  } else {
    out << "cannot open " << path << "\n";
  }
  const StatusCode status = RunProtocolRequest(transport, request, out);
  out << "status " << status << "\n";
  return status == kStatusOk ? 0 : 1;
}

}  // namespace varkon
