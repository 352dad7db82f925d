// Rows of the cloud-share and update lists: activation raises "itemactivate", the context menu
// "menu", and a row under the pointer that is not selected is framed.
#pragma once

#include <QWidget>

namespace varkon {

inline constexpr const char* kCloudShareListItemClass = "CloudShareListItemUI";
inline constexpr const char* kUpdateInfoListItemClass = "UpdateInfoListItemUI";

// The frame colour is the "itemhotbordercolor" of the owning list (0xAARRGGBB text), drawn
// only while that entry is set.
inline constexpr const char* kItemHotBorderProperty = "itemhotbordercolor";

class ListRowUI : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool selected READ IsSelected WRITE SetSelected)
  Q_PROPERTY(bool contextmenu READ ContextMenuEnabled WRITE SetContextMenuEnabled)

 public:
  ListRowUI(const char* className, QWidget* parent);

  bool IsHot() const { return hot_; }
  bool IsSelected() const { return selected_; }
  void SetSelected(bool selected);
  bool ContextMenuEnabled() const { return contextMenu_; }
  void SetContextMenuEnabled(bool on) { contextMenu_ = on; }
  // Raises "itemactivate" when the row is enabled; false otherwise.
  bool Activate();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  bool hot_ = false;
  bool selected_ = false;
  bool contextMenu_ = true;
};

class CCloudShareListItemUI : public ListRowUI {
  Q_OBJECT

 public:
  explicit CCloudShareListItemUI(QWidget* parent = nullptr)
      : ListRowUI(kCloudShareListItemClass, parent) {}
};

class CUpdateInfoListItemUI : public ListRowUI {
  Q_OBJECT

 public:
  explicit CUpdateInfoListItemUI(QWidget* parent = nullptr)
      : ListRowUI(kUpdateInfoListItemClass, parent) {}
};

}  // namespace varkon
