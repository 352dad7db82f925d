#include "device/hidraw_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <numeric>
#include <random>
#include <thread>

#include "device/fd_wait.h"
#include "device/report_descriptor.h"
#include "fake_hidraw_tree.h"

namespace varkon {
namespace {

using test::FakeHidNode;
using test::FakeHidrawTree;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

// Keyboard interface: system control (id 1), consumer control (id 2), a 16-bit consumer array
// (id 3) and the 64-byte vendor packet collection (id 4).
const Bytes kKeyboard = {
    0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x01, 0x19, 0x81, 0x29, 0x83, 0x15, 0x00, 0x25,
    0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x95, 0x05, 0x81, 0x01, 0xC0,  // col 1
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x19, 0x00, 0x2A, 0x3C, 0x02, 0x15, 0x00,
    0x26, 0x3C, 0x02, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,  // col 2
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x15, 0x00,
    0x27, 0xFF, 0xFF, 0x00, 0x00, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,  // col 3
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0x09, 0x02, 0x95, 0x3F, 0x91, 0x02, 0xC0};  // col 4
// Headset interface: one vendor collection with unnumbered 64-byte reports.
const Bytes kHeadset = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x01,
                        0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40,
                        0x81, 0x02, 0x09, 0x02, 0x95, 0x40, 0x91, 0x02, 0xC0};

FakeHidNode Keyboard(uint32_t number) {
  FakeHidNode node;
  node.number = number;
  node.descriptor = kKeyboard;
  node.bcdDevice = "0102";
  return node;
}

FakeHidNode Headset(uint32_t number) {
  FakeHidNode node;
  node.number = number;
  node.productId = 0x5071;
  node.interfaceNumber = "03";
  node.descriptor = kHeadset;
  return node;
}

Bytes Report(uint8_t id, size_t size) {
  Bytes report(size);
  std::iota(report.begin(), report.end(), static_cast<uint8_t>(id * 16));
  report[0] = id;
  return report;
}

class HidrawBackendTest : public ::testing::Test {
 protected:
  HidrawBackendTest() : backend_(tree_.SysfsRoot(), tree_.DevRoot()) {
    // Each opened node is one end of a packet socket pair, which keeps report boundaries the
    // way hidraw does; the test talks to the other end.
    backend_.SetNodeOpener([this](const std::string& path, int flags) {
      int pair[2];
      if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) {
        return -1;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      openedPath_ = path;
      openedFlags_ = flags;
      peer_ = pair[1];
      device_ = pair[0];
      peers_.push_back(pair[1]);
      return pair[0];
    });
  }
  ~HidrawBackendTest() override {
    for (int fd : peers_) close(fd);
  }

