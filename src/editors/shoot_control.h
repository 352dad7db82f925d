// The recoil panel of the mouse: four guns of 30 bullets, one bullet edited at a time (its
// horizontal and vertical movement and the wait after it). Each edit that loses the focus saves
// the bullet to the gun's recoil file; "shootdate_save_btn" (routed by the main window) writes
// the four files to the mouse. The file work is in profile/recoil_file.h.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <string>

namespace varkon {

inline constexpr const char* kShootControlClass = "ShootControl";
inline constexpr const char* kShootControlTag = "ShootControlUI";
inline constexpr const char* kShootControlSkin = "XML\\CustomControlXML\\ShootControl.xml";

class CShootControlUI : public QWidget {
  Q_OBJECT

 public:
  explicit CShootControlUI(QWidget* parent = nullptr);

  void SetShootFolder(const std::string& folder) { shootFolder_ = folder; }
  void SetShootDefaultFolder(const std::string& folder) { shootDefaultFolder_ = folder; }
  const std::string& ShootFolder() const { return shootFolder_; }
  // Guns whose recoil file does not read as JSON get their default copy.
  void InitShootPanel();

  // Both clamp: the gun to 0-3, the bullet to 0-29 (no wrap-around).
  void SelectGun(int gun);
  void SelectBullet(int bullet);
  void PrevBullet() { SelectBullet(currentBullet_ - 1); }
  void NextBullet() { SelectBullet(currentBullet_ + 1); }
  int CurrentGun() const { return currentGun_; }
  int CurrentBullet() const { return currentBullet_; }

  void LoadCurrentBullet();
  // False when the file could not be written.
  bool SaveCurrentBullet();
  bool ResetCurrentGun();
  bool ImportGun(const std::string& path);
  bool ExportGun(const std::string& path) const;
  void UpdateXCaption();
  void UpdateYCaption();

 private:
  QWidget* Control(const std::string& name) const;

  int currentGun_ = 0;
  int currentBullet_ = -1;
  std::string shootFolder_;
  std::string shootDefaultFolder_;
  mutable std::map<std::string, QPointer<QWidget>> controls_;
};

// The recoil panel under `root`, or null.
CShootControlUI* FindShootControl(QWidget* root);

}  // namespace varkon
