#include "app/update_row.h"

#include <QCheckBox>
#include <QLabel>

#include "platform/ui/control_style.h"
#include "platform/ui/language_text.h"

namespace varkon {

namespace {

constexpr const char* kGrey = "#666666";
constexpr const char* kNameColour = "#0099FF";
constexpr const char* kTextColour = "#0078C8";

QLabel* AddLabel(QWidget* row, const char* name, int x, int width) {
  auto* label = new QLabel(row);
  label->setObjectName(name);
  label->setGeometry(x, 0, width, 40);
  return label;
}

void Colour(QWidget* control, const char* colour) {
  control->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
}

}  // namespace

UpdateRow::UpdateRow(QWidget* parent) : CUpdateInfoListItemUI(parent) {
  setFixedHeight(40);
  check_ = new QCheckBox(this);
  check_->setObjectName("check_name_select");
  check_->setGeometry(10, 0, 230, 40);
  oldRev_ = AddLabel(this, "OldRev", 250, 80);
  updateRev_ = AddLabel(this, "updateRev", 330, 80);
  status_ = AddLabel(this, "update_status_text", 420, 100);
  progress_ = AddLabel(this, "update_progress_value", 520, 40);
  ok_ = AddLabel(this, "update_status_ok", 530, 22);
  ui::SetBackgroundImage(ok_, QStringLiteral("image/update_ok.svg"));
  ok_->setGeometry(530, 11, 18, 18);
  // A bar under the state's text while it shows progress.
  ing_ = new QWidget(this);
  ing_->setObjectName("update_status_ing");
  ing_->setGeometry(420, 34, 140, 3);
  ing_->setStyleSheet("background-color: #0099FF;");
}

void UpdateRow::Show(const UpdateItem& item) {
  const UpdateItemLook look = LookOfState(item.state);
  check_->blockSignals(true);
  check_->setChecked(item.checked);
  check_->blockSignals(false);
  check_->setEnabled(item.checkEnabled);
  check_->setText(QString::fromStdString(item.name));
  oldRev_->setText(QString::fromStdString(
      item.oldRev.empty() ? LanguageText("setwnd_not_connected_text") : item.oldRev));
  updateRev_->setText(QString::fromStdString(item.updateRev));
  updateRev_->setVisible(!item.updateRev.empty());
  status_->setText(QString::fromStdString(LanguageText(look.statusTextId)));
  progress_->setText(QStringLiteral("%1%").arg(item.progress));
  progress_->setVisible(look.progressShown);
  ing_->setVisible(look.progressShown);
  ing_->setFixedWidth(std::max(1, 140 * item.progress / 100));
  ok_->setVisible(look.okShown);
  Colour(check_, look.grey ? kGrey : kNameColour);
  for (QLabel* label : {oldRev_, updateRev_, status_, progress_}) {
    Colour(label, look.grey ? kGrey : kTextColour);
  }
}

}  // namespace varkon
