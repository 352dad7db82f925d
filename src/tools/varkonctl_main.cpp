#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "tools/ctl_tool.h"

namespace {
std::atomic<bool> stopRequested{false};
extern "C" void OnSignal(int) {
  stopRequested.store(true);
}
}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return varkon::RunCtlTool(args, std::cout, std::cerr, stopRequested);
}
