#include <iostream>
#include <string>
#include <vector>

#include "tools/hid_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return varkon::RunHidTool(args, std::cout, std::cerr);
}
