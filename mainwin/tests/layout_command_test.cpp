// Printing a template's layout through the real main window: the pages the
// generator makes come out of the PDF stand-in as its text, page for page;
// without a printer, or with a lookup target that cannot be read, a message
// and no document.
#include "mainwin/mtdesk_form.h"

#include "mainwin/layout_lines.h"
#include "mainwin/layout_print.h"
#include "mainwin/tests/main_window_fixture.h"
#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/printers.h"
#include "platform/qt/printers_qt.h"
#include "platform/text.h"
#include "templates/email_setup.h"
#include "templates/master_file.h"
#include "templates/printer_list.h"
#include "templates/template_build.h"
#include "templates/template_target.h"
#include "testing/dialog_responder.h"
#include "testing/pdf_text.h"
#include "testing/template_fixture.h"

#include <QAction>
#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class LayoutCommandTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    previous_ = InstallQtPrinters();
    SetPrintToPdf(Pdf);
    ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  }
  void TearDown() override {
    SetPrintToPdf("");
    SetPrinterProvider(previous_);
    MainWindowTest::TearDown();
  }

  // Clients (three fields, unique on its code), then Matters: 50 fields,
  // a family lookup, a lookup into Clients, two indexes.
  void BuildOffice(const std::string& ClientsTarget = "") {
    {
      TTemplateTableBuilder t;
      t.Add("Client Code", 'C', 7);
      t.Add("Client Name", 'C', 30);
      t.Add("Since", 'D', 8);
      t.Index(1, {1}, true, "By code");
    }
    ASSERT_TRUE(BuildTemplateDataFile("Clients"));
    std::vector<TMasterRecord> templates;
    ASSERT_EQ(ReadTemplateList(templates), TTemplateListRead::Read);
    std::string target = ClientsTarget;
    for (const TMasterRecord& m : templates)
      if (m.Name == "Clients" && target.empty()) target = "MNGR" + m.Number.ZeroFilled() + ".DSC";
    {
      TTemplateTableBuilder t;
      for (int i = 1; i <= MaxFields - 2; ++i) t.Add(Format("Field %.2d", {i}), i % 2 ? 'C' : 'N', 6);
      TFld& family = t.Add("Family", 'C', 7);
      family.IsLookup = true;
      family.LkpKind = "L";
      family.LkpSpec = "A  0  1";
      family.DispCols[1] = 1;
      family.DispCols[2] = 2;
      family.DispCols[3] = 3;
      TFld& client = t.Add("Client", 'C', 11);
      client.IsLookup = true;
      client.LkpKind = "M";
      client.LkpTarget = target;
      client.LkpSpec = "1  1";
      client.DispCols[1] = 2;
      t.Index(1, {1}, true, "By first");
      t.Index(2, {50, 2}, false, "By client");
    }
    ASSERT_TRUE(BuildTemplateDataFile("Matters"));
  }

  void StartOn(const std::string& Name) {
    Start();
    const auto found = Form->ListBox1->findItems(WidgetText(Name), Qt::MatchStartsWith);
    ASSERT_EQ(found.size(), 1);
    Form->ListBox1->setCurrentItem(found[0]);
    Form->ListBox1Click();
  }

  // The width of a printed character in points, as a job to a scratch
  // file measures it.
  double PrintedPitch() {
    SetPrintToPdf(TempPath("scratch.pdf"));
    std::unique_ptr<TPrintJob> job = BeginPrintJob("scratch");
    SetPrintToPdf(Pdf);
    if (!job) {
      ADD_FAILURE() << "no job";
      return 0;
    }
    const TLayoutFont font = LayoutFontFor(*job);
    job->SetFont(font.Height, false);
    return job->TextWidth("A") * 72.0 / job->PixelsPerInchX();
  }

  const std::string Pdf = TempPath("layout.pdf");
  PrinterProvider* previous_ = nullptr;
};

std::vector<std::string> NonBlank(const std::vector<std::string>& Lines) {
  std::vector<std::string> kept;
  for (const std::string& line : Lines)
    if (!Trim(line).empty()) kept.push_back(TrimRight(line));
  return kept;
}

TEST_F(LayoutCommandTest, TheLayoutComesOutPageForPageAsTheGeneratorMadeIt) {
  BuildOffice();
  StartOn("Matters");
  ASSERT_TRUE(Form->Printlayoutfor1->isEnabled());
  {
    DialogResponder dialogs;
    Form->Printlayoutfor1->trigger();
    EXPECT_TRUE(dialogs.Boxes().empty());
  }
  // The tables stay loaded: the same pages again, for the PDF's measures.
  TLayoutTargets targets;
  for (const std::string& target : LayoutLookupTargets()) ASSERT_TRUE(ReadTemplateFields(target, targets[target]));
  const std::vector<TLayoutPage> pages = LayoutPages(12600, 12600 / LayoutLinesPerPage, targets);
  ASSERT_GE(pages.size(), 2u);
  const std::vector<std::vector<std::string>> printed = PdfPages(Pdf, PrintedPitch());
  ASSERT_EQ(printed.size(), pages.size());
  for (size_t p = 0; p < pages.size(); ++p) {
    std::vector<std::string> want;
    for (const TLayoutLine& line : pages[p]) want.push_back(line.Text);
    EXPECT_EQ(NonBlank(printed[p]), NonBlank(want)) << "page " << p + 1;
  }
  const std::vector<std::string>& second = printed[1];
  EXPECT_EQ(second.front(), "Matters" + std::string(101, ' ') + "   Page 2");
  const std::vector<std::string>& last = printed.back();
  EXPECT_EQ(TrimRight(last.back()), "By client                   No       Client                     Field 02");
  // The lookup into Clients names its fields.
  bool named = false;
  for (const auto& page : printed)
    for (const std::string& line : page)
      named = named || line == "                  Drop down:  Client Code                     Display:  Client Name";
  EXPECT_TRUE(named);
}

TEST_F(LayoutCommandTest, WithoutAPrinterOnlyTheMessageShows) {
  BuildOffice();
  StartOn("Matters");
  SetPrinterProvider(nullptr);
  DialogResponder dialogs;
  dialogs.Expect(NoPrintersMsg);
  Form->Printlayoutfor1->trigger();
  EXPECT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Pdf));
}

TEST_F(LayoutCommandTest, ALookupTargetThatCannotBeReadStopsThePrintout) {
  BuildOffice("MNGR009.DSC");
  StartOn("Matters");
  DialogResponder dialogs;
  dialogs.Expect(
      "Unable to read the description file MNGR009.DSC.\r\rYou will not be able to print this file layout at this "
      "time.");
  Form->Printlayoutfor1->trigger();
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
  EXPECT_FALSE(std::filesystem::exists(Pdf));
  EXPECT_FALSE(std::filesystem::exists(Pdf + ".part"));
}

TEST_F(LayoutCommandTest, NothingSelectedPrintsNothing) {
  BuildOffice();
  Start();
  Form->ListBox1->setCurrentRow(-1);
  DialogResponder dialogs;
  dialogs.Expect("Highlight a template first.");
  Form->Printlayoutfor1Click();
  EXPECT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Pdf));
}

}  // namespace
