// The numbered-file layer against the recording fake engine: the calls it
// makes, the bytes it sends, its texts and statuses, the lock rule.
#include "btrieve/numbered_files.h"

#include "btrieve/status_text.h"
#include "btrieve/tests/layer_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/log_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string Bytes(const TDynCharArr& v) { return std::string(v.begin(), v.end()); }
TDynCharArr Buffer(const std::string& s) { return TDynCharArr(s.begin(), s.end()); }

std::string Record(const std::string& text) {
  std::string r = text;
  r.resize(40, ' ');
  return r;
}

const std::string Locked = "A record lock was encountered.";
constexpr int16_t InvalidRecordAddress = 43;

class NumberedFilesTest : public FakeLayerTest {
protected:
  // Ticks that move one millisecond each time the layer looks.
  void StepTicks(uint64_t start) {
    tick_ = start;
    SetBtrTickSource([this] { return tick_++; });
  }
  // An Asker that records the questions and answers from a list.
  void AnswerQuestions(std::vector<bool> answers) {
    answers_ = std::move(answers);
    SetBtrAsker([this](const std::string& q) {
      questions_.push_back(q);
      callsAtQuestion_.push_back(FakeEngine::Calls().size());
      EXPECT_FALSE(answers_.empty()) << "unexpected question: " << q;
      if (answers_.empty()) return false;
      const bool yes = answers_.front();
      answers_.erase(answers_.begin());
      return yes;
    });
  }
  static void AnswerLocked(int n, int16_t status = BtrStatus::RecordLocked) {
    for (int i = 0; i < n; ++i) FakeEngine::Answer(Fails(status));
  }

  uint64_t tick_ = 0;
  std::vector<bool> answers_;
  std::vector<std::string> questions_;
  std::vector<size_t> callsAtQuestion_;
};

// ---- loading, opening, closing ----

TEST_F(NumberedFilesTest, AnEngineThatCannotBeLoadedFailsTheOpenWithStatus20AndLeavesTheSlotFree) {
  for (const char* library : {"nosuchengine.dll", "btrjunk.dll"}) {
    SCOPED_TRACE(library);
    SetBtrLibraryName(library);
    ExpectBtrAbort([] { BtrOpenFile(3, "C:\\DATA\\A.DAT", 0); },
                   "The file C:\\DATA\\A.DAT could not be opened.\r\rBtrieve status 20.\rThe record manager is not "
                   "loaded or not started.",
                   20);
    EXPECT_FALSE(BtrLoaded);
    EXPECT_FALSE(FileSlots[3].Engine);
    EXPECT_TRUE(FileSlots[3].FileName.empty());
    TDynCharArr rec(40);
    bool atEnd;
    ExpectBtrAbort([&] { BtrGetFirst(3, rec, atEnd, false); }, "WBTRV32.DLL is not loaded!", 20);
    std::string msg;
    EXPECT_FALSE(BtrLoadEngine(msg, 10));
    EXPECT_EQ(msg, "The record");
  }
  // The next open tries again and finds the engine.
  SetBtrLibraryName("btrfake.dll");
  Open(3);
  EXPECT_TRUE(BtrLoaded);
  EXPECT_EQ(FileSlots[3].FileName, FileName);
}

TEST_F(NumberedFilesTest, ABusyNumberIsRefusedAndTheOpenFileStays) {
  Open(7);
  ExpectBtrAbort([] { BtrOpenFile(7, "C:\\DATA\\OTHER.DAT", 0); },
                 "File already opened as number 7:\r" + FileName, 0);
  EXPECT_TRUE(CallsSinceMark().empty());
  EXPECT_TRUE(BtrIsFileOpen(7));
  EXPECT_EQ(FileSlots[7].FileName, FileName);
}

TEST_F(NumberedFilesTest, AnOpenRefusedByTheEngineNamesTheFileAndItsStatus) {
  FakeEngine::Answer(Fails(BtrStatus::FileNotFound));
  ExpectBtrAbort([] { BtrOpenFile(2, "C:\\DATA\\MISSING.DAT", -4); },
                 "The file C:\\DATA\\MISSING.DAT could not be opened.\r\rBtrieve status 12.\rThe file could not be "
                 "found.",
                 12);
  ASSERT_EQ(FakeEngine::Calls().size(), 1u);
  EXPECT_EQ(FakeEngine::Calls()[0].Key, "C:\\DATA\\MISSING.DAT");
  EXPECT_EQ(FakeEngine::Calls()[0].KeyNum, -4);
  EXPECT_FALSE(FileSlots[2].Engine);
  BtrCloseFile(2);
  ExpectBtrAbort([] { BtrRecordCount(2); }, "Filenumber 2 is not valid!", 0);
}

