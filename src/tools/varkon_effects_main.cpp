#include <iostream>
#include <string>
#include <vector>

#include "tools/effects_sheet.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return varkon::RunEffectsTool(args, std::cout, std::cerr);
}
