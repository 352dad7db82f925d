#include "app/device_screen.h"

#include <QAbstractButton>
#include <algorithm>
#include <atomic>

#include "app/controls/device_option.h"
#include "app/controls/mp_device_power.h"
#include "core/debug_out.h"
#include "device/hid_access_check.h"
#include "devices/panels/usb_device.h"
#include "devices/selector_item_driver.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_timers.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"
#include "platform/ui/skin_loader.h"

namespace varkon {

namespace {

std::atomic<int> timeDivisor{1};
constexpr int kHiddenPaintMs = 500;

int Scaled(int milliseconds) {
  const int divisor = std::max(1, timeDivisor.load());
  return milliseconds <= 0 ? 0 : std::max(1, milliseconds / divisor);
}

void PostReachable(const ui::MessageTarget& window, int model, bool reachable) {
  ui::Message message;
  message.number = kMessageReachable;
  message.wParam = static_cast<uintptr_t>(model);
  message.lParam = reachable ? 1 : 0;
  window.Post(std::move(message));
}

// Adds a page to a tab layout. A page added while its window is hidden would show with the
// window, over the current page, so a page that is not current is hidden here.
void AddPage(QWidget* tabs, QWidget* page) {
  ui::AddItem(tabs, page);
  if (ui::ItemAt(tabs, ui::CurrentPage(tabs)) != page) page->hide();
}

}  // namespace

// What the selector item's timers act on: the device object, its record in the device manager,
// the item and the main window.
class DeviceItemHost final : public SelectorItemHost {
 public:
  DeviceItemHost(DeviceManager& manager, int model, CTarnwiseUSBDevice* device,
                 CDeviceOptionUI* item, ui::MessageTarget window, std::function<bool()> active)
      : manager_(manager),
        model_(model),
        device_(device),
        item_(item),
        window_(std::move(window)),
        active_(std::move(active)),
        driver_(*this) {}

  SelectorItemDriver& driver() { return driver_; }

  bool ReceiverMode() const override {
    const ManagedDevice* record = manager_.DeviceForModel(model_);
    return record && record->receiverMode;
  }
  bool TransportOpen() const override { return device_ && device_->TransportOpen(); }
  bool WirelessCapable() const override { return device_ && device_->WirelessCapable(); }
  bool ItemVisible() const override {
    const ManagedDevice* record = manager_.DeviceForModel(model_);
    return record && record->itemVisible;
  }
  bool ItemSelected() const override {
    const ManagedDevice* record = manager_.DeviceForModel(model_);
    return record && record->itemSelected;
  }
  bool WindowActive() const override { return active_ ? active_() : true; }
  bool IsLinkAwake() override { return device_ && device_->IsLinkAwake(); }
  void ReadDevice() override {
    if (device_) device_->ReadDevice();
  }
  void ReadPowerStatus() override {
    if (device_) device_->ReadPowerStatus();
  }
  void ResyncDevice() override {
    if (device_) device_->ResyncDevice();
  }
  // Nobody sees the cells of a hidden window; the next paint after it shows catches up.
  void PaintPreview() override {
    if (device_ && WindowActive()) device_->PaintPreview();
  }
  // The light cells repaint themselves when their colour changes.
  void RedrawPanel() override {}
  void SendReachable(bool reachable) override { PostReachable(window_, model_, reachable); }
  void LinkAwake() override {
    if (device_) device_->OnLinkAwake();
  }
  void StartTimer(int timer, int milliseconds) override {
    if (!item_) return;
    // A hidden window's preview is looked at twice a second only.
    if (timer == kItemTimerPaint && !WindowActive()) milliseconds = kHiddenPaintMs;
    ui::ControlTimers::Start(item_, timer, Scaled(milliseconds), ui::ControlTimers::Repeat::Once,
                             [this](QWidget*, int number) { driver_.OnTimer(number); });
  }
  void StopTimer(int timer) override {
    if (item_) ui::ControlTimers::Stop(item_, timer);
  }

