#include "platform/errors.h"
#include "platform/qt/exception_reporter.h"
#include "testing/dialog_responder.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// An engine error: silent like every EAbort, whatever it carries.
class EEngineLike : public EAbort {
public:
  EEngineLike() : EAbort("Btrieve status 5.") {}
};

}  // namespace

TEST(ReportException, ShowsTheMessageInAnErrorBox) {
  DialogResponder dialogs;
  dialogs.Expect("Unable to open the file.\r\rDisk full", mrOk).Expect("bad conversion", mrOk);
  ReportException(EInOutError("Unable to open the file.\r\rDisk full"));
  ReportException(std::runtime_error("bad conversion"));
  ASSERT_EQ(dialogs.Boxes().size(), 2u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
  EXPECT_EQ(dialogs.Boxes()[0].buttons, mbOKOnly);
}

TEST(ReportException, SilentForEAbortAndItsDescendants) {
  DialogResponder dialogs;  // any box fails the test
  ReportException(EAbort());
  ReportException(EEngineLike());
  EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST(GuardEvent, ReportsWhateverTheHandlerThrows) {
  struct Case {
    const char* name;
    std::function<void()> handler;
    bool ranToEnd;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {"no throw", [] {}, true, {}},
      {"Exception", [] { throw EConvertError("'12x' is not a valid integer value"); }, false,
       {"'12x' is not a valid integer value"}},
      {"EAbort", [] { Abort(); }, false, {}},
      {"std::exception", [] { throw std::out_of_range("index 9"); }, false, {"index 9"}},
      {"not an exception", [] { throw 42; }, false, {"An unexpected error occurred."}},
  };
  for (const Case& c : cases) {
    DialogResponder dialogs;
    for (const std::string& text : c.shown) dialogs.Expect(text, mrOk);
    EXPECT_EQ(GuardEvent(c.handler), c.ranToEnd) << c.name;
    EXPECT_EQ(dialogs.Texts(), c.shown) << c.name;
  }
}

TEST(GuardEvent, KeepsTheEventLoopRunningPastAThrowingHandler) {
  DialogResponder dialogs;
  dialogs.Expect("first failed", mrOk);
  bool secondRan = false;
  QTimer::singleShot(0, [] { GuardEvent([] { throw Exception("first failed"); }); });
  QTimer::singleShot(0, [&] { GuardEvent([&] { secondRan = true; }); });
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(secondRan);
}