TEST_F(NumberedFilesTest, AFileLockAtOpenIsRetriedThenAsked) {
  for (const int16_t status : {BtrStatus::FileLocked, int16_t(88)}) {
    SCOPED_TRACE(status);
    FakeEngine::Reset();
    ResetBtrLayer();
    SetBtrLibraryName("btrfake.dll");
    LockRetryMs = 5;
    StepTicks(0);
    FileLockMsg = "Someone else is editing this list.  Retry?";
    AnswerQuestions({true, false});
    AnswerLocked(100, status);
    ExpectBtrAbort([] { BtrOpenFile(4, "C:\\DATA\\LIST.DAT", 0); },
                   "The file C:\\DATA\\LIST.DAT could not be opened.\r\rBtrieve status " + std::to_string(status) +
                       ".\r" + BtrieveStatusText(status) + ".",
                   status);
    const std::string question = "File:  C:\\DATA\\LIST.DAT\r\rSomeone else is editing this list.  Retry?";
    EXPECT_EQ(questions_, (std::vector<std::string>{question, question}));
    // Deadline 5 ms after the start: six tries before each question.
    EXPECT_EQ(callsAtQuestion_, (std::vector<size_t>{6, 12}));
    for (const FakeCall& c : FakeEngine::Calls()) EXPECT_EQ(c.Op, BtrOp::Open);
    EXPECT_FALSE(FileSlots[4].Engine);
    questions_.clear();
    callsAtQuestion_.clear();
  }
}

TEST_F(NumberedFilesTest, TheFileLockQuestionGoesToTheDialogSeam) {
  LockRetryMs = 0;
  StepTicks(10);
  AnswerLocked(1, BtrStatus::FileLocked);
  FakeEngine::Answer({});
  FakeEngine::Answer(Returns(TwoKeys()));
  FakeEngine::Answer(Returns(TwoKeys()));
  DialogResponder dialogs;
  dialogs.Expect("File:  " + FileName + "\r\rA file lock was encountered.  Retry?", mrYes);
  BtrOpenFile(4, FileName, 0);
  EXPECT_TRUE(BtrIsFileOpen(4));
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtConfirmation);
  EXPECT_EQ(dialogs.Boxes()[0].buttons, mbYesNo);
}

TEST_F(NumberedFilesTest, CloseFreesTheSlotAndAFailedCloseIsRetriedByTheNextCloseOrOpen) {
  const std::string closeFailure =
      " could not be closed.\r\rBtrieve status 2.\rAn input/output error occurred while the file was read or "
      "written";
  // Retried by the next close, then by the next open; a retry that fails
  // too raises the close's own text and leaves it pending.
  for (const bool reopen : {false, true}) {
    SCOPED_TRACE(reopen ? "open" : "close");
    Open(5);
    FakeEngine::Answer(Fails(2));
    ExpectBtrAbort([] { BtrCloseFile(5); }, "The file " + FileName + closeFailure, 2);
    EXPECT_FALSE(BtrIsFileOpen(5));
    EXPECT_FALSE(FileSlots[5].Engine);
    ExpectBtrAbort([] { BtrCheckFileNo(5); }, "Filenumber 5 is not valid!", 0);

    Mark();
    FakeEngine::Answer(Fails(2));
    if (reopen) {
      ExpectBtrAbort([] { BtrOpenFile(5, "C:\\DATA\\B.DAT", 0); }, "The file " + FileName + closeFailure, 2);
    } else {
      ExpectBtrAbort([] { BtrCloseFile(5); }, "The file " + FileName + closeFailure, 2);
    }
    EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"1 k0 d4"}));
    EXPECT_EQ(FakeEngine::Calls().back().PosBlock, BlockOf(FileName));
    EXPECT_FALSE(FileSlots[5].Engine);

    Mark();
    if (reopen) {
      FakeEngine::Answer({});
      FakeEngine::Answer(Returns(TwoKeys()));
      FakeEngine::Answer(Returns(TwoKeys()));
      BtrOpenFile(5, "C:\\DATA\\B.DAT", 0);
      EXPECT_TRUE(BtrIsFileOpen(5));
      EXPECT_EQ(FileSlots[5].FileName, "C:\\DATA\\B.DAT");
    } else {
      BtrCloseFile(5);
    }
    const std::vector<FakeCall> calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), reopen ? 4u : 1u);
    EXPECT_EQ(calls[0].Op, BtrOp::Close);
    EXPECT_EQ(calls[0].PosBlock, BlockOf(FileName));
    if (reopen) {
      EXPECT_EQ(calls[1].Op, BtrOp::Open);
      EXPECT_EQ(calls[1].Key, "C:\\DATA\\B.DAT");
      BtrCloseFile(5);
    }
    EXPECT_FALSE(FileSlots[5].Engine || FileSlots[5].PendingClose);
    EXPECT_TRUE(FileSlots[5].FileName.empty());
  }
  Mark();
  BtrCloseFile(5);
  BtrCloseFile(200);
  EXPECT_TRUE(CallsSinceMark().empty());
}

