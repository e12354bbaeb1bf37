// A workstation for the user-list race tests: a process of its own saving
// new lists in the data folder argv[1] on command, one answer line each.
//   save PREFIX COUNT   COUNT new lists PREFIX1.. saved one after another;
//                       "saved" and their numbers, or "failed" at the first
//                       that did not save (its message on standard error)
//   exit
#include "btrieve/numbered_files.h"
#include "templates/template_state.h"
#include "templates/user_list_edit.h"
#include "testing/peer_loop.h"

#include <sstream>
#include <string>

namespace {

std::string Run(const std::string& command, std::istringstream& in) {
  if (command == "exit") return "bye";
  if (command != "save") return "bad command";
  std::string prefix;
  int count = 0;
  in >> prefix >> count;
  std::string answer = "saved";
  for (int i = 1; i <= count; ++i) {
    TUserListState state;
    const std::string name = prefix + std::to_string(i);
    if (SaveUserList(state, name, {name + " item a", name + " item b"}) != TListSaveResult::Saved) return "failed";
    answer += " " + std::to_string(state.SelUserList);
  }
  return answer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Store.DataDir = argv[1];
  ServePeerCommands("exit", Run);
  FinalizeBtrLayer();
  return 0;
}
