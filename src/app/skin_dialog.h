// A frameless modal window built from a skin file, with the title-bar buttons every skinned
// window has: "closebtn" ends it with result 0, "minbtn" / "maxbtn" / "restorebtn" minimise,
// maximise and restore it ("maxbtn" and "restorebtn" swap visibility).
#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace varkon {
namespace ui {
class Notifier;
struct Notification;
}  // namespace ui

class SkinDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SkinDialog(QWidget* parent);
  ~SkinDialog() override;

  // Builds the window from the skin `name` under `skinFolder` (SkinFolder() when empty); the
  // window takes the skin root's size. False with `error` set when it cannot be loaded.
  bool LoadSkin(const std::string& name, std::string& error, const std::string& skinFolder = {});
  QWidget* skinRoot() const { return root_; }
  // The control named `name` in the skin, or null.
  QWidget* Control(const char* name) const;
  // Centres the window over its parent, else on the screen.
  void Centre();

 protected:
  // Clicks the dialog does not handle itself; true when taken.
  virtual bool OnClick(const QString& name) { return false; }
  // Every notification of the skin's controls, before the clicks are handled.
  virtual void OnNotification(const ui::Notification&) {}
  void changeEvent(QEvent* event) override;

 private:
  void OnNotify(const ui::Notification& notification);
  void UpdateMaxButtons();

  QWidget* root_ = nullptr;
  bool hasMaxButtons_ = false;  // the skin shows "maxbtn"
  std::unique_ptr<ui::Notifier> notifier_;
};

}  // namespace varkon