TEST_F(NumberedFilesTest, FinalizationClosesEveryFileAndGivesTheEngineBack) {
  Open(0);
  Open(255, "C:\\DATA\\B.DAT");
  DscLookupBuf.assign(100, 'x');
  FinalizeBtrLayer();
  EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"1 k0 d4", "1 k0 d4"}));
  EXPECT_FALSE(BtrLoaded);
  EXPECT_FALSE(BtrieveDllLoaded());
  EXPECT_EQ(FakeEngine::Stops(), 1);
  EXPECT_TRUE(DscLookupBuf.empty());
  EXPECT_FALSE(FileSlots[0].Engine || FileSlots[255].Engine);
}

TEST_F(NumberedFilesTest, FinalizationClosesWhatItCanAndReportsTheRestOnce) {
  Open(1);
  Open(2, "C:\\DATA\\B.DAT");
  Open(3, "C:\\DATA\\C.DAT");
  Open(4, "C:\\DATA\\D.DAT");
  FakeEngine::Answer(Fails(2));
  ExpectBtrAbort([] { BtrCloseFile(4); }, "The file C:\\DATA\\D.DAT could not be closed.\r\r" + BtrStatusTail(2), 2);
  Mark();
  FakeEngine::Answer({});             // 1
  FakeEngine::Answer(Fails(2));       // 2
  FakeEngine::Answer(Fails(85));      // 3
  FakeEngine::Answer(Fails(2));       // 4, its close retried
  LogCapture log;
  FinalizeBtrLayer();
  const std::vector<FakeCall> calls = CallsSinceMark();
  ASSERT_EQ(calls.size(), 4u);
  for (const FakeCall& c : calls) EXPECT_EQ(c.Op, BtrOp::Close);
  EXPECT_EQ(calls[3].PosBlock, BlockOf("C:\\DATA\\D.DAT"));
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"files the record manager would not close: C:\\DATA\\B.DAT "
                                                   "(status 2), C:\\DATA\\C.DAT (status 85), C:\\DATA\\D.DAT "
                                                   "(status 2)"}));
  EXPECT_EQ(FakeEngine::Stops(), 1);
  for (const TBtrFile& slot : FileSlots) EXPECT_FALSE(slot.Engine || slot.PendingClose || !slot.FileName.empty());
  // Nothing is tried twice: the layer's next life starts clean.
  Mark();
  ResetBtrLayer();
  EXPECT_TRUE(CallsSinceMark().empty());
}

// ---- buffers and reads ----

TEST_F(NumberedFilesTest, AShortBufferGrowsToTheRecordLengthAndAnEmptyOneIsRefused) {
  Open(1);
  const struct {
    size_t size;
    size_t after;
  } cases[] = {{1, 40}, {39, 40}, {40, 40}, {64, 64}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    TDynCharArr rec(c.size, 'q');
    bool atEnd = true;
    Mark();
    FakeEngine::Answer(Returns(Record("DATA")));
    BtrGetFirst(1, rec, atEnd, false);
    EXPECT_FALSE(atEnd);
    ASSERT_EQ(rec.size(), c.after);
    EXPECT_EQ(Bytes(rec).substr(0, 40), Record("DATA"));
    EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>{"12 k0 d40"});
  }
  TDynCharArr empty;
  bool atEnd;
  ExpectBtrAbort([&] { BtrGetNext(1, empty, atEnd, false); }, "Databuffer is invalid!", 0);
  ExpectBtrAbort([&] { BtrGetEqual(1, "K", empty, false); }, "Databuffer is invalid!", 0);
  ExpectBtrAbort([&] { BtrUpdateRecord(1, "X", empty); }, "Databuffer is invalid!", 0);
}

