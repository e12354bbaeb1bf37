// Transactions of a client within one process: Begin, End and Abort, what
// they cover, what other clients see and wait for meanwhile, and the attach
// limit. Kills in the middle are in processes_test.cpp.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

#include <memory>

using namespace engine;

namespace {

const uint8_t OtherClient[16] = {'o', 't', 'h', 'e', 'r'};

// Two files a.dat and b.dat holding Ann and Bob; the engine restarted with
// a short wait for other clients' SQLite locks.
class EngineTransactions : public ShortWaitTest {
protected:
  void SetUp() override {
    ShortWaitTest::SetUp();
    for (const char* file : {"a.dat", "b.dat"}) {
      ASSERT_EQ(CreateFile(TempPath(file), PeopleLayout()), 0);
      BtrFile f;
      ASSERT_EQ(f.Open(TempPath(file)), 0);
      for (const char* name : {"Ann", "Bob"}) ASSERT_EQ(f.Insert(PersonRecord({0, name, "g", ""})), 0);
    }
    ASSERT_EQ(a.Open(TempPath("a.dat")), 0);
    ASSERT_EQ(b.Open(TempPath("b.dat")), 0);
    otherA.ClientId = OtherClient;
    ASSERT_EQ(otherA.Open(TempPath("a.dat")), 0);
  }
  // A block of this client that opens nothing, for the client's calls.
  static int16_t ClientCall(uint16_t op, const uint8_t* client = nullptr) {
    BtrFile none;
    none.ClientId = client;
    return none.Call(op);
  }

