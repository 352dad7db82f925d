// One row of the settings window's update list: the check box with the item's name, the
// installed and offered versions, the state's text, the progress and the done mark.
#pragma once

#include "app/controls/list_items.h"
#include "app/update_list.h"

class QCheckBox;
class QLabel;

namespace varkon {

class UpdateRow : public CUpdateInfoListItemUI {
  Q_OBJECT

 public:
  explicit UpdateRow(QWidget* parent = nullptr);

  // Shows `item` in the current language.
  void Show(const UpdateItem& item);
  QCheckBox* CheckBox() const { return check_; }

 private:
  QCheckBox* check_;
  QLabel* oldRev_;
  QLabel* updateRev_;
  QLabel* status_;
  QLabel* progress_;
  QLabel* ok_;
  QWidget* ing_;
};

}  // namespace varkon
