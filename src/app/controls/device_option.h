// One item of the device selector: an option button that shows the device's panel, a "synchro"
// check, and the device's name. The pictures of both buttons follow the device kind.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QAbstractButton;

namespace varkon {

inline constexpr const char* kDeviceOptionClass = "DeviceOption";

// The four pictures of a selector item and the name of its name text.
struct DeviceOptionPictures {
  QString normal;
  QString selected;
  QString synchroNormal;
  QString synchroSelected;
  QString nameText;
};

// The pictures of `kind` (and `subType` for a mouse pad). False for a mouse pad sub-type other
// than 0 or 1, which has none.
bool DeviceOptionPicturesFor(int kind, int subType, DeviceOptionPictures* pictures);

class CDeviceOptionUI : public QWidget {
  Q_OBJECT

 public:
  explicit CDeviceOptionUI(QWidget* parent = nullptr);

  // Sets the kind and the pictures; a mouse pad sub-type other than 0 or 1 changes nothing.
  void SetKind(int kind, int subType);
  int Kind() const { return kind_; }
  int SubType() const { return subType_; }
  const DeviceOptionPictures& Pictures() const { return pictures_; }

  // The tab layout "device_select" shows at `index` when it is chosen, and the power tab.
  void BindTab(const QString& tabLayout, int index);
  void SetPowerTab(const QString& tabLayout, int index);
  QString TabLayout() const { return tabLayout_; }
  int TabIndex() const { return tabIndex_; }
  QString PowerTabLayout() const { return powerTabLayout_; }
  int PowerTabIndex() const { return powerTabIndex_; }

  void SetDevicePanel(QWidget* panel) { devicePanel_ = panel; }
  QWidget* DevicePanel() const { return devicePanel_; }
  void SetDeviceObject(QObject* device) { deviceObject_ = device; }
  QObject* DeviceObject() const { return deviceObject_; }

  void SetVisibleFlag(int flag) { visibleFlag_ = flag; }
  int VisibleFlag() const { return visibleFlag_; }
  void SetFailedChecks(int count) { failedChecks_ = count; }
  int FailedChecks() const { return failedChecks_; }

  // The text of "device_select_name".
  void SetName(const QString& name);
  QString Name() const;

  QAbstractButton* SelectButton();
  QAbstractButton* SynchroButton();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Connect();
  void ApplyPictures();
  void ShowPages();

  int kind_ = 0;
  int subType_ = 0;
  DeviceOptionPictures pictures_;
  QString tabLayout_;
  int tabIndex_ = -1;
  QString powerTabLayout_;
  int powerTabIndex_ = -1;
  QPointer<QWidget> devicePanel_;
  QPointer<QObject> deviceObject_;
  int visibleFlag_ = 1;
  int failedChecks_ = 0;
  QPointer<QAbstractButton> select_;
  QPointer<QAbstractButton> synchro_;
};

}  // namespace varkon
