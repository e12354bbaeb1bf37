#include "btrieve/engine_errors.h"
#include "btrieve/status_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

namespace {

// Runs raise, which must throw an engine error, and hands it to check.
void ExpectRaise(const std::function<void()>& raise,
                 const std::function<void(const EOrrinEngineError&)>& check) {
  try {
    raise();
    ADD_FAILURE() << "nothing raised";
  } catch (const EOrrinEngineError& e) {
    check(e);
  }
}

TEST(BtrieveErrors, StatusGivesClassCodeAndText) {
  const struct {
    int status;
    bool endOfFile;
    uint16_t code;
    const char* extra;
  } cases[] = {
      {9, true, 0x2202, ""},
      {-109, false, 0x2202, "Btrieve Error -109."},
      {84, false, 0x2801, "Btrieve Status 84 - The record or page is locked."},
      {81, false, 0x2801, "Btrieve Error 81."},
      {85, false, 0x2803, "Btrieve Status 85 - The file is locked."},
      {80, false, 0x2803, "Btrieve Status 80 - The record was changed by another user after it was read."},
      {3, false, 0x2401, "Btrieve Status 3 - The file is not open."},
      {12, false, 0x2704, "Btrieve Status 12 - The file could not be found."},
      {46, false, 46, "Btrieve Status 46 - The file was opened read-only and cannot be changed."},
      {1016, false, 1016, "Btrieve Status 1016 - The MicroKernel is already initialized."},
      {2999, false, 2999, "Btrieve Error 2999."},
      {-101, false, 0, "Btrieve Error -101."},
      {-108, false, 0xFF94, "Btrieve Error -108."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    ExpectRaise([&] { RaiseBtrieveError(c.status); }, [&](const EOrrinEngineError& e) {
      EXPECT_EQ(dynamic_cast<const EOrrinEOFError*>(&e) != nullptr, c.endOfFile);
      EXPECT_EQ(dynamic_cast<const EBtrieveEngineError*>(&e) != nullptr, !c.endOfFile);
      EXPECT_EQ(e.Code, c.code);
      EXPECT_EQ(e.NativeError, c.endOfFile ? 0 : c.status);
      EXPECT_EQ(e.GetExtraText(), c.extra);
      EXPECT_EQ(std::string(e.what()), c.endOfFile ? "DBIERR_EOF" : c.extra);
    });
  }
}

TEST(BtrieveErrors, KeyBytesFollowOnTheirOwnLine) {
  const std::string binaryKey("\x01\0\0\x02", 4);
  const std::string longKey = std::string(254, 'k') + "XY";
  const struct {
    int status;
    std::string key;
    std::string extra;
  } cases[] = {
      {12, "\\MDDATA\\MNGR007.DSC",
       "Btrieve Status 12 - The file could not be found.\r\nKey=[\\MDDATA\\MNGR007.DSC]"},
      {4, binaryKey, "Btrieve Status 4 - The application cannot find the key value.\r\nKey=[" + binaryKey + "]"},
      {81, "k", "Btrieve Error 81.\r\nKey=[k]"},
      {5, longKey, "Btrieve Status 5 - The record has a key field containing a duplicate key value.\r\nKey=[" +
                       longKey.substr(0, 255) + "]"},
      {5, "", "Btrieve Status 5 - The record has a key field containing a duplicate key value."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    ExpectRaise([&] { RaiseBtrieveErrorKey(c.status, c.key); }, [&](const EOrrinEngineError& base) {
      const auto& e = dynamic_cast<const EBtrieveEngineError&>(base);
      EXPECT_EQ(e.KeyLen, std::min<size_t>(c.key.size(), 255));
      EXPECT_EQ(e.KeyText, c.key.substr(0, 255));
      EXPECT_EQ(e.GetExtraText(), c.extra);
      EXPECT_EQ(e.Message, c.extra);
    });
  }
  // End of file stays the end-of-file error, key or not.
  ExpectRaise([] { RaiseBtrieveErrorKey(9, "name"); },
              [](const EOrrinEngineError& e) { EXPECT_EQ(typeid(e), typeid(EOrrinEOFError)); });
}

TEST(EngineErrors, RaisersAndChecks) {
  const std::string longMsg(300, 'm');
  const struct {
    const char* name;
    std::function<void()> raise;
    const std::type_info& type;
    uint16_t code;
    std::string msg;
    std::string what;
  } cases[] = {
      {"code", [] { RaiseEngineError(ecNoSuchTable); }, typeid(EOrrinEngineError), 0x2728, "", "DBIERR_NOSUCHTABLE"},
      {"unnamed", [] { RaiseEngineError(0x1234); }, typeid(EOrrinEngineError), 0x1234, "", "Orrin (BDE) Error 4660."},
      {"msg", [] { RaiseEngineErrorMsg(ecNoSuchTable, "CLIENTS"); }, typeid(EOrrinEngineError), 0x2728, "CLIENTS", "CLIENTS"},
      {"long msg", [&] { RaiseEngineErrorMsg(ecNA, longMsg); }, typeid(EOrrinEngineError), 0x2A04,
       longMsg.substr(0, 255), longMsg.substr(0, 255)},
      {"eof", [] { RaiseEOF(); }, typeid(EOrrinEOFError), 0x2202, "", "DBIERR_EOF"},
      {"bof", [] { RaiseBOF(); }, typeid(EOrrinBOFError), 0x2201, "", "DBIERR_BOF"},
      {"not supported", [] { NotSupported(9050); }, typeid(EOrrinEngineError), 0x3001, "", "DBIERR_NOTSUPPORTED"},
      {"condition", [] { CheckCondition(false, ecNotIndexed); }, typeid(EOrrinEngineError), 0x2A05, "", "DBIERR_NOTINDEXED"},
      {"assigned", [] { CheckAssigned<int>(nullptr, ecNoCurrRec); }, typeid(EOrrinEngineError), 0x2205, "", "DBIERR_NOCURRREC"},
      {"param", [] { CheckParam<int>(nullptr); }, typeid(EOrrinEngineError), 0x2702, "", "DBIERR_INVALIDPARAM"},
      {"handle", [] { CheckHandle<int>(nullptr); }, typeid(EOrrinEngineError), 0x2706, "", "DBIERR_INVALIDHNDL"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.raise();
      ADD_FAILURE() << "nothing raised";
    } catch (const EAbort& abort) {  // silent to the application's handler
      const auto& e = dynamic_cast<const EOrrinEngineError&>(abort);
      EXPECT_EQ(typeid(e), c.type);
      EXPECT_EQ(e.Code, c.code);
      EXPECT_EQ(e.Msg, c.msg);
      EXPECT_EQ(e.NativeError, 0);
      EXPECT_EQ(std::string(e.what()), c.what);
    }
  }
  int value = 0;
  EXPECT_EQ(CheckHandle(&value), &value);
  EXPECT_NO_THROW(CheckCondition(true, ecNA));
}

TEST(EngineErrors, StatusToCodeTable) {
  ASSERT_EQ(std::size(BtrieveCodePairs), 65u);
  EXPECT_EQ(BtrieveCodePairs[0].Status, 0);
  EXPECT_EQ(BtrieveCodePairs[0].Code, 0);
  const struct {
    int status;
    uint16_t code;
  } cases[] = {
      {0, 0},         {1, 0x2702},     {9, 0x2202},   {20, 0x2A06},  {81, 0x2801},  {84, 0x2801},
      {80, 0x2803},   {85, 0x2803},    {46, 46},      {21, 21},      {2120, 0x250E}, {538, 0x2727},
      {-101, 0},      {-107, 0},       {-108, 0xFF94}, {-109, 0x2202}, {-110, 0},    {-116, 0},
      {-117, 0xFF8B}, {70000, 70000 & 0xFFFF},
  };
  for (const auto& c : cases) EXPECT_EQ(BtrieveStatusCode(c.status), c.code) << c.status;

  // First match wins in any table.
  const TCodePair table[] = {{7, 1}, {7, 2}};
  EXPECT_EQ(LookupCodePair(table, 2, 7), 1);
  EXPECT_EQ(LookupCodePair(table, 0, 7), 7);
}

TEST(EngineErrors, EngineErrorTextIsNamedOrNumberedAndCut) {
  EXPECT_EQ(EngineErrorText(0), "DBIERR_NONE");
  EXPECT_EQ(EngineErrorText(0x2744), "DBIERR_INVALIDTABLECREATE");
  EXPECT_EQ(EngineErrorText(0x2513), "DBIERR_DRIVERLIMIT");
  EXPECT_EQ(EngineErrorText(0x2401), "Orrin (BDE) Error 9217.");
  EXPECT_EQ(EngineErrorText(0x2744, 10), "DBIERR_INV");
  EXPECT_EQ(EngineErrorText(0x2401, 5), "Orrin");
  EXPECT_EQ(EngineErrorText(0x2202, 0), "");
}

TEST(ErrorStack, NewestFirstOldestFallsOff) {
  TErrorStack stack(20);
  for (int status = 1; status <= 21; ++status) stack.PushException(EBtrieveEngineError(status));
  EXPECT_EQ(stack.Count(), 20);

  TErrorEntry entry;
  EXPECT_FALSE(stack.GetEntry(0, entry));
  EXPECT_FALSE(stack.GetEntry(21, entry));
  ASSERT_TRUE(stack.GetEntry(20, entry));
  EXPECT_EQ(entry.NativeError, 2);  // status 1 fell off
  ASSERT_TRUE(stack.GetEntry(1, entry));
  EXPECT_EQ(entry.NativeError, 21);

  stack.Clear();
  EXPECT_EQ(stack.Count(), 0);
  EXPECT_FALSE(stack.GetEntry(1, entry));
}

TEST(ErrorStack, EntryKeepsTheExceptionsTexts) {
  TErrorStack stack(3);
  stack.PushException(EBtrieveEngineError(12, "\\MDDATA\\X.DAT"));
  stack.PushException(EOrrinEngineError(ecNoSuchTable, "CLIENTS"));

  TErrorEntry entry;
  ASSERT_TRUE(stack.GetEntry(2, entry));
  EXPECT_EQ(entry.NativeError, 12);
  EXPECT_EQ(entry.Code, 0x2704);
  EXPECT_EQ(entry.ExtraText, "Btrieve Status 12 - The file could not be found.\r\nKey=[\\MDDATA\\X.DAT]");
  EXPECT_EQ(entry.CodeText, "Orrin (BDE) Error 9988.");
  EXPECT_EQ(entry.Message, "");
  ASSERT_TRUE(stack.GetEntry(1, entry));
  EXPECT_EQ(entry.NativeError, 0);
  EXPECT_EQ(entry.Code, 0x2728);
  EXPECT_EQ(entry.ExtraText, "");
  EXPECT_EQ(entry.CodeText, "DBIERR_NOSUCHTABLE");
  EXPECT_EQ(entry.Message, "CLIENTS");
}

TEST(ErrorStack, CapacityIsCutToTwentyAndZeroKeepsNothing) {
  TErrorStack big(25);
  EXPECT_EQ(big.Capacity(), 20);
  for (int i = 0; i < 30; ++i) big.PushException(EOrrinEOFError());
  EXPECT_EQ(big.Count(), 20);

  TErrorStack none(0);
  none.PushException(EOrrinEOFError());
  EXPECT_EQ(none.Count(), 0);
  TErrorEntry entry;
  EXPECT_FALSE(none.GetEntry(0, entry));
  EXPECT_FALSE(none.GetEntry(1, entry));
}

TEST(StatusText, TheQuotedTextsAreVerbatim) {
  const struct {
    int status;
    const char* text;
  } cases[] = {
      {3, "The file is not open"},
      {4, "The application cannot find the key value"},
      {5, "The record has a key field containing a duplicate key value"},
      {9, "The operation encountered the end-of-file"},
      {22, "The data buffer parameter is too short"},
      {84, "The record or page is locked"},
      {85, "The file is locked"},
      {88, "The application encountered an incompatible mode error"},
      {1016, "The MicroKernel is already initialized"},
  };
  for (const auto& c : cases) EXPECT_EQ(BtrieveStatusText(c.status), c.text) << c.status;
  for (int status : {0, 7, 81, 2999, -101, -125, -1}) EXPECT_EQ(BtrieveStatusText(status), "") << status;
}

TEST(StatusText, EveryStatusTheEngineReturnsHasOne) {
  // What the engine answers for its own files, clients, locks and
  // transactions, what WBTRVINIT answers, and what this layer raises itself.
  const int statuses[] = {1,  2,  3,  4,  5,  6,  8,  9,  10, 11, 12, 20, 21, 22, 25, 26, 27, 28,
                          29, 30, 37, 39, 43, 44, 46, 59, 80, 84, 85, 86, 88, 1016};
  for (int status : statuses) {
    const std::string text = BtrieveStatusText(status);
    EXPECT_FALSE(text.empty()) << status;
    EXPECT_NE(text.back(), '.') << status;
  }
}

}  // namespace