  std::string Path(uint32_t number, const char* suffix) {
    return tree_.DevRoot() + "/hidraw" + std::to_string(number) + suffix;
  }
  std::vector<std::string> List() {
    std::vector<std::string> paths;
    EXPECT_TRUE(backend_.Enumerate(paths));
    return paths;
  }
  void Send(const Bytes& report) {
    ASSERT_EQ(send(peer_, report.data(), report.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(report.size()));
  }
  Bytes Receive() {
    pollfd p = {peer_, POLLIN, 0};
    Bytes data(4096);
    if (poll(&p, 1, 2000) != 1) return {};
    const ssize_t got = recv(peer_, data.data(), data.size(), 0);
    data.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return data;
  }
  HidIoResult Read(HidDevice& device, Bytes& out, int timeoutMs, size_t length = 256) {
    out.assign(length, 0xEE);
    size_t got = 0;
    const HidIoResult result = device.Read(out.data(), out.size(), got, timeoutMs);
    out.resize(got);
    return result;
  }

  FakeHidrawTree tree_;
  HidrawBackend backend_;
  std::mutex mutex_;
  std::string openedPath_;
  int openedFlags_ = 0;
  int peer_ = -1;
  int device_ = -1;
  std::vector<int> peers_;
};

TEST_F(HidrawBackendTest, ListsOnePathPerTopLevelCollection) {
  tree_.AddNode(Keyboard(0));
  tree_.AddNode(Headset(1));
  const std::vector<std::string> expected = {
      Path(0, "#vid_320f&pid_5055&mi_01&col01"), Path(0, "#vid_320f&pid_5055&mi_01&col02"),
      Path(0, "#vid_320f&pid_5055&mi_01&col03"), Path(0, "#vid_320f&pid_5055&mi_01&col04"),
      Path(1, "#vid_320f&pid_5071&mi_03")};
  EXPECT_EQ(List(), expected);
}

TEST_F(HidrawBackendTest, OddNodesAreListedOnceOrSkipped) {
  FakeHidNode noInterface = Headset(0);
  noInterface.interfaceNumber.reset();
  tree_.AddNode(noInterface);
  FakeHidNode emptyDescriptor = Headset(1);
  emptyDescriptor.descriptor = Bytes();
  tree_.AddNode(emptyDescriptor);
  FakeHidNode noDescriptor = Keyboard(2);
  noDescriptor.descriptor.reset();
  tree_.AddNode(noDescriptor);
  FakeHidNode noId = Keyboard(3);
  noId.uevent = "HID_NAME=x\nHID_ID=0003:0001320F:00005055\n";  // vendor beyond 16 bits
  tree_.AddNode(noId);
  FakeHidNode upper = Headset(4);
  upper.interfaceNumber = "0A";
  tree_.AddNode(upper);
  test::WriteTextFile(tree_.SysfsRoot() + "/class/hidraw/hidrawX", "");

  const std::vector<std::string> expected = {Path(0, "#vid_320f&pid_5071&mi_00"),
                                             Path(1, "#vid_320f&pid_5071&mi_03"),
                                             Path(4, "#vid_320f&pid_5071&mi_0a")};
  EXPECT_EQ(List(), expected);
}

TEST_F(HidrawBackendTest, ListsManyNodesInNumericOrder) {
  std::vector<uint32_t> numbers(40);
  std::iota(numbers.begin(), numbers.end(), 0);
  std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
  for (uint32_t n : numbers) tree_.AddNode(Headset(n));
  const std::vector<std::string> paths = List();
  ASSERT_EQ(paths.size(), 40u);
  for (uint32_t n = 0; n < 40; ++n) EXPECT_EQ(paths[n], Path(n, "#vid_320f&pid_5071&mi_03"));
}

TEST_F(HidrawBackendTest, MissingClassFolderIsAnEmptyListOtherErrorsFail) {
  std::vector<std::string> paths = {"stale"};
  HidrawBackend bare(tree_.DevRoot(), tree_.DevRoot());  // no class/hidraw below it
  EXPECT_TRUE(bare.Enumerate(paths));
  EXPECT_TRUE(paths.empty());
  test::WriteTextFile(tree_.DevRoot() + "/class", "");
  HidrawBackend broken(tree_.DevRoot(), tree_.DevRoot());  // a fresh listing, no cache
  EXPECT_FALSE(broken.Enumerate(paths));
}

TEST_F(HidrawBackendTest, SysfsRootComesFromTheEnvironment) {
  tree_.AddNode(Headset(0));
  ASSERT_EQ(setenv("VARKON_SYSFS_ROOT", tree_.SysfsRoot().c_str(), 1), 0);
  HidrawBackend fromEnvironment("", tree_.DevRoot() + "/");
  unsetenv("VARKON_SYSFS_ROOT");
  std::vector<std::string> paths;
  ASSERT_TRUE(fromEnvironment.Enumerate(paths));
  EXPECT_EQ(paths, std::vector<std::string>{Path(0, "#vid_320f&pid_5071&mi_03")});
  EXPECT_EQ(HidrawBackend().SysfsRoot(), "/sys");
  EXPECT_EQ(HidrawBackend().DevRoot(), "/dev");
}

TEST_F(HidrawBackendTest, DescriptorIsParsedOncePerIdentity) {
  const std::string keyboard = tree_.AddNode(Keyboard(0));
  tree_.AddNode(Headset(1));
  List();
  EXPECT_EQ(backend_.DescriptorParseCount(), 2u);
  List();
  ASSERT_TRUE(backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false));
  EXPECT_EQ(backend_.DescriptorParseCount(), 2u);

