// The keyboard panel's function pages as the skin builds them: the lighting editor on the
// lighting page and the controls of the system page.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QStackedWidget>
#include <memory>

#include "app/controls/register_custom_controls.h"
#include "editors/light_control.h"
#include "editors/register_editor_controls.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_values.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

class KeyboardPanelPages : public ::testing::Test {
 protected:
  KeyboardPanelPages() : loader_(std::string(VARKON_SOURCE_DIR) + "/resources/skin/") {
    RegisterCustomControls(loader_);
    RegisterEditorControls(loader_);
  }
  void SetUp() override {
    std::string error;
    panel_.reset(loader_.LoadSkin("XML\\DeviceXml\\keyboarddevice.xml", nullptr, &error));
    ASSERT_NE(panel_, nullptr) << error;
    EXPECT_TRUE(loader_.subTreeErrors().empty());
  }
  QWidget* Find(const QString& name) const { return ui::FindControl(panel_.get(), name); }

  ui::SkinLoader loader_;
  std::unique_ptr<QWidget> panel_;
};

TEST_F(KeyboardPanelPages, TheLightingPageHoldsTheEditor) {
  QWidget* page = Find("kb_key_function_page_0");
  ASSERT_NE(page, nullptr);
  CLightControlUI* editor = FindLightControl(page);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->objectName(), "LightControlItem");
  EXPECT_EQ(editor->parentWidget(), page);
  // The picture's panel goes by its new name; only one lighting editor in the panel.
  EXPECT_NE(Find("keyboard_device_key_light"), nullptr);
  EXPECT_EQ(Find("device_key_light"), nullptr);
  EXPECT_EQ(panel_->findChildren<CLightControlUI*>().size(), 1);
}

TEST_F(KeyboardPanelPages, TheSystemPageHoldsItsControlsAndGroups) {
  QWidget* page = Find("kb_function_page_3");
  ASSERT_NE(page, nullptr);
  for (const char* name :
       {"repeat_rate_slider", "repeat_delay_time_label1", "reset_repeat_btn", "6flag_option",
        "wflag_option", "winlockflag_option", "voice_sensitivity", "voice_sensitivity_value"}) {
    EXPECT_EQ(ui::FindControl(page, name) == nullptr, false) << name;
  }
  // Two exclusive option groups of four, each its own.
  for (const char* prefix : {"repeat_delay_check_", "polling_rate_option_"}) {
    QButtonGroup* group = nullptr;
    for (int i = 0; i < 4; ++i) {
      auto* option = qobject_cast<QAbstractButton*>(
          ui::FindControl(page, QString::fromLatin1(prefix) + QString::number(i)));
      ASSERT_NE(option, nullptr) << prefix << i;
      ASSERT_NE(option->group(), nullptr) << prefix << i;
      if (group == nullptr) group = option->group();
      EXPECT_EQ(option->group(), group) << prefix << i;
      EXPECT_TRUE(option->group()->exclusive());
    }
  }
  EXPECT_NE(qobject_cast<QAbstractButton*>(Find("repeat_delay_check_0"))->group(),
            qobject_cast<QAbstractButton*>(Find("polling_rate_option_0"))->group());
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(Find("winlockflag_option"))->isCheckable());
  EXPECT_EQ(qobject_cast<QAbstractButton*>(Find("polling_rate_option_3"))->text(), "1000 Hz");
}

// The panel with its lighting page and its system page, to be looked at.
TEST_F(KeyboardPanelPages, Render) {
  const QString folder = QString(VARKON_BINARY_DIR) + "/editor-render";
  QDir().mkpath(folder);
  QWidget window;
  window.setObjectName("window");
  window.setStyleSheet("QWidget#window { background-color: #101317; }");
  window.resize(1000, 496);
  panel_->setParent(&window);
  panel_->move(0, 0);
  ui::SetText(Find("repeat_delay_time_label1"), "Repeat delay 500 ms");
  ui::SetChecked(Find("repeat_delay_check_1"), true);
  ui::SetChecked(Find("winlockflag_option"), true);
  window.show();
  for (int page : {0, 3}) {
    ASSERT_TRUE(ui::SelectPage(Find("device_function_switch"), page));
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(folder + QString("/keyboard_page_%1.png").arg(page + 1)));
  }
  panel_->setParent(nullptr);  // owned by the fixture
}

}  // namespace
}  // namespace varkon
