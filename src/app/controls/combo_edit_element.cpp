#include "app/controls/combo_edit_element.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"
#include "platform/ui/skin_loader.h"
#include "platform/ui/tint_painting.h"

namespace varkon {

namespace {
constexpr uint32_t kSelectedFill = 0x402F8FFFu;
constexpr uint32_t kHotFill = 0x20FFFFFFu;
}  // namespace

CComboEditContainerElementUI::CComboEditContainerElementUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kComboEditContainerElementClass);
  setFocusPolicy(Qt::ClickFocus);
}

bool CComboEditContainerElementUI::BuildContent(const std::string& skinFolder) {
  if (built_) return true;
  std::string folder = skinFolder;
  for (const QWidget* w = this; folder.empty() && w != nullptr; w = w->parentWidget()) {
    folder = w->property(ui::kSkinFolderProperty).toString().toStdString();
  }
  ui::SkinLoader loader(folder);
  std::string error;
  QWidget* content = loader.LoadSkin(kComboEditElementSkin, this, &error);
  if (content == nullptr) return false;
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  text1_ = ui::FindControl(content, QStringLiteral("text1"));
  text2_ = ui::FindControl(content, QStringLiteral("text2"));
  delayEdit_ = ui::FindControl(content, QStringLiteral("delay_edit"));
  built_ = true;
  return true;
}

void CComboEditContainerElementUI::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  update();
}

void CComboEditContainerElementUI::SetMouseEnabled(bool on) {
  mouseEnabled_ = on;
  setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

bool CComboEditContainerElementUI::Activate() {
  if (!isEnabled()) return false;
  ui::RaiseNotification(this, "itemactivate");
  update();
  return true;
}

void CComboEditContainerElementUI::paintEvent(QPaintEvent*) {
  if (!selected_ && !hot_) return;
  QPainter painter(this);
  ui::FillRect(painter, rect(), selected_ ? kSelectedFill : kHotFill);
}

void CComboEditContainerElementUI::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!built_) BuildContent();
}

void CComboEditContainerElementUI::mouseDoubleClickEvent(QMouseEvent* event) {
  if (isEnabled()) Activate();
  event->accept();
}

void CComboEditContainerElementUI::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled()) {
    SetSelected(event->modifiers().testFlag(Qt::ControlModifier) ? !selected_ : true);
  }
  event->accept();
}

void CComboEditContainerElementUI::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled()) {
    ui::RaiseNotification(this, "itemclick");
  }
  event->accept();
}

void CComboEditContainerElementUI::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
    Activate();
    ui::RaiseNotification(this, "return");
    return;
  }
  QWidget::keyPressEvent(event);
}

void CComboEditContainerElementUI::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (!isEnabled()) return;
  hot_ = true;
  update();
}

void CComboEditContainerElementUI::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  hot_ = false;
  update();
}

void CComboEditContainerElementUI::contextMenuEvent(QContextMenuEvent* event) {
  if (!contextMenu_) {
    QWidget::contextMenuEvent(event);
    return;
  }
  ui::RaiseNotification(this, "menu", uintptr_t(event->pos().x()), intptr_t(event->pos().y()));
}

}  // namespace varkon