 private:
  DeviceManager& manager_;
  const int model_;
  QPointer<CTarnwiseUSBDevice> device_;
  QPointer<CDeviceOptionUI> item_;
  ui::MessageTarget window_;
  std::function<bool()> active_;
  SelectorItemDriver driver_;
};

struct DeviceScreen::Entry {
  int model = -1;
  QPointer<CTarnwiseUSBDevice> device;
  QPointer<CDeviceOptionUI> item;
  QPointer<CMpDevicePowerUI> power;
  std::unique_ptr<DeviceItemHost> host;
};

void DeviceScreen::SetTimeDivisor(int divisor) {
  timeDivisor.store(std::max(1, divisor));
}

DeviceScreen::DeviceScreen(QWidget* root, ui::SkinLoader& loader, ui::MessageTarget window,
                           HidBackend* backend, DeviceScreenHooks hooks)
    : root_(root),
      loader_(loader),
      window_(std::move(window)),
      hooks_(std::move(hooks)),
      manager_(slots_, backend, *this) {}

DeviceScreen::~DeviceScreen() {
  StopAllWorkers();
}

void DeviceScreen::StopAllWorkers() {
  for (auto& entry : entries_) {
    if (entry->item) ui::ControlTimers::StopAll(entry->item);
    if (entry->device) entry->device->StopWorkers();
  }
}

DeviceScreen::Entry* DeviceScreen::EntryOfModel(int model) const {
  for (const auto& entry : entries_) {
    if (entry->model == model) return entry.get();
  }
  return nullptr;
}

std::vector<CTarnwiseUSBDevice*> DeviceScreen::Devices() const {
  std::vector<CTarnwiseUSBDevice*> devices;
  for (const auto& entry : entries_) {
    if (entry->device) devices.push_back(entry->device);
  }
  return devices;
}

CTarnwiseUSBDevice* DeviceScreen::DeviceOfModel(int model) const {
  const Entry* entry = EntryOfModel(model);
  return entry ? entry->device.data() : nullptr;
}

CDeviceOptionUI* DeviceScreen::ItemOfModel(int model) const {
  const Entry* entry = EntryOfModel(model);
  return entry ? entry->item.data() : nullptr;
}

CTarnwiseUSBDevice* DeviceScreen::CurrentDevice() const {
  for (const auto& device : manager_.Devices()) {
    if (device->itemVisible && device->itemSelected) return DeviceOfModel(device->model);
  }
  return nullptr;
}

int DeviceScreen::AttachedCount() const {
  int attached = 0;
  for (const auto& device : manager_.Devices()) {
    attached += device->transport && device->transport->IsOpened() ? 1 : 0;
  }
  return attached;
}

void DeviceScreen::CreatePanel(int model) {
  if (model < 0 || static_cast<size_t>(model) >= kDeviceModels.size() || EntryOfModel(model)) {
    return;
  }
  const DeviceModel& row = kDeviceModels[static_cast<size_t>(model)];
  ManagedDevice* record = manager_.DeviceForModel(model);
  QWidget* deviceSwitch = ui::FindControl(root_, kDeviceSwitchName);
  QWidget* powerSwitch = ui::FindControl(root_, kPowerSwitchName);
  QWidget* selector = ui::FindControl(root_, kSelectorLayoutName);
  // A main skin without these was reported when the window was made; devices stay off screen.
  if (!record || !deviceSwitch || !powerSwitch || !selector) return;

  std::string error;
  auto* power =
      qobject_cast<CMpDevicePowerUI*>(loader_.LoadSkin(kPowerPanelLayout, nullptr, &error));
  auto* item = qobject_cast<CDeviceOptionUI*>(
      error.empty() ? loader_.LoadSkin(row.selectorItemLayout, nullptr, &error) : nullptr);
  QWidget* panel =
      error.empty() ? loader_.LoadSkin(row.devicePanelLayout, nullptr, &error) : nullptr;
  auto* device = qobject_cast<CTarnwiseUSBDevice*>(panel);
  if (!power || !item || !device) {
    std::fprintf(stderr, "varkon: cannot build the %s panel: %s\n", row.displayName,
                 error.empty() ? "a skin's root is not of the expected class" : error.c_str());
    delete power;
    delete item;
    delete panel;
    return;
  }

  AddPage(powerSwitch, power);
  power->SetKind(row.kind, row.subType);

  device->SetLayoutFile(row.devicePanelLayout);
  device->SetMainWindow(window_);
  device->SetKeyButtonCount(row.keyCount);
  device->SetLightCount(row.lightCount);
  device->SetModelIndex(model);
  device->SetWirelessCapable(row.wirelessCapable);
  device->SetProfileId({});
  device->SetDisplayName(row.displayName);
  device->SetPowerPanel(power);
  device->SetSlot(record->descriptor);
  device->SetPanelIndex(row.panelIndex);
  device->SetLightPanelName(row.lightPanelName);
  device->SetTransports(record->transport.get(), record->inputTransport.get());
  device->SetSelectorItem(item);
  device->SetPreviewShown(hooks_.windowActive ? hooks_.windowActive() : true);
  device->InitButtons();

  AddPage(deviceSwitch, device);

  if (QAbstractButton* synchro = item->SynchroButton()) synchro->setChecked(false);
  if (QAbstractButton* select = item->SelectButton()) {
    ui::SetOptionGroup(select, kDeviceGroupName, root_);
  }
  item->BindTab(kDeviceSwitchName, ui::IndexOfItem(deviceSwitch, device));
  item->SetPowerTab(kPowerSwitchName, ui::IndexOfItem(powerSwitch, power));
  item->SetKind(row.kind, row.subType);
  item->SetName(QString::fromUtf8(row.displayName));
  item->SetDevicePanel(device);
  item->SetDeviceObject(device);
  ui::AddItem(selector, item);
  // Hidden after it has its parent: a hide before that does not survive the re-parenting.
  item->setVisible(false);
  for (QWidget* added :
       {static_cast<QWidget*>(power), static_cast<QWidget*>(device), static_cast<QWidget*>(item)}) {
    // A device that arrives later speaks the language chosen by then.
    if (LanguageTextsLoaded()) ApplyTextIds(added);
    if (hooks_.controlsAdded) hooks_.controlsAdded(added);
  }

  auto entry = std::make_unique<Entry>();
  entry->model = model;
  entry->device = device;
  entry->item = item;
  entry->power = power;
  entry->host =
      std::make_unique<DeviceItemHost>(manager_, model, device, item, window_, hooks_.windowActive);
  entries_.push_back(std::move(entry));
}

void DeviceScreen::ShowItem(int model, bool select) {
  Entry* entry = EntryOfModel(model);
  if (!entry || !entry->item) {
    VisibilityCount();
    return;
  }
  entry->item->setVisible(true);
  if (select) {
    QAbstractButton* button = entry->item->SelectButton();
    if (button) {
      button->setChecked(true);
    }
    QWidget* deviceSwitch = ui::FindControl(root_, kDeviceSwitchName);
    ui::SelectPage(deviceSwitch, entry->item->TabIndex());
    QWidget* powerSwitch = ui::FindControl(root_, kPowerSwitchName);
    if (powerSwitch) {
      const int powerIndex = entry->item->PowerTabIndex();
      powerSwitch->setVisible(powerIndex >= 0);
      if (powerIndex >= 0) ui::SelectPage(powerSwitch, powerIndex);
    }
  }
  VisibilityCount();
}

void DeviceScreen::HideItem(int model) {
  Entry* entry = EntryOfModel(model);
  if (!entry || !entry->item) {
    VisibilityCount();
    return;
  }
  // A device that goes leaves the synchronised group.
  if (entry->device) entry->device->SetSyncOn(false);
  const bool wasCurrent = entry->item->isVisibleTo(entry->item->parentWidget()) &&
                          entry->item->SelectButton() && entry->item->SelectButton()->isChecked();
  if (wasCurrent && hooks_.closeChildWindows) hooks_.closeChildWindows();
  entry->item->setVisible(false);
  if (QAbstractButton* button = entry->item->SelectButton()) {
    // Unchecking one button of an exclusive group needs the group's exclusivity lifted.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
  }
  VisibilityCount();
}

void DeviceScreen::VisibilityCount() {
  const int visible = manager_.VisibleItemCount();
  QWidget* hint = ui::FindControl(root_, kNoDeviceLinkName);
  if (visible == 0) {
    if (hint) hint->setVisible(true);
    ShowNoDeviceTexts();
    ui::SelectPage(ui::FindControl(root_, kPowerSwitchName), 0);
    ui::SelectPage(ui::FindControl(root_, kDeviceSwitchName), 0);
  } else if (hint) {
    hint->setVisible(false);
  }
  if (hooks_.multiDevice) hooks_.multiDevice(visible >= 2);
  // The synchronised group needs two members; one alone is no group.
  int synchronised = 0;
  for (const auto& entry : entries_) {
    QAbstractButton* synchro = entry->item ? entry->item->SynchroButton() : nullptr;
    const ManagedDevice* record = manager_.DeviceForModel(entry->model);
    if (synchro && synchro->isChecked() && record && record->itemVisible) ++synchronised;
  }
  if (synchronised <= 1) {
    for (const auto& entry : entries_) {
      QAbstractButton* synchro = entry->item ? entry->item->SynchroButton() : nullptr;
      if (synchro) synchro->setChecked(false);
    }
  }
}

void DeviceScreen::UpdateNoDeviceHint() {
  QWidget* hint = ui::FindControl(root_, kNoDeviceLinkName);
  if (!hint) return;
  hint->setVisible(AttachedCount() == 0 || manager_.VisibleItemCount() == 0);
  ShowNoDeviceTexts();
}

void DeviceScreen::ShowNoDeviceTexts() {
  QWidget* hint = ui::FindControl(root_, kNoDeviceLinkName);
  if (!hint) return;
  // Attached but with no item to show: every device is asleep behind its receiver. The user is
  // told so, and how to wake it, rather than shown an empty window.
  const bool asleep = AttachedCount() > 0 && manager_.VisibleItemCount() == 0;
  QWidget* title = ui::FindControl(hint, QStringLiteral("no_device_text"));
  QWidget* detail = ui::FindControl(hint, QStringLiteral("no_device_hint"));
  // Nothing attached, yet a supported device may be plugged in that this user cannot open:
  // then the window says which node, why, and the fix, rather than "no device".
  if (!asleep && AttachedCount() == 0 && hint->isVisibleTo(root_)) {
    const HidAccessReport report = CheckHidAccess();
    if (report.AnyProblem()) {
      SetControlTextId(title, "device_unreachable_text");
      std::string text;
      for (const HidAccessFinding& finding : report.findings) {
        if (finding.problem == HidAccessFinding::Problem::None) continue;
        text += (text.empty() ? "" : "\n\n") + finding.Message();
      }
      if (detail) {
        detail->setProperty("textId", QVariant());  // not re-texted by a language change
        ui::SetText(detail, QString::fromStdString(text));
      }
      return;
    }
  }
  SetControlTextId(title, asleep ? "device_asleep_text" : "no_device_text");
  SetControlTextId(detail, asleep ? "device_asleep_hint" : "no_device_hint");
}

void DeviceScreen::OnReachable(int model, bool reachable) {
  ManagedDevice* record = manager_.DeviceForModel(model);
  if (!record) return;
  if (reachable) {
    if (!record->itemVisible) manager_.ShowItem(*record, manager_.VisibleItemCount() == 0);
  } else if (record->itemVisible) {
    manager_.HideItem(*record);
  }
  UpdateNoDeviceHint();
}

bool DeviceScreen::OnItemChosen(QWidget* button) {
  for (const auto& entry : entries_) {
    if (!entry->item || entry->item->SelectButton() != button) continue;
    ManagedDevice* record = manager_.DeviceForModel(entry->model);
    if (!record || !record->itemVisible) return false;
    if (!record->itemSelected) manager_.ShowItem(*record, true);
    return true;
  }
  return false;
}

void DeviceScreen::SelectNeighbour(int direction) {
  QWidget* selector = ui::FindControl(root_, kSelectorLayoutName);
  if (!selector) return;
  // Items in the order they stand in the selector.
  std::vector<ManagedDevice*> visible;
  int current = -1;
  for (int i = 0; i < ui::ItemCount(selector); ++i) {
    auto* item = qobject_cast<CDeviceOptionUI*>(ui::ItemAt(selector, i));
    for (const auto& entry : entries_) {
      if (entry->item != item) continue;
      ManagedDevice* record = manager_.DeviceForModel(entry->model);
      if (!record || !record->itemVisible) continue;
      if (record->itemSelected) current = static_cast<int>(visible.size());
      visible.push_back(record);
    }
  }
  const int next = current + (direction < 0 ? -1 : 1);
  if (current < 0 || next < 0 || next >= static_cast<int>(visible.size())) return;
  manager_.ShowItem(*visible[static_cast<size_t>(next)], true);
}

void DeviceScreen::StartItemTimer(int model, int timer, int milliseconds) {
  Entry* entry = EntryOfModel(model);
  if (entry && entry->host) entry->host->StartTimer(timer, milliseconds);
}

void DeviceScreen::CloseProgressDialog() {
  if (hooks_.closeProgressDialog) hooks_.closeProgressDialog();
}

void DeviceScreen::SendReachable(int model, bool reachable) {
  PostReachable(window_, model, reachable);
}

void DeviceScreen::BringToFront() {
  if (hooks_.bringToFront) hooks_.bringToFront();
}

void DeviceScreen::ReadDevice(int model) {
  if (CTarnwiseUSBDevice* device = DeviceOfModel(model)) device->ReadDevice();
}

void DeviceScreen::ReadPowerStatus(int model) {
  if (CTarnwiseUSBDevice* device = DeviceOfModel(model)) device->ReadPowerStatus();
}

void DeviceScreen::InputOpened(int model, bool receiverIdentity) {
  if (CTarnwiseUSBDevice* device = DeviceOfModel(model)) device->StartInputReader(receiverIdentity);
}

void DeviceScreen::InputClosed(int model, bool receiverIdentity) {
  if (CTarnwiseUSBDevice* device = DeviceOfModel(model)) device->StopInputReader(receiverIdentity);
}

}  // namespace varkon