TEST_F(NumberedFilesTest, NonKeyedReadsUseTheirOpsWithTheLockBias) {
  using Read = void (*)(uint8_t, TDynCharArr&, bool&, bool);
  const struct {
    Read read;
    uint16_t op;
  } reads[] = {{BtrGetFirst, 12}, {BtrGetNext, 6}, {BtrGetPrev, 7}, {BtrGetLast, 13}};
  Open(9);
  FakeEngine::Answer(Returns(TwoKeys()));
  BtrSetKeyNumber(9, 1);
  for (const auto& r : reads) {
    for (const bool lock : {false, true}) {
      SCOPED_TRACE(std::to_string(r.op) + (lock ? " locked" : ""));
      TDynCharArr rec(40);
      bool atEnd;
      Mark();
      r.read(9, rec, atEnd, lock);
      std::vector<std::string> expected{std::to_string(r.op + (lock ? 200 : 0)) + " k1 d40"};
      if (lock) expected.push_back("22 k1 d4");  // the position of the locked record
      EXPECT_EQ(DescribedSinceMark(), expected);
    }
  }
}

TEST_F(NumberedFilesTest, EndOfFileSetsAtEndAndLeavesTheBuffer) {
  Open(1);
  TDynCharArr rec = Buffer(Record("BEFORE"));
  bool atEnd = false;
  FakeEngine::Answer(Fails(BtrStatus::EndOfFile));
  BtrGetNext(1, rec, atEnd, false);
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(Bytes(rec), Record("BEFORE"));
  FakeEngine::Answer(Fails(2));
  ExpectBtrAbort([&] { BtrGetPrev(1, rec, atEnd, false); },
                 "A record could not be read from the file.\r\rBtrieve status 2.\rAn input/output error occurred "
                 "while the file was read or written",
                 2);
  EXPECT_FALSE(atEnd);
}

TEST_F(NumberedFilesTest, KeyedCallsSendTheWholeZeroFilledKeyBuffer) {
  Open(1);
  TDynCharArr rec(40);
  FakeAnswer answer = Returns(Record("FOUND"));
  answer.Key = std::string(255, 'Z');  // the engine's key of the record found
  FakeEngine::Answer(answer);
  EXPECT_TRUE(BtrGetEqual(1, "SMITH", rec, false));
  FakeEngine::Answer(Fails(BtrStatus::KeyNotFound));
  EXPECT_FALSE(BtrGetEqual(1, "AB", rec, false));
  const std::string longKey(300, 'L');
  bool atEnd;
  EXPECT_TRUE(BtrGetGreaterLess(1, longKey, rec, atEnd, 3));
  const std::vector<FakeCall> calls = CallsSinceMark();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].Key, "SMITH" + std::string(250, '\0'));
  EXPECT_EQ(calls[1].Key, "AB" + std::string(253, '\0'));
  EXPECT_EQ(calls[2].Key, std::string(255, 'L'));
  for (const FakeCall& c : calls) {
    EXPECT_EQ(c.KeyLen, 255);
    EXPECT_EQ(c.DataLen, 40u);
  }
  EXPECT_EQ(Bytes(rec), Record("FOUND"));  // the missing key left it
}

TEST_F(NumberedFilesTest, GreaterLessSelectorsChooseTheirOps) {
  Open(1);
  FakeEngine::Answer(Returns(TwoKeys()));
  BtrSetKeyNumber(1, 2);
  TDynCharArr rec(40);
  bool atEnd = true;
  Mark();
  for (int selector = 0; selector <= 5; ++selector) BtrGetGreaterLess(1, "M", rec, atEnd, selector);
  EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"8 k2 d40", "10 k2 d40", "9 k2 d40", "11 k2 d40"}));
  EXPECT_FALSE(BtrGetGreaterLess(1, "M", rec, atEnd, 5));
  EXPECT_FALSE(atEnd);
  FakeEngine::Answer(Fails(BtrStatus::EndOfFile));
  EXPECT_FALSE(BtrGetGreaterLess(1, "ZZ", rec, atEnd, 1));
  EXPECT_TRUE(atEnd);
  // No lock retry here: a lock answers False at once.
  Mark();
  FakeEngine::Answer(Fails(BtrStatus::RecordLocked));
  EXPECT_FALSE(BtrGetGreaterLess(1, "M", rec, atEnd, 3));
  EXPECT_EQ(CallsSinceMark().size(), 1u);
}

