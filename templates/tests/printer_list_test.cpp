#include "templates/printer_list.h"

#include "platform/printers.h"
#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Names = std::vector<std::string>;

namespace {

class FakePrinters : public PrinterProvider {
public:
  Names Installed;
  int Asked = 0;
  Names PrinterNames() override {
    ++Asked;
    return Installed;
  }
};

class PrinterListTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetPrinterList();
    previous_ = SetPrinterProvider(&Printers);
  }
  void TearDown() override {
    SetPrinterProvider(previous_);
    ResetPrinterList();
  }
  FakePrinters Printers;

private:
  PrinterProvider* previous_ = nullptr;
};

const std::string NoPrinterText =
    "You have no windows printers!\r\r"
    "You must have at least one windows printer in order to print CORVENSTEAD reports.";

TEST_F(PrinterListTest, NamesAreCutBeforeOnInTheProvidersOrder) {
  Printers.Installed = {"Zeta Laser on lp0", " on the shelf", "HP on on  on x", "Brother", "PDF on", "Canon\xe9 on usb:"};
  EXPECT_EQ(BuildPrinterList(), (Names{"Zeta Laser", " on the shelf", "HP", "Brother", "PDF on", "Canon\xe9"}));
}

TEST_F(PrinterListTest, BuiltOncePerRun) {
  Printers.Installed = {"First"};
  const Names& first = BuildPrinterList();
  Printers.Installed = {"First", "Added later"};
  EXPECT_EQ(BuildPrinterList(), (Names{"First"}));
  EXPECT_EQ(&BuildPrinterList(), &first);
  EXPECT_EQ(Printers.Asked, 1);

  ResetPrinterList();
  EXPECT_EQ(BuildPrinterList(), (Names{"First", "Added later"}));
}

TEST_F(PrinterListTest, NoPrinterIsToldOnce) {
  DialogResponder boxes;
  boxes.Expect(NoPrinterText);
  EXPECT_TRUE(BuildPrinterList().empty());
  EXPECT_TRUE(BuildPrinterList().empty());
  EXPECT_EQ(boxes.Texts(), (Names{NoPrinterText}));
  EXPECT_EQ(Printers.Asked, 1);
}

TEST_F(PrinterListTest, WithoutAProviderNoPrinterIsKnown) {
  SetPrinterProvider(nullptr);
  DialogResponder boxes;
  boxes.Expect(NoPrinterText);
  EXPECT_TRUE(BuildPrinterList().empty());
}

}  // namespace