  tree_.RemoveNode(1);  // another device takes number 1
  tree_.AddNode(Headset(1));
  List();
  EXPECT_EQ(backend_.DescriptorParseCount(), 3u);

  tree_.RemoveNode(0);  // gone for one pass: its cache entry is dropped
  EXPECT_EQ(List().size(), 1u);
  tree_.LinkNode(0, keyboard);
  EXPECT_EQ(List().size(), 5u);
  EXPECT_EQ(backend_.DescriptorParseCount(), 4u);
}

TEST_F(HidrawBackendTest, OpenGivesAttributesCollectionAndFlags) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, true);
  ASSERT_TRUE(device);
  EXPECT_EQ(openedPath_, tree_.DevNode(0));
  EXPECT_EQ(openedFlags_, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  EXPECT_EQ(device->Attributes().vendorId, 0x320f);
  EXPECT_EQ(device->Attributes().productId, 0x5055);
  EXPECT_EQ(device->Attributes().versionNumber, 0x0102);
  EXPECT_EQ(device->Collection().usagePage, 0xFF1C);
  EXPECT_EQ(device->Collection().usage, 0x92);
  EXPECT_EQ(device->Collection().caps.inputReportByteLength, 64);

  auto system = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col01"), true, false, false);
  ASSERT_TRUE(system);
  EXPECT_EQ(openedFlags_, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  EXPECT_EQ(system->Collection().usage, 0x80);
  Bytes report = Report(4, 64);
  size_t sent = 0;
  EXPECT_EQ(system->Write(report.data(), report.size(), sent, 100), HidIoResult::Failed);

  auto writeOnly = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), false, true, false);
  ASSERT_TRUE(writeOnly);
  EXPECT_EQ(openedFlags_, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  EXPECT_EQ(Read(*writeOnly, report, 0), HidIoResult::Failed);

  auto attributesOnly =
      backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col02"), false, false, false);
  ASSERT_TRUE(attributesOnly);
  EXPECT_EQ(openedFlags_, O_PATH | O_CLOEXEC);
  EXPECT_EQ(attributesOnly->Collection().usagePage, 0x0C);
  EXPECT_EQ(Read(*attributesOnly, report, 0), HidIoResult::Failed);
}

TEST_F(HidrawBackendTest, OpenRefusesPathsTheNodeDoesNotList) {
  tree_.AddNode(Keyboard(0));
  tree_.AddNode(Headset(1));
  EXPECT_FALSE(backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col05"), true, true, false));
  EXPECT_FALSE(backend_.Open(Path(0, "#vid_320f&pid_5056&mi_01&col04"), true, true, false));
  EXPECT_FALSE(backend_.Open(Path(0, ""), true, true, false));  // which collection?
  EXPECT_FALSE(backend_.Open(Path(7, "#vid_320f&pid_5071&mi_03"), true, true, false));
  EXPECT_FALSE(backend_.Open("/elsewhere/hidraw1#vid_320f&pid_5071&mi_03", true, true, false));
  EXPECT_FALSE(backend_.Open(Path(1, "x#vid_320f&pid_5071&mi_03"), true, true, false));
  EXPECT_TRUE(backend_.Open(Path(1, ""), true, true, false));

  backend_.SetNodeOpener(nullptr);  // open(2) on a node that is missing under /dev
  tree_.RemoveDevNode(1);
  EXPECT_FALSE(backend_.Open(Path(1, "#vid_320f&pid_5071&mi_03"), true, true, false));
}

TEST_F(HidrawBackendTest, ReadTakesOnlyTheCollectionsReports) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false);
  ASSERT_TRUE(device);
  Send(Report(3, 3));
  Send(Report(1, 2));
  Send(Report(4, 64));
  Bytes got;
  ASSERT_EQ(Read(*device, got, 2000), HidIoResult::Ok);
  EXPECT_EQ(got, Report(4, 64));

  const Bytes full = Report(4, 64);
  Send(full);
  ASSERT_EQ(Read(*device, got, 2000, 10), HidIoResult::Ok);  // bounded by the buffer
  EXPECT_EQ(got, Bytes(full.begin(), full.begin() + 10));

  Send(Report(2, 3));  // discarded, then silence until the time-out
  EXPECT_EQ(Read(*device, got, 150), HidIoResult::TimedOut);
  EXPECT_TRUE(got.empty());
}

