// The profile panel of a device panel: the drop-down list of the device's profiles, the name
// field, the folding menu with the profile operations, and the device panel's row of operation
// tabs. It shows a device's profile index (ProfileIndex, which owns the files) and moves values
// between it and the controls; the main window runs the operations on the index and asks the
// panel to show the result. Setting a control from here raises no notification.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace varkon {

class ProfileIndex;

// The skin tag of the panel class, the tag that stands for the panel's whole skin, and that skin.
inline constexpr const char* kDeviceProfileClass = "DeviceProfile";
inline constexpr const char* kDeviceProfileTag = "DeviceProfileUI";
inline constexpr const char* kDeviceProfileSkin = "XML\\CustomControlXML\\DeviceProfile.xml";
// Height of one entry of the profile list.
inline constexpr int kProfileItemHeight = 30;

class CDeviceProfileUI : public QWidget {
  Q_OBJECT

 public:
  explicit CDeviceProfileUI(QWidget* parent = nullptr);

  // `host` is the device panel: the operation tabs are found in it, and the menu opens over it.
  // `index` is the device's profile index (it outlives the panel's use of it).
  void Attach(QWidget* host, ProfileIndex* index);
  ProfileIndex* Index() const { return index_; }

  // Shows the index: one entry per profile (text and tool tip the name), the index's selection,
  // its name, and the operation tabs the device type uses.
  void ShowList();
  // The list's selection, -1 when the list control is missing or nothing is selected.
  int GetSelectedIndex() const;
  // Selects entry `index` in the list (no notification) and shows its name.
  void SelectEntry(int index);
  QString GetNameEditText() const;
  void SetNameEditText(const QString& text);

  // The folding menu with the operations (over the device panel, under the list).
  void ShowProfileMenu(bool visible);
  bool IsProfileMenuVisible() const;

  // Tab n = 1 … 8 becomes the selected operation tab; any other n unselects them all.
  void SelectOperationTab(int n);

  QWidget* Control(const char* name) const;

 private:
  void HideUnusedTabs();

  QPointer<QWidget> host_;
  ProfileIndex* index_ = nullptr;
  QPointer<QWidget> menu_;
};

// The profile panel inside `root` (a device panel), or null.
CDeviceProfileUI* FindProfilePanel(QWidget* root);

}  // namespace varkon