TEST_F(NumberedFilesTest, AKeyedFailureNamesFileOperationKeyAndStatus) {
  Open(3);
  TDynCharArr rec(40);
  bool locked, atEnd;
  FakeEngine::Answer(Fails(BtrStatus::InvalidKeyNumber));
  ExpectBtrAbort([&] { BtrKeyedOperation(3, "K1", rec, locked, atEnd, 205); },
                 "A record could not be located in the file. (filenum = 3)\r\rOperation code is 205. \r\rKeybuffer is "
                 "K1. \r\rBtrieve status 6.\rThe key number is not valid for this file",
                 6);
  // Key only: no buffer needed.
  TDynCharArr none;
  Mark();
  EXPECT_TRUE(BtrKeyedOperation(3, "K1", none, locked, atEnd, BtrOp::GetEqualKeyOnly));
  EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>{"55 k0 d40"});
  EXPECT_TRUE(none.empty());
}

// ---- writes ----

TEST_F(NumberedFilesTest, InsertSendsFourZeroBytesBeforeTheText) {
  Open(1);
  const std::string text = std::string("ABC\0DEF", 7) + std::string(29, ' ');
  BtrInsertRecord(1, text);
  ASSERT_EQ(CallsSinceMark().size(), 1u);
  const FakeCall insert = CallsSinceMark()[0];
  EXPECT_EQ(insert.Op, BtrOp::Insert);
  EXPECT_EQ(insert.DataLen, 40u);
  EXPECT_EQ(insert.Data, std::string(4, '\0') + text);

  // No lock retry on insert.
  Mark();
  FakeEngine::Answer(Fails(BtrStatus::RecordLocked));
  ExpectBtrAbort([&] { BtrInsertRecord(1, text); },
                 "This record could not be written.\rBtrieve status 84.\rThe record or page is locked", 84);
  EXPECT_EQ(CallsSinceMark().size(), 1u);
}

TEST_F(NumberedFilesTest, UpdateTakesThePrefixOfTheRecordLastReadAndReleasesItsLock) {
  Open(1);
  TDynCharArr rec(40);
  FakeEngine::Answer(Returns(std::string("\x11\x22\x33\x44", 4) + Record("OLD").substr(4)));
  FakeEngine::Answer(Returns(std::string("\x09\x00\x00\x00", 4)));  // the locked record's position
  EXPECT_TRUE(BtrGetEqual(1, "OLD", rec, true));
  BtrUpdateRecord(1, "NEW", rec);
  const std::vector<FakeCall> calls = CallsSinceMark();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(Describe(calls[0]), "205 k0 d40");
  EXPECT_EQ(Describe(calls[2]), "3 k0 d7");
  EXPECT_EQ(calls[2].Data, "\x11\x22\x33\x44NEW");
  EXPECT_EQ(Describe(calls[3]), "27 k0 d4");
  EXPECT_EQ(calls[3].Data, std::string("\x09\x00\x00\x00", 4));

  FakeEngine::Answer(Fails(BtrStatus::Conflict));
  ExpectBtrAbort([&] { BtrUpdateRecord(1, "NEW", rec); },
                 "This record could not be updated.\rBtrieve status 80.\rThe record was changed by another user after "
                 "it was read",
                 80);
  Mark();
  BtrDeleteRecord(1);
  EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>{"4 k0 d40"});
  FakeEngine::Answer(Fails(8));
  ExpectBtrAbort([] { BtrDeleteRecord(1); },
                 "This record could not be deleted.\rBtrieve status 8.\rThere is no current record to update or delete",
                 8);
}

// ---- the lock rule ----

TEST_F(NumberedFilesTest, ALockedReadIsRedoneExactlyUntilTheLockGoes) {
  Open(1);
  LockRetryMs = 1000;
  StepTicks(0);
  TDynCharArr rec(40);
  AnswerLocked(3);
  FakeEngine::Answer(Fails(BtrStatus::FileLocked));
  FakeEngine::Answer(Returns(Record("GOT IT")));
  EXPECT_TRUE(BtrGetEqual(1, "JONES", rec, true));
  EXPECT_EQ(Bytes(rec), Record("GOT IT"));
  const std::vector<FakeCall> calls = CallsSinceMark();
  ASSERT_EQ(calls.size(), 6u);  // five reads, then the locked record's position
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(calls[i].Op, 205);
    EXPECT_EQ(calls[i].Key, "JONES" + std::string(250, '\0'));
  }
  EXPECT_TRUE(questions_.empty());
}

