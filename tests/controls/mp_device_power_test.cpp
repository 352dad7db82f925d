// The power panel, built from its real skin.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <memory>

#include "app/controls/mp_device_power.h"
#include "app/controls/register_custom_controls.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

class PowerPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterCustomControls(loader_);
    std::string error;
    root_.reset(loader_.LoadSkin("XML\\CustomControlXML\\MpDevicePower.xml", nullptr, &error));
    ASSERT_NE(root_, nullptr) << error;
    panel_ = qobject_cast<CMpDevicePowerUI*>(root_.get());
    ASSERT_NE(panel_, nullptr);
  }

  void Send(uint8_t level, uint8_t charge, uint8_t wireless, uint8_t phone = 0) {
    const uint8_t block[6] = {level, charge, 0, wireless, 0, phone};
    panel_->SetPowerInfo(block, sizeof block);
  }

  QWidget* Part(const char* name) { return ui::FindControl(root_.get(), name); }

  ui::SkinLoader loader_;
  std::unique_ptr<QWidget> root_;
  CMpDevicePowerUI* panel_ = nullptr;
};

TEST_F(PowerPanelTest, SkinHoldsEveryPart) {
  EXPECT_EQ(ui::ControlClassName(panel_), "MpDevicePower");
  for (const char* name : {"device_power_value", "device_wuxian_logo", "device_Power_progress",
                           "device_power_status", "device_phone_type", "device_power_Layout"}) {
    EXPECT_NE(Part(name), nullptr) << name;
  }
  EXPECT_EQ(panel_->Kind(), 0);
  EXPECT_EQ(panel_->SubType(), 0);
}

TEST_F(PowerPanelTest, FullAndEmptyBattery) {
  panel_->SetKind(1, 0);
  Send(100, 2, 0);
  EXPECT_EQ(ui::Value(Part("device_Power_progress")), 0);
  EXPECT_EQ(ui::Text(Part("device_power_value")), "100%");
  Send(0, 2, 0);
  EXPECT_EQ(ui::Value(Part("device_Power_progress")), 100);
  EXPECT_EQ(ui::Text(Part("device_power_value")), "0%");
  Send(57, 2, 0);
  EXPECT_EQ(ui::Text(Part("device_power_value")), "57%");
  EXPECT_EQ(ui::Value(Part("device_Power_progress")), 43);
}

TEST_F(PowerPanelTest, ChargeStatePicksTheStatusPicture) {
  panel_->SetKind(2, 0);
  Send(50, 0, 0);
  EXPECT_EQ(ui::BackgroundImage(Part("device_power_status")), "file='power/powered.png'");
  Send(50, 1, 0);
  EXPECT_EQ(ui::BackgroundImage(Part("device_power_status")), "file='power/powering.png'");
  Send(50, 2, 0);
  EXPECT_EQ(ui::BackgroundImage(Part("device_power_status")), "file='power/power.png'");
  ui::SetVisible(Part("device_Power_progress"), false);
  Send(50, 7, 0);  // unknown state: neither picture nor progress change
  EXPECT_EQ(ui::BackgroundImage(Part("device_power_status")), "file='power/power.png'");
  EXPECT_FALSE(ui::IsVisible(Part("device_Power_progress")));
}

TEST_F(PowerPanelTest, ChargingHidesTheProgressOnlyWhenWireless) {
  panel_->SetKind(2, 0);
  Send(30, 1, 1);
  EXPECT_FALSE(ui::IsVisible(Part("device_Power_progress")));
  EXPECT_TRUE(ui::IsVisible(Part("device_wuxian_logo")));
  Send(30, 1, 0);
  EXPECT_TRUE(ui::IsVisible(Part("device_Power_progress")));
  EXPECT_FALSE(ui::IsVisible(Part("device_wuxian_logo")));
  Send(30, 1, 1);
  Send(30, 0, 1);
  EXPECT_TRUE(ui::IsVisible(Part("device_Power_progress")));
}

