#include "device/device_manager.h"

#include <chrono>
#include <thread>

#include "core/debug_out.h"

namespace varkon {

namespace {

constexpr int kOnlinePollTries = 26;
constexpr std::chrono::milliseconds kOnlinePollPause{50};
constexpr int kStartupDelayMs = 500;
constexpr int kOnlineCheckDelayMs = 2000;

bool IsKeyboardOrMouse(uint16_t kind) {
  return kind == kKindKeyboard || kind == kKindKeyboardReceiver || kind == kKindMouse ||
         kind == kKindMouseReceiver;
}
bool IsReceiverKind(uint16_t kind) {
  return kind == kKindMouseReceiver || kind == kKindKeyboardReceiver;
}
// The device family a kind belongs to: receiver kinds belong to their cable kind.
uint16_t FamilyOf(uint16_t kind) {
  if (kind == kKindKeyboardReceiver) return kKindKeyboard;
  if (kind == kKindMouseReceiver) return kKindMouse;
  return kind;
}

}  // namespace

DeviceManager::DeviceManager(SlotTable& slots, HidBackend* backend, DeviceManagerView& view)
    : slots_(slots), backend_(backend), view_(view) {}

void DeviceManager::Note(const std::string& line) {
  debugOut("device manager: %s\n", line.c_str());
  if (trace_) trace_(line);
}

std::string DeviceManager::ModelName(int model) const {
  return model >= 0 && static_cast<size_t>(model) < kDeviceModels.size()
             ? kDeviceModels[static_cast<size_t>(model)].displayName
             : "?";
}

ManagedDevice* DeviceManager::DeviceForModel(int model) {
  for (auto& device : devices_) {
    if (device->model == model) return device.get();
  }
  return nullptr;
}

int DeviceManager::VisibleItemCount() const {
  int visible = 0;
  for (const auto& device : devices_) visible += device->itemVisible ? 1 : 0;
  return visible;
}

ManagedDevice* DeviceManager::FindByDescriptor(const DeviceSlot& descriptor) {
  for (auto& device : devices_) {
    if (device->descriptor.SameDescriptor(descriptor)) return device.get();
  }
  return nullptr;
}

bool DeviceManager::PartnerPointsBack(size_t index, const DeviceSlot& slot,
                                      DeviceSlot& partner) const {
  if (!slot.row.hasPartner || slot.row.partnerIndex >= slots_.Size()) return false;
  partner = slots_.Get(slot.row.partnerIndex);
  return partner.row.partnerIndex == index;
}

// A receiver identity is the same device as its cable partner: the device always answers to the
// cable's configuration row, whichever identity arrived first.
ManagedDevice* DeviceManager::CreateDevice(size_t configRow) {
  DeviceSlot row = slots_.Get(configRow);
  DeviceSlot cableRow = row;
  if (IsReceiverKind(row.row.kind)) {
    if (!row.row.hasPartner || row.row.partnerIndex >= slots_.Size()) return nullptr;
    cableRow = slots_.Get(row.row.partnerIndex);
  }
  const int model =
      FindDeviceModel(cableRow.row.vendorId, cableRow.row.productId, FamilyOf(row.row.kind), 0);
  if (model < 0) return nullptr;
  auto device = std::make_unique<ManagedDevice>();
  device->model = model;
  device->descriptor = cableRow;
  device->descriptor.path.clear();
  device->descriptor.row.attached = 0;
  device->transport = std::make_unique<DeviceTransport>(backend_);
  device->inputTransport = std::make_unique<DeviceTransport>(backend_);
  device->wirelessCapable = kDeviceModels[static_cast<size_t>(model)].wirelessCapable;
  devices_.push_back(std::move(device));
  view_.CreatePanel(model);
  Note("create panel " + ModelName(model));
  return devices_.back().get();
}

void DeviceManager::OnArrival(size_t index) {
  if (index >= slots_.Size()) return;
  const DeviceSlot slot = slots_.Get(index);

  // The configuration row of this device identity.
  size_t configRow = index;
  for (size_t i = 0; i < slots_.Size(); ++i) {
    const DeviceSlot candidate = slots_.Get(i);
    if (candidate.row.vendorId == slot.row.vendorId &&
        candidate.row.productId == slot.row.productId && candidate.row.kind == slot.row.kind &&
        candidate.row.role == kRoleConfiguration) {
      configRow = i;
      break;
    }
  }
  DeviceSlot descriptor = slots_.Get(configRow);
  DeviceSlot partner;
  if (IsReceiverKind(descriptor.row.kind) && descriptor.row.hasPartner &&
      descriptor.row.partnerIndex < slots_.Size()) {
    descriptor = slots_.Get(descriptor.row.partnerIndex);
  }
  if (FindByDescriptor(descriptor) == nullptr) CreateDevice(configRow);

  if (slot.row.role == kRoleCompanionInput) {
    AttachCompanion(index, slot);
  } else {
    AttachConfiguration(index, slot);
  }
  view_.BringToFront();
}

// While the other identity of a keyboard or mouse is present, a configuration interface coming
// or going is a cable/receiver switch: the cable arriving takes over, the cable leaving hands
// over to the receiver, and the receiver coming or going while the cable is in use changes
// nothing. Otherwise the device the slot belongs to is returned.
ManagedDevice* DeviceManager::ConfigurationTarget(size_t index, const DeviceSlot& slot,
                                                  bool& handled) {
  handled = false;
  const bool receiver = IsReceiverKind(slot.row.kind);
  DeviceSlot partner;
  const bool partnered =
      IsKeyboardOrMouse(slot.row.kind) && PartnerPointsBack(index, slot, partner);
  if (partnered && partner.row.attached != 0 && !partner.path.empty()) {
    handled = true;
    if (!receiver) Switch(index);
    return nullptr;
  }
  return FindByDescriptor(receiver && partnered ? partner : slot);
}

void DeviceManager::AttachConfiguration(size_t index, const DeviceSlot& slot) {
  bool handled = false;
  ManagedDevice* device = ConfigurationTarget(index, slot, handled);
  if (handled || device == nullptr) return;
  const bool keyboardOrMouse = IsKeyboardOrMouse(slot.row.kind);
  const bool receiver = IsReceiverKind(slot.row.kind);

  DeviceTransport& transport = *device->transport;
  if (!transport.IsOpened()) {
    std::lock_guard<std::mutex> lock(transport.TransactionLock());
    HidChannel& channel = receiver ? transport.ReceiverChannel() : transport.CableChannel();
    if (channel.Open(slot.path, true, true, true, false)) {
      transport.SetOpened(true);
      if (keyboardOrMouse) {
        transport.SetMode(receiver ? kTransportModeReceiver : kTransportModeCable);
      }
      device->receiverMode = receiver;
      Note((receiver ? "open receiver " : "open cable ") + std::to_string(index));
    } else {
      Note("open failed " + std::to_string(index));
    }
  }
  // A device whose channel did not open stays closed until its interface comes back.
  if (!transport.IsOpened()) return;
  if (!receiver) ShowItem(*device, VisibleItemCount() == 0);
  view_.StartItemTimer(device->model, kTimerStartup, kStartupDelayMs);
}

ManagedDevice* DeviceManager::DeviceOfIdentity(const DeviceSlot& slot, bool& receiverIdentity) {
  for (auto& device : devices_) {
    const SupportedInterface& own = device->descriptor.row;
    if (FamilyOf(own.kind) != FamilyOf(slot.row.kind)) continue;
    if (own.vendorId == slot.row.vendorId && own.productId == slot.row.productId &&
        own.kind == slot.row.kind) {
      receiverIdentity = false;
      return device.get();
    }
    if (own.hasPartner && own.partnerIndex < slots_.Size()) {
      const SupportedInterface partner = slots_.Get(own.partnerIndex).row;
      if (partner.vendorId == slot.row.vendorId && partner.productId == slot.row.productId &&
          partner.kind == slot.row.kind) {
        receiverIdentity = true;
        return device.get();
      }
    }
  }
  return nullptr;
}

// Each identity (cable, receiver) has its own input channel and lock, so a mouse reached only
// through its receiver still delivers its notices.
void DeviceManager::AttachCompanion(size_t index, const DeviceSlot& slot) {
  bool receiverIdentity = false;
  ManagedDevice* device = DeviceOfIdentity(slot, receiverIdentity);
  if (device == nullptr) return;
  DeviceTransport& input = *device->inputTransport;
  std::mutex& lock = receiverIdentity ? input.InputLock() : input.TransactionLock();
  HidChannel& channel = receiverIdentity ? input.ReceiverChannel() : input.CableChannel();
  bool opened;
  {
    std::lock_guard<std::mutex> guard(lock);
    opened = channel.Open(slot.path, true, true, true, false);
  }
  if (!opened) {
    Note("open input failed " + std::to_string(index));
    return;
  }
  Note("open input " + std::to_string(index));
  view_.InputOpened(device->model, receiverIdentity);
}

void DeviceManager::OnRemoval(size_t index) {
  if (index >= slots_.Size()) return;
  const DeviceSlot slot = slots_.Get(index);
  if (slot.row.role == kRoleCompanionInput) {
    RemoveCompanion(index, slot);
  } else {
    RemoveConfiguration(index, slot);
  }
}

void DeviceManager::RemoveConfiguration(size_t index, const DeviceSlot& slot) {
  bool handled = false;
  ManagedDevice* device = ConfigurationTarget(index, slot, handled);
  if (handled || device == nullptr) return;
  DeviceTransport& transport = *device->transport;
  {
    std::lock_guard<std::mutex> lock(transport.TransactionLock());
    transport.SetOpened(false);
    transport.CableChannel().Close();
    transport.ReceiverChannel().Close();
  }
  Note("close " + std::to_string(index));
  HideItem(*device);
}

void DeviceManager::RemoveCompanion(size_t index, const DeviceSlot& slot) {
  bool receiverIdentity = false;
  ManagedDevice* device = DeviceOfIdentity(slot, receiverIdentity);
  if (device == nullptr) return;
  DeviceTransport& input = *device->inputTransport;
  // The reader is told first, so it stops before its channel goes.
  view_.InputClosed(device->model, receiverIdentity);
  {
    std::lock_guard<std::mutex> guard(receiverIdentity ? input.InputLock()
                                                       : input.TransactionLock());
    (receiverIdentity ? input.ReceiverChannel() : input.CableChannel()).Close();
  }
  Note("close input " + std::to_string(index));
}

void DeviceManager::Switch(size_t index) {
  const DeviceSlot slot = slots_.Get(index);
  if (slot.row.partnerIndex >= slots_.Size()) return;
  const DeviceSlot partner = slots_.Get(slot.row.partnerIndex);
  ManagedDevice* device = FindByDescriptor(slot);
  if (device == nullptr) device = FindByDescriptor(partner);
  if (device == nullptr) return;
  const std::string path = device->receiverMode ? slot.path : partner.path;

  DeviceTransport& transport = *device->transport;
  bool opened;
  {
    std::lock_guard<std::mutex> lock(transport.TransactionLock());
    transport.SetOpened(false);
    HidChannel& next =
        device->receiverMode ? transport.CableChannel() : transport.ReceiverChannel();
    HidChannel& previous =
        device->receiverMode ? transport.ReceiverChannel() : transport.CableChannel();
    opened = next.Open(path, true, true, true, false);
    if (opened) previous.Close();
  }
  if (!opened) {
    Note("switch failed " + std::to_string(index));
    return;
  }
  transport.SetOpened(true);
  device->receiverMode = !device->receiverMode;
  const int model = device->model;
  if (device->receiverMode) {
    transport.SetMode(kTransportModeReceiver);
    Note("switch to receiver");
    if (device->wirelessCapable) {
      // Wait for the device behind the receiver to answer; a receiver that does not answer at
      // all ends the wait at once instead of holding the owner thread for every try.
      for (int attempt = 0; attempt < kOnlinePollTries; ++attempt) {
        bool online = false;
        if (transport.QueryOnline(online) == kStatusNoReply || online) break;
        std::this_thread::sleep_for(kOnlinePollPause);
      }
      view_.ReadPowerStatus(model);
    }
    transport.CmdBeginSession();
    view_.StartItemTimer(model, kTimerOnlineCheck, kOnlineCheckDelayMs);
    view_.ReadDevice(model);
    view_.CloseProgressDialog();
  } else {
    transport.SetMode(kTransportModeCable);
    Note("switch to cable");
    view_.StartItemTimer(model, kTimerStartup, kStartupDelayMs);
    view_.SendReachable(model, true);
    view_.CloseProgressDialog();
    if (device->wirelessCapable) view_.ReadPowerStatus(model);
  }
}

void DeviceManager::ShowItem(ManagedDevice& device, bool select) {
  device.itemVisible = true;
  if (select) {
    for (auto& other : devices_) other->itemSelected = false;
    device.itemSelected = true;
  }
  view_.ShowItem(device.model, select);
  Note("show item " + ModelName(device.model));
}

void DeviceManager::HideItem(ManagedDevice& device) {
  // An item that is not shown has nothing to hide: the removal of a device whose arrival
  // could not open it, or of a receiver whose mouse was asleep, must not reach the screen.
  if (!device.itemVisible) {
    device.itemSelected = false;
    return;
  }
  ManagedDevice* successor = nullptr;
  if (device.itemSelected) {
    for (auto& other : devices_) {
      if (other.get() != &device && other->itemVisible) {
        successor = other.get();
        break;
      }
    }
  }
  device.itemVisible = false;
  device.itemSelected = false;
  view_.HideItem(device.model);
  Note("hide item " + ModelName(device.model));
  if (successor != nullptr) ShowItem(*successor, true);
}

bool QueuedWatcherEvents::Arrived(size_t slot, StopEvent& stop) {
  return queue_.Send([this, slot] { manager_.OnArrival(slot); }, stop);
}

bool QueuedWatcherEvents::Removed(size_t slot, StopEvent& stop) {
  return queue_.Send([this, slot] { manager_.OnRemoval(slot); }, stop);
}

void QueuedWatcherEvents::FirstPassDone() {
  queue_.Post([this] { manager_.OnFirstPassDone(); });
}

}  // namespace varkon