TEST_F(NumberedFilesTest, ADeclinedRecordLockRaisesOrReturnsTheLastResult) {
  Open(1);
  LockRetryMs = 2;
  StepTicks(100);
  const TDynCharArr before = Buffer(Record("BEFORE"));
  TDynCharArr rec = before;
  bool atEnd = true;

  RecLockMsg = "That client is being edited elsewhere.  Retry?";
  AnswerQuestions({false, false, false, false});
  AnswerLocked(4 * 4);
  ExpectBtrAbort([&] { BtrGetEqual(1, "K", rec, true); }, Locked, 84);
  ExpectBtrAbort([&] { BtrGetFirst(1, rec, atEnd, true); }, Locked, 84);
  AbortOnLockNo = false;
  EXPECT_FALSE(BtrGetEqual(1, "K", rec, true));
  BtrGetLast(1, rec, atEnd, false);
  EXPECT_FALSE(atEnd);
  EXPECT_EQ(rec, before);
  EXPECT_EQ(questions_, std::vector<std::string>(4, "That client is being edited elsewhere.  Retry?"));
}

TEST_F(NumberedFilesTest, YesGivesAnotherPeriodAndTheQuestionGoesToTheDialogSeam) {
  Open(1);
  LockRetryMs = 1;
  StepTicks(0);
  DialogResponder dialogs;
  dialogs.Expect("A record lock was encountered.  Retry?", mrYes);
  TDynCharArr rec(40);
  bool atEnd;
  AnswerLocked(3);  // the read, then two redos up to the deadline
  FakeEngine::Answer(Returns(Record("FREE")));
  BtrGetNext(1, rec, atEnd, false);
  EXPECT_EQ(Bytes(rec), Record("FREE"));
  EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>(4, "6 k0 d40"));
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtConfirmation);
  EXPECT_EQ(dialogs.Boxes()[0].buttons, mbYesNo);
}

TEST_F(NumberedFilesTest, LockTextScopesHoldTheirTextAndPutTheDefaultBackHoweverTheyEnd) {
  EXPECT_EQ(DefaultRecLockMsg, "A record lock was encountered.  Retry?");
  EXPECT_EQ(DefaultFileLockMsg, "A file lock was encountered.  Retry?");
  Open(1);
  LockRetryMs = 0;
  StepTicks(0);
  AnswerQuestions({true});
  TDynCharArr rec(40);
  bool atEnd;
  {
    const TRecLockMsgScope scope("This matter is being edited elsewhere.  Retry?");
    AnswerLocked(2);
    BtrGetNext(1, rec, atEnd, true);
  }
  EXPECT_EQ(questions_, std::vector<std::string>{"This matter is being edited elsewhere.  Retry?"});

  struct Scoped {
    std::string& msg;
    const std::string& fallback;
    std::function<void()> scope;  // runs a scope of the text "scoped", which throws
  };
  const Scoped cases[] = {
      {RecLockMsg, DefaultRecLockMsg,
       [] {
         const TRecLockMsgScope scope("scoped");
         EXPECT_EQ(RecLockMsg, "scoped");
         throw EBtrAbort("x", 0);
       }},
      {FileLockMsg, DefaultFileLockMsg,
       [] {
         const TFileLockMsgScope scope("scoped");
         EXPECT_EQ(FileLockMsg, "scoped");
         throw EBtrAbort("x", 0);
       }},
  };
  for (const Scoped& c : cases) {
    SCOPED_TRACE(c.fallback);
    c.msg = "set before";
    EXPECT_THROW(c.scope(), EBtrAbort);
    EXPECT_EQ(c.msg, c.fallback);
  }
  EXPECT_EQ(RecLockMsg, DefaultRecLockMsg);
}

// Ticks that start just below 2^32 still give the whole period: a deadline
// kept in 32 bits would have wrapped to a small number and asked at once.
TEST_F(NumberedFilesTest, ADeadlineNearTwoToThe32StillRetriesTheWholePeriod) {
  Open(1);
  LockRetryMs = 100;
  StepTicks((uint64_t(1) << 32) - 10);
  AnswerQuestions({false});
  AnswerLocked(102);
  TDynCharArr rec(40);
  ExpectBtrAbort([&] { BtrGetEqual(1, "K", rec, false); }, Locked, 84);
  // The read, then a redo for each of the 101 ticks up to the deadline.
  ASSERT_EQ(callsAtQuestion_.size(), 1u);
  EXPECT_EQ(callsAtQuestion_[0] - (FakeEngine::Calls().size() - CallsSinceMark().size()), 102u);
}

