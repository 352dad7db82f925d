// The device selector item, built from its real skin.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QStackedWidget>
#include <memory>

#include "app/controls/device_option.h"
#include "app/controls/register_custom_controls.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

TEST(DeviceOptionPictures, ByKindAndSubType) {
  DeviceOptionPictures p;
  ASSERT_TRUE(DeviceOptionPicturesFor(1, 0, &p));
  EXPECT_EQ(p.normal, "common/device_ico/kb_device_normal.png");
  EXPECT_EQ(p.selected, "common/device_ico/kb_device_selected.png");
  EXPECT_EQ(p.synchroNormal, "common/device_ico/kb_device_synchro_normal.png");
  EXPECT_EQ(p.synchroSelected, "common/device_ico/kb_device_synchro_selected.png");
  EXPECT_EQ(p.nameText, "kb_device_name_text");
  const struct {
    int kind, subType;
    const char* base;
  } cases[] = {{2, 0, "ms_device"},     {3, 0, "hard_mp_device"}, {3, 1, "soft_mp_device"},
               {4, 0, "hd_device"},     {7, 5, "hd_device"},      {5, 0, "hub_device"},
               {0, 0, "unknow_device"}, {9, 0, "unknow_device"},  {-1, 0, "unknow_device"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(DeviceOptionPicturesFor(c.kind, c.subType, &p)) << c.kind;
    EXPECT_EQ(p.normal, QStringLiteral("common/device_ico/%1_normal.png").arg(c.base));
    EXPECT_EQ(p.nameText, QStringLiteral("%1_name_text").arg(c.base));
  }
  EXPECT_FALSE(DeviceOptionPicturesFor(3, 2, &p));
}

class DeviceOptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterCustomControls(loader_);
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 200);
    devices_ = new QStackedWidget(window_.get());
    devices_->setObjectName("device_switch");
    powers_ = new QStackedWidget(window_.get());
    powers_->setObjectName("device_power_switch");
    for (int i = 0; i < 3; ++i) {
      devices_->addWidget(new QWidget);
      powers_->addWidget(new QWidget);
    }
    std::string error;
    QWidget* item =
        loader_.LoadSkin("XML\\CustomControlXML\\DeviceOption.xml", window_.get(), &error);
    ASSERT_NE(item, nullptr) << error;
    item_ = qobject_cast<CDeviceOptionUI*>(item);
    ASSERT_NE(item_, nullptr);
  }

  ui::SkinLoader loader_;
  std::unique_ptr<QWidget> window_;
  QStackedWidget* devices_ = nullptr;
  QStackedWidget* powers_ = nullptr;
  CDeviceOptionUI* item_ = nullptr;
};

TEST_F(DeviceOptionTest, StartsAsAnUnknownDevice) {
  EXPECT_EQ(ui::ControlClassName(item_), "DeviceOption");
  EXPECT_EQ(item_->Kind(), 0);
  EXPECT_EQ(item_->Pictures().normal, "common/device_ico/unknow_device_normal.png");
  EXPECT_EQ(item_->VisibleFlag(), 1);
  EXPECT_EQ(item_->PowerTabIndex(), -1);
  EXPECT_EQ(item_->FailedChecks(), 0);
  ASSERT_NE(item_->SelectButton(), nullptr);
  ASSERT_NE(item_->SynchroButton(), nullptr);
}

TEST_F(DeviceOptionTest, KindSetsTheButtonPictures) {
  item_->SetKind(3, 1);
  EXPECT_EQ(item_->Kind(), 3);
  EXPECT_EQ(item_->SubType(), 1);
  QAbstractButton* select = item_->SelectButton();
  QAbstractButton* synchro = item_->SynchroButton();
  EXPECT_EQ(ui::BackgroundImage(select), "common/device_ico/soft_mp_device_normal.png");
  EXPECT_EQ(ui::BackgroundImage(synchro), "common/device_ico/soft_mp_device_synchro_normal.png");
  select->setChecked(true);
  synchro->setChecked(true);
  EXPECT_EQ(ui::BackgroundImage(select), "common/device_ico/soft_mp_device_selected.png");
  EXPECT_EQ(ui::BackgroundImage(synchro), "common/device_ico/soft_mp_device_synchro_selected.png");
  item_->SetKind(3, 4);  // no such mouse pad: nothing changes
  EXPECT_EQ(item_->SubType(), 1);
  EXPECT_EQ(ui::BackgroundImage(select), "common/device_ico/soft_mp_device_selected.png");
}

TEST_F(DeviceOptionTest, ChoosingTheItemShowsItsPanels) {
  item_->BindTab("device_switch", 2);
  item_->SetPowerTab("device_power_switch", 1);
  item_->SetName("keyboard");
  EXPECT_EQ(item_->Name(), "keyboard");
  EXPECT_EQ(devices_->currentIndex(), 0);
  item_->SelectButton()->click();
  EXPECT_EQ(devices_->currentIndex(), 2);
  EXPECT_EQ(powers_->currentIndex(), 1);
}

TEST_F(DeviceOptionTest, PaintsItsPicture) {
  item_->SetKind(1, 0);
  item_->SetName("keyboard");
  item_->SelectButton()->setChecked(true);
  const QImage image = test::Render(item_, "device_option");
  ASSERT_FALSE(image.isNull());
  // The keyboard picture fills the option button.
  const QRect button = item_->SelectButton()->geometry();
  const QPoint inside = item_->SelectButton()->mapTo(item_, button.center() - button.topLeft());
  EXPECT_NE(image.pixel(inside) & 0xFFFFFF, image.pixel(2, 2) & 0xFFFFFF);
}

}  // namespace
}  // namespace varkon