  BtrFile a, b, otherA;
};

TEST_F(EngineTransactions, BeginInsideAnswers37AndEndOrAbortOutsideAnswer39PerClient) {
  EXPECT_EQ(ClientCall(op::EndTransaction), status::NoTransaction);
  EXPECT_EQ(ClientCall(op::AbortTransaction), status::NoTransaction);
  EXPECT_EQ(ClientCall(op::BeginTransaction), 0);
  EXPECT_EQ(ClientCall(op::BeginTransaction), status::TransactionActive);
  EXPECT_EQ(ClientCall(op::BeginConcurrentTransaction), status::TransactionActive);
  // Another client has none of its own yet.
  EXPECT_EQ(ClientCall(op::EndTransaction, OtherClient), status::NoTransaction);
  EXPECT_EQ(ClientCall(op::BeginConcurrentTransaction, OtherClient), 0);
  EXPECT_EQ(ClientCall(op::EndTransaction), 0);
  EXPECT_EQ(ClientCall(op::EndTransaction), status::NoTransaction);
  EXPECT_EQ(ClientCall(op::AbortTransaction, OtherClient), 0);
  EXPECT_EQ(ClientCall(op::AbortTransaction, OtherClient), status::NoTransaction);
}

TEST_F(EngineTransactions, EndCommitsEveryFileWrittenAlsoOnesOpenedOrCreatedAfterBegin) {
  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  ASSERT_EQ(a.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);
  ASSERT_EQ(a.Get(op::GetEqual, PersonName("Ann"), 1), 0);
  ASSERT_EQ(a.Call(op::Update, PersonRecord({1, "Ann", "new", ""}), "", 1), 0);
  ASSERT_EQ(a.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(a.Call(op::Delete), 0);
  ASSERT_EQ(CreateFile(TempPath("c.dat"), PeopleLayout()), 0);
  BtrFile c, laterB;
  ASSERT_EQ(c.Open(TempPath("c.dat")), 0);
  ASSERT_EQ(c.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
  ASSERT_EQ(laterB.Open(TempPath("b.dat")), 0);
  ASSERT_EQ(laterB.Insert(PersonRecord({0, "Eve", "g", ""})), 0);

  // The client reads its own writes, also through blocks opened before;
  // another client sees none of them.
  EXPECT_EQ(PeopleSeen(a), "Ann/new Cleo/g ");
  EXPECT_EQ(PeopleSeen(b), "Ann/g Bob/g Eve/g ");
  EXPECT_EQ(a.RecordCount(), 2u);
  EXPECT_EQ(PeopleSeen(otherA), "Ann/g Bob/g ");
  BtrFile otherC;
  otherC.ClientId = OtherClient;
  ASSERT_EQ(otherC.Open(TempPath("c.dat")), 0);
  EXPECT_EQ(otherC.RecordCount(), 0u);

  ASSERT_EQ(a.Get(op::GetFirst, "", 1), 0);
  ASSERT_EQ(ClientCall(op::EndTransaction), 0);
  // A position taken inside carries on after End.
  ASSERT_EQ(a.Get(op::GetNext, "", 1), 0);
  EXPECT_EQ(a.Data().substr(4, 4), "Cleo");
  EXPECT_EQ(PeopleSeen(otherA), "Ann/new Cleo/g ");
  EXPECT_EQ(otherC.RecordCount(), 1u);
  BtrFile otherB;
  otherB.ClientId = OtherClient;
  ASSERT_EQ(otherB.Open(TempPath("b.dat")), 0);
  EXPECT_EQ(PeopleSeen(otherB), "Ann/g Bob/g Eve/g ");
}

// The count Stat answers follows every change while the file stays open
// (the engine keeps it between changes): this client's writes, another
// client's once committed (as another workstation's: they reach the file
// through a connection of their own), and a transaction's until its abort.
TEST_F(EngineTransactions, StatCountFollowsEveryChangeWhileTheFileStaysOpen) {
  EXPECT_EQ(a.RecordCount(), 2u);
  ASSERT_EQ(a.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);
  EXPECT_EQ(a.RecordCount(), 3u);
  ASSERT_EQ(otherA.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
  EXPECT_EQ(a.RecordCount(), 4u);
  ASSERT_EQ(ClientCall(op::BeginTransaction, OtherClient), 0);
  ASSERT_EQ(otherA.Insert(PersonRecord({0, "Eve", "g", ""})), 0);
  EXPECT_EQ(a.RecordCount(), 4u);
  ASSERT_EQ(ClientCall(op::EndTransaction, OtherClient), 0);
  EXPECT_EQ(a.RecordCount(), 5u);
  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  EXPECT_EQ(a.RecordCount(), 5u);
  ASSERT_EQ(a.Insert(PersonRecord({0, "Fay", "g", ""})), 0);
  EXPECT_EQ(a.RecordCount(), 6u);
  ASSERT_EQ(ClientCall(op::AbortTransaction), 0);
  EXPECT_EQ(a.RecordCount(), 5u);
  ASSERT_EQ(a.Get(op::GetFirst, "", 1), 0);
  ASSERT_EQ(a.Call(op::Delete), 0);
  EXPECT_EQ(a.RecordCount(), 4u);
  EXPECT_EQ(otherA.RecordCount(), 4u);
}

TEST_F(EngineTransactions, AbortLeavesEveryFileAsItWas) {
  const std::string beforeA = ReadFileBytes(TempPath("a.dat"));
  const std::string beforeB = ReadFileBytes(TempPath("b.dat"));
  ASSERT_EQ(ClientCall(op::BeginConcurrentTransaction), 0);
  ASSERT_EQ(a.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);
  ASSERT_EQ(b.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(b.Call(op::Delete), 0);
  EXPECT_EQ(ClientCall(op::AbortTransaction), 0);
  EXPECT_EQ(ReadFileBytes(TempPath("a.dat")), beforeA);
  EXPECT_EQ(ReadFileBytes(TempPath("b.dat")), beforeB);
  EXPECT_EQ(PeopleSeen(a), "Ann/g Bob/g ");
  EXPECT_EQ(PeopleSeen(b), "Ann/g Bob/g ");
  // Nothing of the transaction stays locked.
  EXPECT_EQ(otherA.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
  EXPECT_FALSE(SidecarByteLocked(TempPath("b.dat"), 2));
}

TEST_F(EngineTransactions, OtherClientsWaitForTheWrittenFileAndFindWrittenRecordsLocked) {
  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  ASSERT_EQ(a.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(a.Call(op::Update, PersonRecord({2, "Bob", "new", ""}), "", 1), 0);

  // Reads go on, of the record as it was; a locked read, an update or a
  // write of another record of the file answer once the wait is over.
  ASSERT_EQ(otherA.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  EXPECT_EQ(otherA.Data(), PersonRecord({2, "Bob", "g", ""}));
  EXPECT_EQ(otherA.Get(op::GetEqual + op::SingleNoWaitLock, PersonName("Bob"), 1), status::RecordLocked);
  EXPECT_EQ(otherA.Call(op::Update, PersonRecord({2, "Bob", "other", ""}), "", 1), status::RecordLocked);
  EXPECT_EQ(otherA.Insert(PersonRecord({0, "Dan", "g", ""})), status::FileLocked);
  ASSERT_EQ(otherA.Get(op::GetEqual + op::SingleNoWaitLock, PersonName("Ann"), 1), 0);
  EXPECT_EQ(otherA.Call(op::Update, PersonRecord({1, "Ann", "other", ""}), "", 1), status::FileLocked);
  EXPECT_EQ(ClientCall(op::BeginTransaction, OtherClient), 0);
  EXPECT_EQ(otherA.Insert(PersonRecord({0, "Dan", "g", ""})), status::FileLocked);
  EXPECT_EQ(ClientCall(op::AbortTransaction, OtherClient), 0);
  EXPECT_EQ(otherA.RecordCount(), 2u);

  ASSERT_EQ(ClientCall(op::EndTransaction), 0);
  ASSERT_EQ(otherA.Get(op::GetEqual + op::SingleNoWaitLock, PersonName("Bob"), 1), 0);
  EXPECT_EQ(otherA.Data(), PersonRecord({2, "Bob", "new", ""}));
  EXPECT_EQ(otherA.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
}

TEST_F(EngineTransactions, ARefusedWriteDoesNotDrawItsFileIntoTheTransaction) {
  ASSERT_EQ(otherA.Get(op::GetEqual + op::SingleNoWaitLock, PersonName("Bob"), 1), 0);
  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  ASSERT_EQ(a.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  EXPECT_EQ(a.Call(op::Update, PersonRecord({2, "Bob", "new", ""}), "", 1), status::RecordLocked);
  // The file is not held for the transaction: other clients write it.
  EXPECT_EQ(otherA.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);
  ASSERT_EQ(ClientCall(op::EndTransaction), 0);
  EXPECT_EQ(PeopleSeen(a), "Ann/g Bob/g Cleo/g ");
}

TEST_F(EngineTransactions, AWriteBeyondTheAttachLimitAnswers86AndWritesNothing) {
  constexpr int Files = 12;  // the main database and ten attached, then one too many
  std::vector<std::unique_ptr<BtrFile>> files;
  for (int i = 0; i < Files; ++i) {
    const std::string path = TempPath("f" + std::to_string(i) + ".dat");
    ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
    files.push_back(std::make_unique<BtrFile>());
    ASSERT_EQ(files.back()->Open(path), 0);
  }
  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  for (int i = 0; i < Files - 1; ++i) ASSERT_EQ(files[size_t(i)]->Insert(PersonRecord({0, "Ann", "g", ""})), 0) << i;
  EXPECT_EQ(files.back()->Insert(PersonRecord({0, "Ann", "g", ""})), status::FileTableFull);
  EXPECT_EQ(files.back()->RecordCount(), 0u);
  // Files already in the transaction still take writes.
  EXPECT_EQ(files.front()->Insert(PersonRecord({0, "Bob", "g", ""})), 0);
  ASSERT_EQ(ClientCall(op::AbortTransaction), 0);
  for (const auto& f : files) EXPECT_EQ(f->RecordCount(), 0u);

  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  for (int i = 1; i < Files; ++i) ASSERT_EQ(files[size_t(i)]->Insert(PersonRecord({0, "Ann", "g", ""})), 0) << i;
  ASSERT_EQ(ClientCall(op::EndTransaction), 0);
  for (int i = 0; i < Files; ++i) EXPECT_EQ(files[size_t(i)]->RecordCount(), i == 0 ? 0u : 1u) << i;
}

TEST_F(EngineTransactions, StopAbortsOnlyItsClientsTransactionAndShutDownAbortsAll) {
  ASSERT_EQ(ClientCall(op::BeginTransaction, OtherClient), 0);
  ASSERT_EQ(otherA.Insert(PersonRecord({0, "Other", "g", ""})), 0);
  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  ASSERT_EQ(b.Insert(PersonRecord({0, "Mine", "g", ""})), 0);
  EXPECT_EQ(ClientCall(op::Stop, OtherClient), 0);
  EXPECT_EQ(ClientCall(op::EndTransaction), 0);
  EXPECT_EQ(PeopleSeen(a), "Ann/g Bob/g ");
  EXPECT_EQ(PeopleSeen(b), "Ann/g Bob/g Mine/g ");

  ASSERT_EQ(ClientCall(op::BeginTransaction), 0);
  ASSERT_EQ(a.Insert(PersonRecord({0, "Gone", "g", ""})), 0);
  EXPECT_EQ(Wbtrv().Stop(), 0);
  BtrFile again;
  ASSERT_EQ(again.Open(TempPath("a.dat")), 0);
  EXPECT_EQ(PeopleSeen(again), "Ann/g Bob/g ");
  EXPECT_EQ(ClientCall(op::EndTransaction), status::NoTransaction);
}

}  // namespace
