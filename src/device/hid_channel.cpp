#include "device/hid_channel.h"

#include "device/hid_paths.h"

namespace varkon {

namespace {

// Clears a busy flag when the transfer leaves, whichever way it leaves.
class BusyScope {
 public:
  explicit BusyScope(std::atomic<bool>& flag) : flag_(flag) { flag_.store(true); }
  ~BusyScope() { flag_.store(false); }

 private:
  std::atomic<bool>& flag_;
};

int ToResult(HidIoResult result) {
  return result == HidIoResult::Ok ? 1 : 0;
}

}  // namespace

HidChannel::HidChannel(HidBackend* backend) : backend_(backend) {}

HidChannel::~HidChannel() {
  Close();
  FreePaths();
}

HidBackend& HidChannel::Backend() const {
  return backend_ ? *backend_ : DefaultHidBackend();
}

bool HidChannel::Enumerate() {
  std::vector<std::string> paths;
  pathCursor_ = 0;
  if (!Backend().Enumerate(paths)) {
    paths_.clear();
    return false;
  }
  paths_ = std::move(paths);
  return true;
}

std::optional<std::string> HidChannel::NextPath() {
  if (pathCursor_ >= paths_.size()) return std::nullopt;
  return paths_[pathCursor_++];
}

void HidChannel::FreePaths() {
  paths_.clear();
  paths_.shrink_to_fit();
  pathCursor_ = 0;
}

bool HidChannel::Open(const std::string& path, bool read, bool write, bool overlapped,
                      bool exclusive) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wantRead_ = read;
    wantWrite_ = write;
    overlapped_ = overlapped;
    exclusive_ = exclusive;
    path_ = path.size() <= kMaxHidPathLength ? path : std::string();
  }
  return Reopen();
}

void HidChannel::ClearCapabilitiesLocked() {
  caps_ = HidCaps();
  attributes_ = HidAttributes();
  collection_ = HidCollectionInfo();
  for (int k = 0; k < kHidReportKindCount; ++k) {
    reports_[k].clear();
    items_[k].clear();
  }
}

bool HidChannel::Reopen() {
  Close();
  std::string path;
  bool read, write, exclusive;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    path = path_;
    read = wantRead_;
    write = wantWrite_;
    exclusive = exclusive_;
  }
  if (path.empty()) return false;
  std::shared_ptr<HidDevice> device = Backend().Open(path, read, write, exclusive);
  if (!device) return false;

  std::lock_guard<std::mutex> lock(mutex_);
  collection_ = device->Collection();
  caps_ = collection_.caps;
  attributes_ = device->Attributes();
  const uint16_t lengths[kHidReportKindCount] = {
      caps_.inputReportByteLength, caps_.outputReportByteLength, caps_.featureReportByteLength};
  for (int k = 0; k < kHidReportKindCount; ++k) {
    reports_[k].assign(lengths[k], 0);
    items_[k] = BuildDataItems(collection_, static_cast<HidReportKind>(k));
  }
  interfaceNumber_ = InterfaceOf(path);
  collectionNumber_ = CollectionOf(path);
  device_ = std::move(device);
  return true;
}

void HidChannel::Close() {
  std::shared_ptr<HidDevice> device;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    device = std::move(device_);
    device_.reset();
    ClearCapabilitiesLocked();
  }
  // A read or write waiting on another thread holds its own reference; cancelling ends its wait
  // and the device is released when the last holder lets go.
  if (device) device->Cancel();
}

void HidChannel::CancelWaits() {
  if (std::shared_ptr<HidDevice> device = CurrentDevice()) device->Cancel();
}

bool HidChannel::IsOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return device_ != nullptr;
}

std::shared_ptr<HidDevice> HidChannel::CurrentDevice() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return device_;
}

int HidChannel::Read(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs) {
  BusyScope busy(readBusy_);
  bytesRead = 0;
  std::shared_ptr<HidDevice> device = CurrentDevice();
  if (!device || buffer == nullptr) return 0;
  size_t got = 0;
  const HidIoResult result = device->Read(buffer, length, got, timeoutMs);
  bytesRead = result == HidIoResult::Ok ? got : 0;
  return ToResult(result);
}

int HidChannel::Write(const uint8_t* buffer, size_t length, size_t& bytesWritten, int timeoutMs) {
  BusyScope busy(writeBusy_);
  bytesWritten = 0;
  std::shared_ptr<HidDevice> device = CurrentDevice();
  if (!device || buffer == nullptr) return 0;
  size_t sent = 0;
  const HidIoResult result = device->Write(buffer, length, sent, timeoutMs);
  bytesWritten = result == HidIoResult::Ok ? sent : 0;
  return ToResult(result);
}

bool HidChannel::SetOutputReport(const uint8_t* buffer, size_t length) {
  std::shared_ptr<HidDevice> device = CurrentDevice();
  return device && buffer != nullptr && device->SetOutputReport(buffer, length);
}

int32_t HidChannel::UnpackInputReport(const uint8_t* report, size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (report == nullptr || length == 0) return kHidStatusInvalidReportLength;
  return UnpackReport(collection_, HidReportKind::Input, report, length,
                      items_[static_cast<int>(HidReportKind::Input)]);
}

std::vector<HidDataItem> HidChannel::InputItems() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return items_[static_cast<int>(HidReportKind::Input)];
}

std::string HidChannel::Path() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return path_;
}

HidCaps HidChannel::Caps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return caps_;
}

HidAttributes HidChannel::Attributes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return attributes_;
}

int HidChannel::InterfaceNumber() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return interfaceNumber_;
}

int HidChannel::CollectionNumber() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return collectionNumber_;
}

size_t HidChannel::ItemCount(HidReportKind kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return items_[static_cast<int>(kind)].size();
}

}  // namespace varkon
