#include "platform/ui/language_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <mutex>

namespace varkon {
namespace {

std::mutex gMutex;
std::map<std::string, std::string>& Texts() {
  static std::map<std::string, std::string> texts;
  return texts;
}

void ShowText(QWidget* control, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (control->isWindow()) {
    control->setWindowTitle(text);
  }
}

}  // namespace

void SetLanguageTexts(std::map<std::string, std::string> texts) {
  std::lock_guard<std::mutex> lock(gMutex);
  Texts() = std::move(texts);
}

bool LanguageTextsLoaded() {
  std::lock_guard<std::mutex> lock(gMutex);
  return !Texts().empty();
}

std::string LanguageText(const std::string& id) {
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = Texts().find(id);
  return it == Texts().end() ? id : it->second;
}

bool SetControlTextId(QWidget* control, const std::string& id) {
  if (!control) return false;
  control->setProperty(kTextIdProperty, QString::fromStdString(id));
  ShowText(control, QString::fromStdString(LanguageText(id)));
  return true;
}

int ApplyTextIds(QWidget* root) {
  if (!root) return 0;
  int count = 0;
  QList<QWidget*> controls = root->findChildren<QWidget*>();
  controls.prepend(root);
  for (QWidget* control : controls) {
    const QVariant id = control->property(kTextIdProperty);
    if (!id.isValid() || id.toString().isEmpty()) continue;
    ShowText(control, QString::fromStdString(LanguageText(id.toString().toStdString())));
    ++count;
  }
  return count;
}

}  // namespace varkon
