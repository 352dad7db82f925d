#include "tools/hid_tool_commands.h"

#include <cstring>
#include <ostream>

#include "tools/hid_tool_args.h"

namespace varkon {

namespace {

enum class Shape {
  None,          // no arguments
  NumberNumber,  // OFFSET LENGTH, INDEX LENGTH
  NumberBytes,   // OFFSET BYTES, PAGE BYTES, INDEX BYTES
  Number,        // SIZE
  Bytes,         // BYTES
  Raw,           // CMD [BYTES]
};

struct CommandSpec {
  const char* name;
  Shape shape;
  uint32_t firstMaximum;
  uint32_t secondMaximum;
};

constexpr uint32_t kAddressMaximum = 0xFFFF;
constexpr uint32_t kLengthMaximum = 0x10000;

const CommandSpec kCommands[] = {
    {"begin", Shape::None, 0, 0},
    {"end", Shape::None, 0, 0},
    {"info", Shape::None, 0, 0},
    {"read-settings", Shape::NumberNumber, kAddressMaximum, kLengthMaximum},
    {"write-settings", Shape::NumberBytes, kAddressMaximum, 0},
    {"read-key-table", Shape::Number, kMaxTableSize, 0},
    {"write-key-table", Shape::NumberBytes, 0xFFFF, 0},
    {"write-key-table-b", Shape::NumberBytes, 0xFFFF, 0},
    {"write-key-table-c", Shape::NumberBytes, 0xFFFF, 0},
    {"read-key-bytes", Shape::Number, kMaxTableSize, 0},
    {"read-colour-table", Shape::NumberNumber, 127, kLengthMaximum},
    {"write-colour-table", Shape::NumberBytes, 127, 0},
    {"stream-frame", Shape::Bytes, 0, 0},
    {"write-macro-memory", Shape::Bytes, 0, 0},
    {"write-recoil-memory", Shape::Bytes, 0, 0},
    {"read-status", Shape::None, 0, 0},
    {"light-control-on", Shape::None, 0, 0},
    {"query-online", Shape::None, 0, 0},
    {"raw", Shape::Raw, 0xFF, 0},
};

const CommandSpec* Find(const std::string& name) {
  for (const CommandSpec& spec : kCommands) {
    if (name == spec.name) return &spec;
  }
  return nullptr;
}

void PrintData(std::ostream& out, const std::vector<uint8_t>& data) {
  out << FormatHex(data.data(), data.size(), "") << "\n";
}

// Single packet with a free command byte, for poking at firmware.
StatusCode RawPacket(DeviceTransport& transport, const ProtocolRequest& request,
                     std::ostream& out) {
  PacketBytes packet{};
  packet[0] = kPacketReportId;
  packet[kPacketCommand] = static_cast<uint8_t>(request.first);
  packet[kPacketLength] = static_cast<uint8_t>(request.bytes.size());
  std::memcpy(packet.data() + kPacketPayloadOffset, request.bytes.data(), request.bytes.size());
  SealPacket(packet.data());
  PacketBytes reply{};
  size_t got = 0;
  StatusCode status =
      transport.Transact(packet.data(), packet.size(), reply.data(), reply.size(), got);
  if (status != kStatusOk) return status;
  out << FormatHex(reply.data(), got, "") << "\n";
  if (reply[kPacketStatus] == kStatusErrorFF) return kStatusDeviceFF;
  if (reply[kPacketStatus] == kStatusErrorFE) return kStatusDeviceFE;
  return kStatusOk;
}

}  // namespace

bool IsProtocolCommand(const std::string& name) {
  return Find(name) != nullptr;
}

bool ParseProtocolRequest(const std::vector<std::string>& words, ProtocolRequest& request,
                          std::string& why) {
  const CommandSpec* spec = Find(words.at(0));
  if (spec == nullptr) {
    why = "unknown command " + words[0];
    return false;
  }
  request = ProtocolRequest();
  request.name = spec->name;
  const size_t argc = words.size() - 1;
  const auto number = [&](size_t at, uint32_t maximum, uint32_t& value) {
    if (ParseToolNumber(words[at], maximum, value)) return true;
    why = request.name + ": bad number " + words[at];
    return false;
  };
  const auto bytes = [&](size_t at) {
    if (ParseHexBytes(words[at], request.bytes)) return true;
    why = request.name + ": bad byte string " + words[at];
    return false;
  };
  const auto count = [&](size_t wanted) {
    if (argc == wanted) return true;
    why = request.name + ": wrong number of arguments";
    return false;
  };
  switch (spec->shape) {
    case Shape::None:
      return count(0);
    case Shape::Number:
      return count(1) && number(1, spec->firstMaximum, request.first);
    case Shape::Bytes:
      return count(1) && bytes(1);
    case Shape::NumberNumber:
      return count(2) && number(1, spec->firstMaximum, request.first) &&
             number(2, spec->secondMaximum, request.second);
    case Shape::NumberBytes:
      return count(2) && number(1, spec->firstMaximum, request.first) && bytes(2);
    case Shape::Raw:
      if (argc != 1 && argc != 2) return count(1);
      if (!number(1, spec->firstMaximum, request.first)) return false;
      if (argc == 2 && !bytes(2)) return false;
      if (request.bytes.size() > kPacketPayloadSize) {
        why = "raw: at most 56 payload bytes";
        return false;
      }
      return true;
  }
  return false;
}

StatusCode RunProtocolRequest(DeviceTransport& transport, const ProtocolRequest& request,
                              std::ostream& out) {
  const std::string& name = request.name;
  std::vector<uint8_t> data;
  StatusCode status = kStatusNoReply;
  const auto readInto = [&](size_t size, auto&& read) {
    data.assign(size, 0);
    status = read(std::span<uint8_t>(data));
    if (status == kStatusOk) PrintData(out, data);
    return status;
  };
  if (name == "begin") return transport.CmdBeginSession();
  if (name == "end") return transport.CmdEndSession();
  if (name == "info") {
    return readInto(kDeviceInfoSize, [&](auto s) { return transport.CmdReadDeviceInfo(s); });
  }
  if (name == "read-settings") {
    return readInto(request.second, [&](auto s) {
      return transport.CmdReadSettings(static_cast<uint16_t>(request.first), s);
    });
  }
  if (name == "write-settings") {
    return transport.CmdWriteSettings(static_cast<uint16_t>(request.first), request.bytes);
  }
  if (name == "read-key-table" || name == "read-key-bytes") {
    transport.SetTableSize(static_cast<uint16_t>(request.first));
    if (name == "read-key-table") {
      return readInto(request.first, [&](auto s) { return transport.CmdReadKeyTable(s); });
    }
    return readInto(request.first / 3, [&](auto s) { return transport.CmdReadKeyBytes(s); });
  }
  if (name.rfind("write-key-table", 0) == 0) {
    if (!transport.SetTableSize(static_cast<uint16_t>(request.bytes.size()))) {
      out << "a key table holds at most " << kMaxTableSize << " bytes\n";
      return kStatusWriteFailed;
    }
    const int page = static_cast<int>(request.first);
    if (name == "write-key-table-b") return transport.CmdWriteKeyTableB(page, request.bytes);
    if (name == "write-key-table-c") return transport.CmdWriteKeyTableC(page, request.bytes);
    return transport.CmdWriteKeyTable(page, request.bytes);
  }
  if (name == "read-colour-table") {
    return readInto(request.second, [&](auto s) {
      return transport.CmdReadColourTable(static_cast<int>(request.first), s);
    });
  }
  if (name == "write-colour-table") {
    return transport.CmdWriteColourTable(static_cast<int>(request.first), request.bytes);
  }
  if (name == "stream-frame") return transport.CmdStreamLightFrame(request.bytes);
  if (name == "write-macro-memory") return transport.CmdWriteMacroMemory(request.bytes);
  if (name == "write-recoil-memory") return transport.CmdWriteRecoilMemory(request.bytes);
  if (name == "read-status") {
    return readInto(kStatusBlockSize, [&](auto s) { return transport.CmdReadStatus(s); });
  }
  if (name == "light-control-on") return transport.CmdLightControlOn();
  if (name == "query-online") {
    const bool online = transport.CmdQueryOnline();
    out << (online ? "online" : "offline") << "\n";
    return online ? kStatusOk : kStatusNoReply;
  }
  if (name == "raw") return RawPacket(transport, request, out);
  return status;
}

}  // namespace varkon