TEST_F(PowerPanelTest, PhoneTypeOnlyOnTheMousePad) {
  QWidget* phone = Part("device_phone_type");
  QWidget* logo = Part("device_wuxian_logo");
  ui::SetToolTip(phone, "untouched");
  for (int kind : {1, 2, 7}) {
    panel_->SetKind(kind, 0);
    Send(80, 2, 1, 1);
    EXPECT_EQ(ui::ToolTip(phone), "untouched") << kind;
  }
  panel_->SetKind(3, 0);
  ui::SetVisible(logo, false);
  const struct {
    uint8_t type;
    const char* name;
  } cases[] = {{1, "Phone_type_iphone"},
               {2, "Phone_type_samsung"},
               {3, "Phone_type_other"},
               {0, "Phone_type_no_device"},
               {200, "Phone_type_no_device"}};
  for (const auto& c : cases) {
    Send(80, 2, 1, c.type);
    EXPECT_EQ(ui::ToolTip(phone), c.name);
    EXPECT_EQ(ui::BackgroundImage(phone), QStringLiteral("file='power/%1.png'").arg(c.name));
  }
  EXPECT_FALSE(ui::IsVisible(logo));  // a mouse pad never touches the wireless logo
  panel_->SetKind(7, 0);
  ui::SetVisible(logo, true);
  Send(80, 2, 0);
  EXPECT_TRUE(ui::IsVisible(logo));
}

TEST_F(PowerPanelTest, ShortBlocksReadAsZeros) {
  panel_->SetKind(3, 0);
  const uint8_t block[1] = {42};
  panel_->SetPowerInfo(block, sizeof block);
  EXPECT_EQ(ui::Text(Part("device_power_value")), "42%");
  EXPECT_EQ(ui::BackgroundImage(Part("device_power_status")), "file='power/powered.png'");
  EXPECT_EQ(ui::ToolTip(Part("device_phone_type")), "Phone_type_no_device");
  panel_->SetPowerInfo(nullptr, 100);
  EXPECT_EQ(ui::Text(Part("device_power_value")), "0%");
  std::vector<uint8_t> big(4096, 9);
  panel_->SetPowerInfo(big.data(), big.size());
  EXPECT_EQ(ui::Text(Part("device_power_value")), "9%");
}

TEST_F(PowerPanelTest, ShowPowerLayout) {
  panel_->ShowPowerLayout(false);
  EXPECT_FALSE(ui::IsVisible(Part("device_power_Layout")));
  panel_->ShowPowerLayout(true);
  EXPECT_TRUE(ui::IsVisible(Part("device_power_Layout")));
}

TEST_F(PowerPanelTest, ClickRaisesSelectchanged) {
  test::Recorder recorder(root_.get());
  test::Press(panel_, QPoint(2, 2));
  test::Release(panel_, QPoint(2, 2));
  EXPECT_EQ(recorder.Count("selectchanged"), 1);
  test::Press(panel_, QPoint(2, 2));
  test::Release(panel_, QPoint(-5, 2));  // released outside
  EXPECT_EQ(recorder.Count("selectchanged"), 1);
}

TEST_F(PowerPanelTest, PaintsItsParts) {
  panel_->SetKind(3, 0);
  Send(64, 1, 0, 1);
  root_->resize(220, 36);
  const QImage image = test::Render(root_.get(), "mp_device_power");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0x1C2026u);
}

TEST(PowerPanelMissingParts, IgnoresEveryBlock) {
  CMpDevicePowerUI panel;
  auto* value = new QLabel("old", &panel);
  value->setObjectName("device_power_value");
  auto* progress = new QProgressBar(&panel);
  progress->setObjectName("device_Power_progress");
  progress->setValue(5);
  for (const char* name : {"device_wuxian_logo", "device_power_status"}) {
    (new QLabel(&panel))->setObjectName(name);
  }
  panel.SetKind(3, 0);
  const uint8_t block[6] = {70, 0, 0, 1, 0, 1};
  panel.SetPowerInfo(block, sizeof block);  // no "device_phone_type"
  EXPECT_EQ(value->text(), "old");
  EXPECT_EQ(progress->value(), 5);
  // Once the missing part is there, the blocks are shown.
  (new QLabel(&panel))->setObjectName("device_phone_type");
  panel.SetPowerInfo(block, sizeof block);
  EXPECT_EQ(value->text(), "70%");
}

}  // namespace
}  // namespace varkon