TEST_F(NumberedFilesTest, UpdateAndDeleteRetryTheirLockAndADeclineAlwaysRaises) {
  Open(1);
  LockRetryMs = 3;
  StepTicks(0);
  TDynCharArr rec = Buffer(std::string("\x01\x00\x00\x00", 4) + Record("X").substr(4));
  AnswerLocked(2);
  BtrUpdateRecord(1, "NEW", rec);
  EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>(3, "3 k0 d7"));
  for (const FakeCall& c : CallsSinceMark()) EXPECT_EQ(c.Data, std::string("\x01\x00\x00\x00NEW", 7));

  // Declining leaves nothing written: never reported as done.
  AbortOnLockNo = false;
  AnswerQuestions({false, false});
  AnswerLocked(5);  // the write, then four redos up to the deadline
  ExpectBtrAbort([&] { BtrUpdateRecord(1, "NEW", rec); }, Locked, 84);
  AnswerLocked(5, BtrStatus::FileLocked);
  ExpectBtrAbort([] { BtrDeleteRecord(1); }, Locked, 85);
  FakeEngine::Reset();
  Mark();
  AnswerLocked(1);
  FakeEngine::Answer(Fails(BtrStatus::Conflict));
  ExpectBtrAbort([&] { BtrUpdateRecord(1, "NEW", rec); },
                 "This record could not be updated.\rBtrieve status 80.\rThe record was changed by another user after "
                 "it was read",
                 80);
}

// ---- positions and key numbers ----

TEST_F(NumberedFilesTest, PositionsAreFourRawBytesAndTheRecordSurvivesSaving) {
  Open(1);
  TDynCharArr rec = Buffer(Record("CURRENT"));
  FakeEngine::Answer(Fails(InvalidRecordAddress));
  ExpectBtrAbort([&] { BtrRestorePosition(1, rec); }, "No bookmark was set for this file.", 43);
  EXPECT_EQ(Bytes(rec), std::string(4, '\0') + Record("CURRENT").substr(4));  // the position it asked for
  rec = Buffer(Record("CURRENT"));

  FakeEngine::Answer(Returns(std::string("\x05\x01\x00\x80", 4)));
  const TBtrPosition saved = BtrSavePosition(1, rec);
  EXPECT_EQ(saved, (TBtrPosition{5, 1, 0, 0x80}));
  EXPECT_EQ(FileSlots[1].SavedPos, saved);
  EXPECT_EQ(Bytes(rec), Record("CURRENT"));

  Mark();
  FakeEngine::Answer(Returns(Record("THERE")));
  BtrRestorePosition(1, rec);
  EXPECT_EQ(Bytes(rec), Record("THERE"));
  ASSERT_EQ(CallsSinceMark().size(), 1u);
  EXPECT_EQ(Describe(CallsSinceMark()[0]), "23 k0 d40");
  EXPECT_EQ(CallsSinceMark()[0].Data.substr(0, 4), std::string("\x05\x01\x00\x80", 4));

  FakeEngine::Answer(Fails(InvalidRecordAddress));
  ExpectBtrAbort([&] { BtrRestorePosition(1, rec); },
                 "Unable to return to bookmark.\rBtrieve status 43.\rThe record address does not hold a record", 43);
  FakeEngine::Answer(Fails(InvalidRecordAddress));
  ExpectBtrAbort([&] { BtrGetDirect(1, rec, TBtrPosition{9, 0, 0, 0}); },
                 "Physical location invalid.\rBtrieve status 43.\rThe record address does not hold a record", 43);
  EXPECT_EQ(rec[0], 9);
  FakeEngine::Answer(Fails(8));
  ExpectBtrAbort([&] { BtrSavePosition(1, rec); },
                 "A bookmark could not be established.\rBtrieve status 8.\rThere is no current record to update or "
                 "delete",
                 8);
  EXPECT_EQ(FileSlots[1].SavedPos, saved);
}

TEST_F(NumberedFilesTest, KeyNumbersUpToTheKeyCountAreTaken) {
  Open(4);
  EXPECT_EQ(BtrGetKeyNumber(4), 0);
  FakeEngine::Answer(Returns(TwoKeys()));
  BtrSetKeyNumber(4, 2);  // the count itself: the engine refuses it at the next call
  EXPECT_EQ(BtrGetKeyNumber(4), 2);
  FakeEngine::Answer(Returns(TwoKeys()));
  ExpectBtrAbort([] { BtrSetKeyNumber(4, 3); },
                 "Unable to set an index for file #4.\r\rBtrieve status 6.\rThe key number is not valid for this file.",
                 6);
  EXPECT_EQ(BtrGetKeyNumber(4), 2);
  FakeEngine::Answer(Returns(TwoKeys()));
  EXPECT_EQ(BtrRecordCount(4), 7);
  EXPECT_EQ(BtrRecordLength(4), 40);
}

