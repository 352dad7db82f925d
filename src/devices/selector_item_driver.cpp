#include "devices/selector_item_driver.h"

namespace varkon {

SelectorItemDriver::SelectorItemDriver(SelectorItemHost& host) : host_(host) {}

int SelectorItemDriver::FailedChecks() const {
  return failedChecks_;
}

void SelectorItemDriver::ResetFailedChecks() {
  failedChecks_ = 0;
}

void SelectorItemDriver::OnTimer(int timer) {
  switch (timer) {
    case kItemTimerStartup:
      OnStartup();
      break;
    case kItemTimerPaint:
      OnPaint();
      break;
    case kItemTimerResync:
      host_.ResyncDevice();
      break;
    case kItemTimerReserved1:
    case kItemTimerReserved2:
      break;
    case kItemTimerPower:
      OnPower();
      break;
    case kItemTimerOnline:
      OnOnlineCheck();
      break;
    default:
      break;
  }
}

void SelectorItemDriver::OnStartup() {
  const bool receiver = host_.ReceiverMode();
  if (receiver) {
    // A wireless device that sleeps behind its receiver is not read: the item is hidden and the
    // check is retried until the device answers.
    if (!host_.IsLinkAwake()) {
      failedChecks_ = (failedChecks_ + 1) % kFailedCheckWrap;
      if (host_.ItemVisible()) host_.SendReachable(false);
      host_.StartTimer(kItemTimerStartup, kStartupRetryMs);
      return;
    }
    if (!host_.ItemVisible()) host_.SendReachable(true);
  }
  host_.ReadDevice();
  failedChecks_ = 0;
  host_.StartTimer(kItemTimerPaint, kFirstPaintMs);
  if (host_.WirelessCapable() && host_.TransportOpen()) {
    host_.StartTimer(kItemTimerPower, kFirstPowerMs);
  }
  if (receiver) host_.StartTimer(kItemTimerOnline, kFirstOnlineCheckMs);
}

void SelectorItemDriver::OnPaint() {
  // A closed transport ends the loop; the next start-up arms it again.
  if (!host_.TransportOpen()) return;
  host_.PaintPreview();
  if (host_.ItemSelected() && host_.WindowActive()) host_.RedrawPanel();
  host_.StartTimer(kItemTimerPaint, kPaintPeriodMs);
}

void SelectorItemDriver::OnPower() {
  host_.ReadPowerStatus();
  if (host_.WirelessCapable() && host_.TransportOpen()) {
    host_.StartTimer(kItemTimerPower, kPowerPeriodMs);
  }
}

void SelectorItemDriver::OnOnlineCheck() {
  // The check belongs to the receiver link only; on the cable or with the transport closed it
  // ends and the next start-up in receiver mode arms it again.
  if (!host_.ReceiverMode() || !host_.TransportOpen()) return;
  const bool awake = host_.IsLinkAwake();
  const bool visible = host_.ItemVisible();
  if (awake && !visible) {
    host_.SendReachable(true);
    if (host_.WirelessCapable()) host_.ReadPowerStatus();
  } else if (!awake && visible) {
    host_.SendReachable(false);
  }
  if (awake) host_.LinkAwake();
  host_.StartTimer(kItemTimerOnline, kOnlineCheckPeriodMs);
}

}  // namespace varkon
