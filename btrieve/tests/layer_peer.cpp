// A second workstation for the multi-process tests of the numbered-file
// layer: a process of its own using the layer, running the commands a test
// sends on standard input, one answer line each on standard output.
//   open N MODE PATH   BtrOpenFile (MODE 0 or -4)
//   close N            BtrCloseFile
//   key N KEYNO        BtrSetKeyNumber
//   lock N KEY         BtrGetEqual with a lock; "ok" or "missing"
//   unlock N           lets go of the record locked last on N
//   insert N TEXT      BtrInsertRecord
//   count N            the record count
//   begin | end | abort
//   exit
// A layer failure answers "error STATUS". It never waits on a lock: it
// asks nobody and declines at once.
#include "btrieve/numbered_files.h"
#include "testing/peer_loop.h"

#include <sstream>
#include <string>

namespace {

// The rest of the line after one blank.
std::string Rest(std::istringstream& in) {
  in.get();
  std::string rest;
  std::getline(in, rest);
  return rest;
}

std::string Run(const std::string& command, std::istringstream& in) {
  int fileNo = 0;
  if (command == "begin") {
    BtrBeginTransaction();
  } else if (command == "end") {
    BtrEndTransaction();
  } else if (command == "abort") {
    BtrAbortTransaction();
  } else if (command == "exit") {
    return "bye";
  } else if (!(in >> fileNo) || fileNo < 0 || fileNo >= int(FileSlotCount)) {
    return "bad command";
  } else if (command == "open") {
    int mode = 0;
    in >> mode;
    BtrOpenFile(uint8_t(fileNo), Rest(in), int8_t(mode));
  } else if (command == "close") {
    BtrCloseFile(uint8_t(fileNo));
  } else if (command == "key") {
    int keyNo = 0;
    in >> keyNo;
    BtrSetKeyNumber(uint8_t(fileNo), int8_t(keyNo));
  } else if (command == "lock") {
    TDynCharArr rec(1);
    return BtrGetEqual(uint8_t(fileNo), Rest(in), rec, true) ? "ok" : "missing";
  } else if (command == "unlock") {
    if (BtrCheckFileNo(uint8_t(fileNo))) FileSlots[fileNo].Engine->Unlock();
  } else if (command == "insert") {
    BtrInsertRecord(uint8_t(fileNo), Rest(in));
  } else if (command == "count") {
    return std::to_string(BtrRecordCount(uint8_t(fileNo)));
  } else {
    return "bad command";
  }
  return "ok";
}

}  // namespace

int main() {
  SetBtrAsker([](const std::string&) { return false; });
  LockRetryMs = 0;
  ServePeerCommands("exit", Run, [] {
    try {
      throw;
    } catch (const EBtrAbort& e) {
      return "error " + std::to_string(e.Status);
    } catch (const std::exception& e) {
      return std::string("error ") + e.what();
    }
  });
  FinalizeBtrLayer();
  return 0;
}