// ---- transactions ----

TEST_F(NumberedFilesTest, BeginTakesTheFirstBusySlotAndEndAndAbortReturnToNone) {
  std::string msg;
  ASSERT_TRUE(BtrLoadEngine(msg, 255));
  ExpectBtrAbort(BtrBeginTransaction,
                 "No files are currently opened.\r\rYou must have a file open to begin a transaction.", 0);
  EXPECT_EQ(TransFileNo, NoTransFile);
  ExpectBtrAbort(BtrEndTransaction, "Unable to commit a transaction.\r\rNo active transaction!", 0);
  ExpectBtrAbort(BtrAbortTransaction, "Unable to roll back a transaction.\r\rNo active transaction!", 0);

  Open(9, "C:\\DATA\\NINE.DAT");
  Open(3, "C:\\DATA\\THREE.DAT");
  BtrBeginTransaction();
  EXPECT_EQ(TransFileNo, 3);
  BtrEndTransaction();
  EXPECT_EQ(TransFileNo, NoTransFile);
  BtrBeginTransaction();
  BtrAbortTransaction();
  EXPECT_EQ(TransFileNo, NoTransFile);
  EXPECT_EQ(DescribedSinceMark(), (std::vector<std::string>{"1019 k0 d0", "20 k0 d0", "1019 k0 d0", "21 k0 d0"}));
  for (const FakeCall& c : CallsSinceMark()) EXPECT_EQ(c.PosBlock, BlockOf("C:\\DATA\\THREE.DAT"));

  FakeEngine::Answer(Fails(37));
  ExpectBtrAbort(BtrBeginTransaction,
                 "Unable to start a transaction.\rBtrieve status 37.\rA transaction is already in progress for this "
                 "client",
                 37);
}

TEST_F(NumberedFilesTest, EndAndAbortReachTheTransactionAfterItsSlotWasClosed) {
  Open(2, "C:\\DATA\\TWO.DAT");
  Open(6, "C:\\DATA\\SIX.DAT");
  for (const bool end : {true, false}) {
    SCOPED_TRACE(end ? "End" : "Abort");
    if (!BtrIsFileOpen(2)) Open(2, "C:\\DATA\\TWO.DAT");
    BtrBeginTransaction();
    BtrInsertRecord(6, Record("X").substr(4));
    BtrCloseFile(2);
    Mark();
    end ? BtrEndTransaction() : BtrAbortTransaction();
    ASSERT_EQ(CallsSinceMark().size(), 1u);
    EXPECT_EQ(CallsSinceMark()[0].Op, end ? 20 : 21);
    EXPECT_EQ(CallsSinceMark()[0].PosBlock, std::string(128, '\0'));  // a block of no file
    EXPECT_EQ(TransFileNo, NoTransFile);
  }
}

TEST_F(NumberedFilesTest, AnEndTheEngineRefusedCanStillBeAborted) {
  Open(1);
  BtrBeginTransaction();
  FakeEngine::Answer(Fails(BtrStatus::FileLocked));
  ExpectBtrAbort(BtrEndTransaction, "Unable to commit a transaction.\rBtrieve status 85.", 85);
  EXPECT_EQ(TransFileNo, NoTransFile);
  Mark();
  BtrAbortTransaction();
  EXPECT_EQ(DescribedSinceMark(), std::vector<std::string>{"21 k0 d0"});
  ExpectBtrAbort(BtrAbortTransaction, "Unable to roll back a transaction.\r\rNo active transaction!", 0);
  // An engine that knows of no transaction ends the matter too.
  BtrBeginTransaction();
  FakeEngine::Answer(Fails(BtrStatus::FileLocked));
  EXPECT_THROW(BtrEndTransaction(), EBtrAbort);
  FakeEngine::Answer(Fails(39));
  ExpectBtrAbort(BtrEndTransaction, "Unable to commit a transaction.\rBtrieve status 39.", 39);
  ExpectBtrAbort(BtrEndTransaction, "Unable to commit a transaction.\r\rNo active transaction!", 0);
}

}  // namespace