TEST_F(HidrawBackendTest, ReadPutsZeroIdInFrontOfUnnumberedReports) {
  tree_.AddNode(Headset(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5071&mi_03"), true, true, false);
  ASSERT_TRUE(device);
  const Bytes raw = Report(9, 64);
  Send(raw);
  Bytes got;
  ASSERT_EQ(Read(*device, got, 2000), HidIoResult::Ok);
  Bytes expected = {0};
  expected.insert(expected.end(), raw.begin(), raw.end());
  EXPECT_EQ(got, expected);
}

TEST_F(HidrawBackendTest, ReadTimesOutOnSilenceAndLeavesNothingPending) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false);
  ASSERT_TRUE(device);
  Bytes got;
  const auto start = Clock::now();
  EXPECT_EQ(Read(*device, got, 200), HidIoResult::TimedOut);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(190));
  EXPECT_LT(elapsed, std::chrono::seconds(5));

  Send(Report(4, 64));
  ASSERT_EQ(Read(*device, got, 0), HidIoResult::Ok);
  EXPECT_EQ(got, Report(4, 64));
  EXPECT_EQ(Read(*device, got, 0), HidIoResult::TimedOut);
}

TEST_F(HidrawBackendTest, CancelEndsAnEndlessReadAndEveryLaterWait) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false);
  ASSERT_TRUE(device);
  std::atomic<bool> done{false};
  HidIoResult result = HidIoResult::Ok;
  std::thread reader([&] {
    uint8_t buffer[64];
    size_t got = 0;
    result = device->Read(buffer, sizeof(buffer), got, kHidWaitForever);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(done);
  const auto cancelled = Clock::now();
  device->Cancel();
  reader.join();
  EXPECT_LT(Clock::now() - cancelled, std::chrono::milliseconds(900));
  EXPECT_EQ(result, HidIoResult::Cancelled);

  Send(Report(4, 64));
  Bytes got;
  EXPECT_EQ(Read(*device, got, kHidWaitForever), HidIoResult::Cancelled);
  size_t sent = 0;
  EXPECT_EQ(device->Write(got.data(), 1, sent, kHidWaitForever), HidIoResult::Cancelled);
}

TEST_F(HidrawBackendTest, WriteSendsTheReportAsGiven) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false);
  ASSERT_TRUE(device);
  const Bytes report = Report(4, 64);
  size_t sent = 0;
  ASSERT_EQ(device->Write(report.data(), report.size(), sent, 1000), HidIoResult::Ok);
  EXPECT_EQ(sent, report.size());
  EXPECT_EQ(Receive(), report);
  const Bytes frame = Report(0, 65);
  EXPECT_TRUE(device->SetOutputReport(frame.data(), frame.size()));
  EXPECT_EQ(Receive(), frame);
}

