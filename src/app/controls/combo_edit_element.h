// A row of the macro-step list: its content ("text1", "text2", "delay_edit") comes from the
// skin "XML\CustomControlXML\ComboEditElementItem.xml". It reports activation ("itemactivate"),
// Return ("return"), the click ("itemclick") and the context menu ("menu"), and keeps its
// selection (Ctrl+click toggles it).
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

namespace varkon {

inline constexpr const char* kComboEditContainerElementClass = "ComboEditContainerElement";
inline constexpr const char* kComboEditElementSkin =
    "XML\\CustomControlXML\\ComboEditElementItem.xml";

class CComboEditContainerElementUI : public QWidget {
  Q_OBJECT
  // Image attributes of the list element that this row does not use.
  Q_PROPERTY(QString normalimage READ ignored WRITE ignore)
  Q_PROPERTY(QString hotimage READ ignored WRITE ignore)
  Q_PROPERTY(QString selectedimage READ ignored WRITE ignore)

 public:
  explicit CComboEditContainerElementUI(QWidget* parent = nullptr);

  // Builds the content from the row skin under `skinFolder` (the tree's skin folder when
  // empty). Done on first show when not called before; false when the skin cannot be loaded.
  bool BuildContent(const std::string& skinFolder = {});
  QWidget* Text1() const { return text1_; }
  QWidget* Text2() const { return text2_; }
  QWidget* DelayEdit() const { return delayEdit_; }

  bool IsSelected() const { return selected_; }
  void SetSelected(bool selected);
  bool IsHot() const { return hot_; }
  // While off, mouse events go past the row to what lies under it.
  void SetMouseEnabled(bool on);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetContextMenuEnabled(bool on) { contextMenu_ = on; }
  // Raises "itemactivate" when enabled.
  bool Activate();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QString ignored() const { return {}; }
  void ignore(const QString&) {}

  bool built_ = false;
  QPointer<QWidget> text1_;
  QPointer<QWidget> text2_;
  QPointer<QWidget> delayEdit_;
  bool selected_ = false;
  bool hot_ = false;
  bool mouseEnabled_ = true;
  bool contextMenu_ = true;
};

}  // namespace varkon
