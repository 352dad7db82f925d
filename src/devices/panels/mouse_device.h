// The mouse's device object and panel (on its cable or through its receiver): the picture with
// its buttons and lights, and the DPI page (five stages and the report rate). The mouse's
// logic (MouseLogic) keeps the state and talks to the mouse; this panel shows it.
#pragma once

#include <QTimer>

#include "devices/logic/mouse_logic.h"
#include "devices/panels/usb_device.h"

namespace varkon {

class CMacroControlUI;

inline constexpr const char* kTarnwiseMouseDeviceTag = "TarnwiseMouseDevice";

class CTarnwiseMouseDevice : public CTarnwiseUSBDevice {
  Q_OBJECT

 public:
  explicit CTarnwiseMouseDevice(QWidget* parent = nullptr);
  ~CTarnwiseMouseDevice() override;

  void InitButtons() override;
  // Reads the mouse's information, layout and record on its worker, then shows them.
  void ReadDevice() override;
  void ResyncDevice() override;
  void RefreshPanel() override;
  // The lights, then the logo's tooltip (the lighting texts and the effect playing).
  void PaintPreview() override;
  int WriteLightRecord(int profileIndex) override;
  // The profile switch of a mouse: select, load, correct macro references, show, then write the
  // settings record, the macros and (when those went in) the button table.
  void SwitchToProfile(int index, std::function<void(int result)> done = {}) override;
  // Through the receiver, the device answers only while its radio link is up.
  bool IsLinkAwake() override;
  // What the user changed while the mouse slept is written now.
  void OnLinkAwake() override;

  // ---- the key editor's side: the mouse's buttons, one layer
  const std::vector<KeyAssignmentRecord>* KeyList() const override { return &mouse_->Keys(); }
  void StoreKeyRecord(int index, const KeyAssignmentRecord& record) override;
  void WriteKeysAndMacros(std::function<void(int macroResult, StatusCode keys)> done) override;

  // The macro panel inside this panel (null when the skin has none).
  CMacroControlUI* MacroPanel() const;

  MouseLogic& Mouse() { return *mouse_; }
  const MouseLogic& Mouse() const { return *mouse_; }

  // ---- the DPI page (its routes call these)
  // Stage i's slider settled on `step`: stored, saved and written.
  void OnDpiSlider(int i, int step);
  // The slider is being dragged: its DPI shows, nothing is written yet.
  void OnDpiSliderMoving(int i, int step);
  // The DPI typed into stage i's field was committed.
  void OnDpiEdit(int i);
  void OnDpiSelect(int i);
  void OnDpiEnable(int i, bool on);
  void OnReportRate(int index);
  // The colour dialog gave stage i a colour.
  void OnDpiColour(int i, uint8_t red, uint8_t green, uint8_t blue);

  // ---- the System page: pointer speed and precision, wheel, double click
  void OnSystemSlider(const std::string& control, int value);
  void OnSystemCheck(const std::string& control, bool on);

 protected:
  void OnDeviceNotice(bool receiverIdentity, uint16_t value) override;

 private:
  void ShowDpiPage();
  void ShowSystemPage();
  void ShowLogoTip();
  // Each button's tooltip: its name, and what it does when that is not its own function.
  void ShowButtonLabels();

  MouseLogic* mouse_;
  QTimer resyncTimer_;
};

}  // namespace varkon
