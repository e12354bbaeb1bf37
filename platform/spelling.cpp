#include "platform/spelling.h"

namespace {

std::string regTree;

}  // namespace

int16_t SSCE_SetRegTreeName(const std::string& Tree) {
  regTree = Tree;
  return 0;
}

std::string SSCE_GetRegTreeName() { return regTree; }
