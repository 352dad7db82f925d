// What `varkon-hid check` and the window tell a user about a plugged-in device they cannot use.
#include "device/hid_access_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fake_hidraw_tree.h"

namespace varkon {
namespace {

using Problem = HidAccessFinding::Problem;

test::FakeHidNode Node(uint32_t number, uint16_t vendorId, uint16_t productId,
                       const char* interfaceNumber, bool devNode = true,
                       const std::string& sameDeviceAs = {}) {
  test::FakeHidNode node;
  node.number = number;
  node.vendorId = vendorId;
  node.productId = productId;
  node.interfaceNumber = interfaceNumber;
  node.devNode = devNode;
  node.sameDeviceAs = sameDeviceAs;
  return node;
}

TEST(HidAccessCheck, NamesTheNodeAndTheFixForEachSupportedDevice) {
  test::FakeHidrawTree tree;
  EXPECT_EQ(CheckHidAccess(tree.SysfsRoot(), tree.DevRoot()).Text(),
            "No supported device is plugged in.");

  // Another vendor's device is counted, not reported.
  tree.AddNode(Node(0, 0x046d, 0xc077, "00"));
  HidAccessReport report = CheckHidAccess(tree.SysfsRoot(), tree.DevRoot());
  EXPECT_TRUE(report.findings.empty());
  EXPECT_EQ(report.otherNodes, 1u);
  EXPECT_FALSE(report.AnyProblem());
  EXPECT_NE(report.Text().find("1 hidraw node(s) of other devices"), std::string::npos);

  // The keyboard: its boot interface 0 and the settings interface 1, whose node is not ours to
  // open; the pad, whose node the device root lacks.
  const std::string keyboardBoot = tree.AddNode(Node(3, 0x320f, 0x5055, "00"));
  tree.AddNode(Node(4, 0x320f, 0x5055, "01", true, keyboardBoot));
  chmod(tree.DevNode(4).c_str(), 0600);
  tree.AddNode(Node(7, 0x320f, 0x1004, "01", false));
  const auto denyHidraw4 = [&](const std::string& path) { return path != tree.DevNode(4); };
  report = CheckHidAccess(tree.SysfsRoot(), tree.DevRoot(), denyHidraw4);
  ASSERT_EQ(report.findings.size(), 2u) << report.Text();
  EXPECT_TRUE(report.AnyProblem());
  const HidAccessFinding* keyboard = nullptr;
  const HidAccessFinding* pad = nullptr;
  for (const HidAccessFinding& f : report.findings) (f.productId == 0x5055 ? keyboard : pad) = &f;
  ASSERT_TRUE(keyboard && pad);
  EXPECT_EQ(keyboard->problem, Problem::NotPermitted);
  EXPECT_EQ(keyboard->node, tree.DevNode(4));
  EXPECT_EQ(keyboard->mode, 0600u);
  const std::string message = keyboard->Message();
  for (const char* part : {"keyboard (320f:5055)", "mode 0600", "70-varkon-korvu-wired.rules",
                           "ATTRS{modalias}==\"usb:v320Fp5055d*\", ATTRS{bInterfaceNumber}==\"01\"",
                           "TAG+=\"uaccess\"", "udevadm trigger"}) {
    EXPECT_NE(message.find(part), std::string::npos) << part << " in " << message;
  }
  EXPECT_NE(message.find(tree.DevNode(4)), std::string::npos);
  EXPECT_EQ(pad->problem, Problem::NodeMissing);
  EXPECT_NE(pad->Message().find("does not exist"), std::string::npos);

  // Allowed, it is ready; the rule line is the one the installed rule carries.
  report =
      CheckHidAccess(tree.SysfsRoot(), tree.DevRoot(), [](const std::string&) { return true; });
  for (const HidAccessFinding& f : report.findings) {
    if (f.productId == 0x5055) {
      EXPECT_EQ(f.problem, Problem::None) << f.Message();
    }
  }
  EXPECT_EQ(UdevRuleLine(0x0c76, 0x1630, 3),
            "SUBSYSTEM==\"hidraw\", ATTRS{modalias}==\"usb:v0C76p1630d*\", "
            "ATTRS{bInterfaceNumber}==\"03\", TAG+=\"uaccess\"");
}

TEST(HidAccessCheck, ADeviceWithoutItsSettingsInterfaceSaysWhichItHas) {
  test::FakeHidrawTree tree;
  // A mouse seen only through interface 0 (as through uhid, or another driver holding 1).
  tree.AddNode(Node(2, 0x320f, 0x50ef, "00"));
  const HidAccessReport report = CheckHidAccess(tree.SysfsRoot(), tree.DevRoot());
  ASSERT_EQ(report.findings.size(), 1u);
  const HidAccessFinding& mouse = report.findings[0];
  EXPECT_EQ(mouse.problem, Problem::NoMatchingInterface);
  EXPECT_EQ(mouse.wantedInterface, 1);
  EXPECT_NE(mouse.Message().find("its interface 1"), std::string::npos) << mouse.Message();
  EXPECT_NE(mouse.Message().find("it has interface 0"), std::string::npos) << mouse.Message();
}

}  // namespace
}  // namespace varkon
