#include "app/about_wnd.h"

#include <QLabel>

#include "platform/ui/language_text.h"

namespace varkon {

CAboutWnd::CAboutWnd(QWidget* owner) : SkinDialog(owner) {
  setObjectName("AboutWnd");
  setWindowTitle("  ");
}

bool CAboutWnd::Create(std::string& error, const std::string& skinFolder) {
  if (!LoadSkin(kAboutSkinFile, error, skinFolder)) return false;
  ApplyTextIds(skinRoot());
  return true;
}

void CAboutWnd::SetVersion(const std::string& version) {
  auto* probe = qobject_cast<QLabel*>(Control("text_test"));
  auto* line = qobject_cast<QLabel*>(Control("software_ver_label"));
  if (!line) return;
  QString text;
  if (probe) {
    SetControlTextId(probe, kSoftwareRevisionTextId);
    text = probe->text();
  } else {
    text = QString::fromStdString(LanguageText(kSoftwareRevisionTextId));
  }
  line->setProperty(kTextIdProperty, QVariant());
  line->setText(text + QString::fromStdString(version));
}

bool CAboutWnd::OnClick(const QString& name) {
  // The menu and home-page buttons do nothing here.
  return name == "menubtn" || name == "homepage_btn";
}

}  // namespace varkon
