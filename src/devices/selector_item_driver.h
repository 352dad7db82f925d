// What the timers of a device-selector item do to the device behind it: the start-up read, the
// preview paint loop, the power status poll and the receiver-link online check. The item owns
// the real timers and forwards their expiry to OnTimer; everything else goes through the host.
#pragma once

namespace varkon {

inline constexpr int kItemTimerPaint = 1000, kItemTimerStartup = 1001, kItemTimerResync = 1002,
                     kItemTimerReserved1 = 1003, kItemTimerReserved2 = 1004, kItemTimerPower = 1005,
                     kItemTimerOnline = 1007;

class SelectorItemHost {
 public:
  virtual ~SelectorItemHost() = default;
  virtual bool ReceiverMode() const = 0;  // the device is reached through its receiver
  virtual bool TransportOpen() const = 0;
  virtual bool WirelessCapable() const = 0;
  virtual bool ItemVisible() const = 0;
  virtual bool ItemSelected() const = 0;
  virtual bool WindowActive() const = 0;
  virtual bool IsLinkAwake() = 0;  // receiver mode: the device behind the receiver answers
  virtual void ReadDevice() = 0;
  virtual void ReadPowerStatus() = 0;
  virtual void ResyncDevice() = 0;
  virtual void PaintPreview() = 0;
  virtual void RedrawPanel() = 0;
  virtual void SendReachable(bool reachable) = 0;  // message 3331: the main window shows/hides
  // An online check found the device awake: it sends what it could not while it slept.
  virtual void LinkAwake() = 0;
  virtual void StartTimer(int timer, int milliseconds) = 0;  // (re)starts a one-shot timer
  virtual void StopTimer(int timer) = 0;
};

class SelectorItemDriver {
 public:
  // Failed online checks in a row wrap to 0 when they reach this count.
  static constexpr int kFailedCheckWrap = 20;
  static constexpr int kStartupRetryMs = 3000;
  static constexpr int kFirstPaintMs = 5;
  static constexpr int kPaintPeriodMs = 50;
  static constexpr int kFirstPowerMs = 50;
  static constexpr int kPowerPeriodMs = 5000;
  static constexpr int kFirstOnlineCheckMs = 2000;
  static constexpr int kOnlineCheckPeriodMs = 3000;

  explicit SelectorItemDriver(SelectorItemHost& host);

  // Every timer is one-shot: the driver re-arms what repeats. Unknown timers are ignored.
  void OnTimer(int timer);
  int FailedChecks() const;  // failed start-up online checks, wraps to 0 at 20
  void ResetFailedChecks();

 private:
  void OnStartup();
  void OnPaint();
  void OnPower();
  void OnOnlineCheck();

  SelectorItemHost& host_;
  int failedChecks_ = 0;
};

}  // namespace varkon
