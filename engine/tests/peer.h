// The test's side of engine_peer: another process using the record
// manager, driven over a pipe. Every wait for an answer is bounded; a peer
// that does not answer in time fails the test and is killed.
#pragma once

#include "testing/piped_process.h"

#include <cstdint>
#include <string>

class Peer {
public:
  Peer();   // starts the helper program
  ~Peer();  // asks it to quit, killing it when it does not
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  struct Reply {
    int16_t Status = -1;  // -1: no answer
    std::string Data;     // the DataLen bytes returned
    std::string Key;      // the 255-byte key buffer
  };
  // A call on one of the peer's 16 position blocks, as BtrFile::Call makes
  // it; client is a 16-byte id for BTRCALLID, empty for BTRCALL.
  Reply Call(int block, uint16_t op, const std::string& data = "", const std::string& key = "", int8_t keyNum = 0,
             uint32_t room = 0, const std::string& client = "");
  int16_t Open(int block, const std::string& path, int8_t mode = 0);
  // Runs sql (one line) on the file with SQLite itself, waiting for no
  // lock: SQLite's result code, -1 for no answer.
  int Sql(const std::string& path, const std::string& sql);

  // Sends a command line and returns the answer line; "" when the peer
  // ended or did not answer.
  std::string Ask(const std::string& line) { return process_.Ask(line); }
  // Sends a command without waiting.
  void Send(const std::string& line) { process_.Send(line); }
  // The next answer line; "" when the peer ended or did not answer.
  std::string Receive() { return process_.Receive(); }

  void Kill() { process_.Kill(); }  // SIGKILL, then reaps the process
  // Reaps the process once it ended; true when SIGKILL ended it.
  bool EndedByKill() { return process_.EndedByKill(); }

private:
  PipedProcess process_;
};

// A transaction of the peer over two files of Ann and Bob (MakePeopleFile),
// a and b: a gets Cleo and Ann's group "new", b loses Bob. What the files
// hold without it and with it, as PeopleIn gives them:
namespace two_files {
inline constexpr const char* OldA = "Ann/g Bob/g ";
inline constexpr const char* OldB = "Ann/g Bob/g ";
inline constexpr const char* NewA = "Ann/new Bob/g Cleo/g ";
inline constexpr const char* NewB = "Ann/g ";
// Opens a and b in the peer's blocks 0 and 1 and writes the transaction,
// leaving it open.
void Write(Peer& peer, const std::string& a, const std::string& b);
// Ends it with the peer killed at its step-th flush to disk from now on
// (at 0 before End): true when End went through first.
bool EndKilledAtFlush(Peer& peer, int step);
}  // namespace two_files