TEST_F(HidrawBackendTest, WriteWaitsForRoomUntilTimeOutOrCancel) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false);
  ASSERT_TRUE(device);
  const Bytes report = Report(4, 64);
  while (send(device_, report.data(), report.size(), MSG_NOSIGNAL) > 0) {
  }
  ASSERT_EQ(errno, EAGAIN);  // the peer's queue is full
  size_t sent = 0;
  EXPECT_EQ(device->Write(report.data(), report.size(), sent, 150), HidIoResult::TimedOut);
  EXPECT_FALSE(device->SetOutputReport(report.data(), report.size()));

  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    device->Cancel();
  });
  EXPECT_EQ(device->Write(report.data(), report.size(), sent, kHidWaitForever),
            HidIoResult::Cancelled);
  canceller.join();
}

TEST_F(HidrawBackendTest, HangUpFailsTheRead) {
  tree_.AddNode(Keyboard(0));
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5055&mi_01&col04"), true, true, false);
  ASSERT_TRUE(device);
  shutdown(peer_, SHUT_RDWR);
  Bytes got;
  EXPECT_EQ(Read(*device, got, 2000), HidIoResult::Failed);
}

TEST_F(HidrawBackendTest, PlainOpenReadsTheDeviceNode) {
  FakeHidNode headset = Headset(0);
  headset.devNode = false;
  tree_.AddNode(headset);
  ASSERT_EQ(mkfifo(tree_.DevNode(0).c_str(), 0600), 0);
  backend_.SetNodeOpener(nullptr);
  auto device = backend_.Open(Path(0, "#vid_320f&pid_5071&mi_03"), true, false, false);
  ASSERT_TRUE(device);
  const int writer = open(tree_.DevNode(0).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  const Bytes raw = Report(5, 64);
  ASSERT_EQ(write(writer, raw.data(), raw.size()), 64);
  Bytes got;
  EXPECT_EQ(Read(*device, got, 2000), HidIoResult::Ok);
  EXPECT_EQ(got.size(), 65u);
  EXPECT_EQ(got[0], 0);
  EXPECT_EQ(got[1], 5);
  close(writer);
}

TEST_F(HidrawBackendTest, IsPresentFollowsTheNodeAndItsIdentity) {
  const std::string first = tree_.AddNode(Headset(0));
  const std::string path = Path(0, "#vid_320f&pid_5071&mi_03");
  EXPECT_TRUE(backend_.IsPresent(path));  // never seen: the node exists
  EXPECT_FALSE(backend_.IsPresent(Path(1, "#vid_320f&pid_5071&mi_03")));
  List();
  EXPECT_TRUE(backend_.IsPresent(path));

  tree_.RemoveDevNode(0);
  EXPECT_FALSE(backend_.IsPresent(path));
  tree_.RemoveNode(0);
  tree_.LinkNode(0, first);
  EXPECT_TRUE(backend_.IsPresent(path));
  tree_.RemoveNode(0);
  EXPECT_FALSE(backend_.IsPresent(path));

  tree_.AddNode(Headset(0));  // same number and path, another device
  EXPECT_FALSE(backend_.IsPresent(path));
  List();
  EXPECT_FALSE(backend_.IsPresent(path));
  ASSERT_TRUE(backend_.Open(path, true, true, false));
  EXPECT_TRUE(backend_.IsPresent(path));
}

TEST_F(HidrawBackendTest, ReadWriteEnumerateAndCancelOnSeveralThreads) {
  tree_.AddNode(Keyboard(0));
  tree_.AddNode(Headset(1));
  const std::string path = Path(0, "#vid_320f&pid_5055&mi_01&col04");
  auto device = backend_.Open(path, true, true, false);
  ASSERT_TRUE(device);
  const int peer = peer_;
  std::atomic<int> reports{0};
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    uint8_t buffer[64];
    size_t got = 0;
    while (device->Read(buffer, sizeof(buffer), got, kHidWaitForever) == HidIoResult::Ok) {
      if (got == 64 && buffer[0] == 4) ++reports;
    }
  });
  std::thread watcher([&] {
    std::vector<std::string> paths;
    for (int pass = 0; !stop; ++pass) {
      backend_.Enumerate(paths);
      backend_.IsPresent(path);
      if (pass < 5) backend_.Open(Path(1, "#vid_320f&pid_5071&mi_03"), true, true, false);
    }
  });
  // The peer answers every written report with one of its own.
  const Bytes report = Report(4, 64);
  for (int i = 0; i < 20; ++i) {
    size_t sent = 0;
    ASSERT_EQ(device->Write(report.data(), report.size(), sent, 1000), HidIoResult::Ok);
    pollfd p = {peer, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    uint8_t echo[128];
    ASSERT_EQ(recv(peer, echo, sizeof(echo), 0), 64);
    ASSERT_EQ(send(peer, echo, 64, MSG_NOSIGNAL), 64);
  }
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (reports < 20 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  device->Cancel();
  stop = true;
  reader.join();
  watcher.join();
  EXPECT_EQ(reports, 20);
}

TEST(HidUeventTest, ParsesIdsAndRejectsMalformedOnes) {
  HidUevent uevent;
  ASSERT_TRUE(ParseHidUevent(
      "DRIVER=hid-generic\nHID_ID=0003:0000320F:00005055\nHID_NAME=Kbd\nHID_PHYS=usb-1/input1\n"
      "HID_UNIQ=A1\n",
      uevent));
  EXPECT_EQ(uevent.bus, 3);
  EXPECT_EQ(uevent.vendorId, 0x320f);
  EXPECT_EQ(uevent.productId, 0x5055);
  EXPECT_EQ(uevent.phys, "usb-1/input1");
  EXPECT_EQ(uevent.uniq, "A1");
  for (const char* bad : {"HID_NAME=x\n", "HID_ID=0003:0000320F\n", "HID_ID=0003:320G:5055\n",
                          "HID_ID=0003:320F:100000\n", "HID_ID=::\n", "HID_ID=0003:320F:5055:1"}) {
    EXPECT_FALSE(ParseHidUevent(bad, uevent)) << bad;
  }
}

TEST(WaitDeadlineTest, RoundsUpAndNeverGoesNegative) {
  EXPECT_EQ(WaitDeadline(kHidWaitForever).RemainingMs(), -1);
  EXPECT_EQ(WaitDeadline(0).RemainingMs(), 0);
  const int left = WaitDeadline(10000).RemainingMs();
  EXPECT_GT(left, 9000);
  EXPECT_LE(left, 10000);
}

}  // namespace
}  // namespace varkon

namespace varkon {
namespace {

// Between full listings the backend answers from its last listing while the device folder is
// unchanged; a node appearing or going shows at once.
TEST(HidrawChangeWatch, NodesComingAndGoingShowAtOnceDespiteTheCachedListing) {
  test::FakeHidrawTree tree;
  test::FakeHidNode node;
  node.number = 0;
  node.interfaceNumber = "03";
  node.descriptor =
      std::vector<uint8_t>{0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x15,
                           0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0xC0};
  tree.AddNode(node);
  HidrawBackend backend(tree.SysfsRoot(), tree.DevRoot());
  std::vector<std::string> paths;
  ASSERT_TRUE(backend.Enumerate(paths));
  ASSERT_EQ(paths.size(), 1u);
  const std::string first = paths[0];
  EXPECT_TRUE(backend.IsPresent(first));

  node.number = 1;
  tree.AddNode(node);
  ASSERT_TRUE(backend.Enumerate(paths));
  EXPECT_EQ(paths.size(), 2u);

  tree.RemoveNode(0);
  EXPECT_FALSE(backend.IsPresent(first));
  ASSERT_TRUE(backend.Enumerate(paths));
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_NE(paths[0], first);
}

}  // namespace
}  // namespace varkon
