// The lookup form driven offscreen: its stages, the family-file rules, the
// dialogs it opens, the store and load of a field's lookup, and the tiles
// under keys, mouse, hover, hold and drop. Boxes answered by the responder.
#include "designer/qt/lookup_form.h"

#include "designer/qt/edit_dd_form.h"
#include "designer/qt/edit_disp_form.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/get_desc_form.h"
#include "designer/qt/make_cli_form.h"
#include "testing/dialog_driver.h"
#include "testing/sample_office_folder.h"
#include "entry/qt/entry_form.h"
#include "platform/datetime_value.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"
#include "templates/store_constants.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/keyboard.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

Names Items(const QListWidget* List) {
  Names out;
  for (int k = 0; k < List->count(); ++k) out.push_back(StoredText(List->item(k)->text()));
  return out;
}

// The enabled catalogue tiles as ranges: "0,22,62".
std::string EnabledTiles(const TLKUPF& Form) {
  TTileStates states{};
  for (int code = 0; code < TileCount; ++code) states[size_t(code)] = Form.Tile(code)->isEnabled();
  std::string out;
  for (int code = 0; code < TileCount; ++code) {
    if (!states[size_t(code)] || (code > 0 && states[size_t(code - 1)])) continue;
    int last = code;
    while (last + 1 < TileCount && states[size_t(last + 1)]) ++last;
    if (!out.empty()) out += ",";
    out += std::to_string(code) + (last > code ? "-" + std::to_string(last) : "");
  }
  return out;
}

// Answers the next TMakeCliF with an item.
void AnswerMakeCli(int Item) {
  WhenModal<TMakeCliF>([Item](TMakeCliF& ask) {
    ask.RadioGroup1->SetItemIndex(Item);
    QTest::mouseClick(ask.BitBtnSave, Qt::LeftButton);
  });
}

// Picks description line N in the next TGetDescF (0: cancels it).
void AnswerDescLine(int N) {
  WhenModal<TGetDescF>([N](TGetDescF& ask) {
    if (N == 0) return QTest::mouseClick(ask.BitBtnCancel, Qt::LeftButton);
    ask.ListBox1->setCurrentRow(N - 1);
    QTest::mouseClick(ask.BitBtnSave, Qt::LeftButton);
  });
}

void Drop(QListWidget* List, QMimeData* Data) {
  std::unique_ptr<QMimeData> data(Data);
  const QPoint at(10, 10);
  QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(List->viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(List->viewport(), &drop);
}

class LookupFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    Store.Reset();
    Startup.Reset();
    FamilyLookup.Reset();
    // The preview's lookups read the family files.
    Store.DataRoot = SampleOfficeFolder();
    form = std::make_unique<TLKUPF>();
    form->HandOver.FieldName = "Matter";
    form->HandOver.Width = 10;
    form->HandOver.ListCount = 3;
  }
  void TearDown() override {
    form.reset();
    Store.Reset();
    Startup.Reset();
    FamilyLookup.Reset();
  }

  // Shown modeless and active, in the first stage.
  void Open() {
    form->ResetForField();
    ShowActive(*form);
  }
  // Kind L chosen and the first OK pressed.
  void OpenFamilyKind() {
    Open();
    ClickIndicator(form->RadioGroup1->Item(TLKUPF::KindL));
    QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
    ASSERT_FALSE(form->LookupKindStage);
  }
  // A tile clicked, the guard's second passed first; it is highlighted.
  void Pick(int Code) {
    clock.Advance(TLKUPF::PressGuardMs);
    QTest::mouseClick(form->Tile(Code), Qt::LeftButton);
    ASSERT_EQ(form->HighlightTile, form->Tile(Code));
  }
  void AddDropdown(int Code) {
    Pick(Code);
    QTest::mouseClick(form->BitBtnDropDown, Qt::LeftButton);
  }
  void AddDisplay(int Code) {
    Pick(Code);
    QTest::mouseClick(form->BitBtnDisplayed, Qt::LeftButton);
  }
  // A listed client lookup: no question for a case-suffix lookup.
  void WithClientLookup() {
    TFld client;
    client.Name = "Client";
    client.IsLookup = true;
    client.LkpKind = "L";
    client.LkpSpec = "A  0";
    form->HandOver.ListedFields = {client};
  }

  ScopedClock clock{EncodeDate(2026, 1, 5) + 0.5};
  // The hold and hover timers fire only where a test fires them.
  THandDrivenTimers timers;
  DialogResponder boxes;
  std::unique_ptr<TLKUPF> form;
};

TEST_F(LookupFormTest, StagesFromCompactKindChoiceToTheTilesAndBack) {
  Open();
  EXPECT_EQ(StoredText(form->windowTitle()), "Corvenstead Matterdesk Lookup Maintenance");
  EXPECT_TRUE(form->LookupKindStage);
  EXPECT_EQ(form->Kind(), TLKUPF::NoKind);
  EXPECT_FALSE(form->BitBtnSave->isEnabled());
  EXPECT_FALSE(form->PanelTiles->isVisible());
  EXPECT_FALSE(form->PanelLists->isVisible());
  EXPECT_TRUE(form->RadioGroup1->Item(TLKUPF::KindL)->isEnabled());
  EXPECT_TRUE(form->RadioGroup1->Item(TLKUPF::KindM)->isEnabled());
  EXPECT_TRUE(form->RadioGroup1->Item(TLKUPF::KindU)->isEnabled());
  EXPECT_EQ(StoredText(form->RadioGroup1->Item(0)->text()), "Fields in a Corvenstead file");
  const int compact = form->height();

  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);  // disabled: nothing
  EXPECT_TRUE(form->LookupKindStage);
  ClickIndicator(form->RadioGroup1->Item(TLKUPF::KindL));
  EXPECT_TRUE(form->BitBtnSave->isEnabled());
  EXPECT_TRUE(form->CBForced->isChecked());
  EXPECT_FALSE(form->CBForced->isEnabled());
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_FALSE(form->LookupKindStage);
  EXPECT_TRUE(form->PanelTiles->isVisible());
  EXPECT_TRUE(form->PanelLists->isVisible());
  EXPECT_GT(form->height(), compact);
  EXPECT_EQ(EnabledTiles(*form), "0,22,62");
  EXPECT_EQ(StoredText(form->LabelFieldName2->text()), "Matter");
  EXPECT_TRUE(form->LabelInstruction->isVisible());
  EXPECT_FALSE(form->CBAltLookup->isVisible());
  for (int code : {18, 40, 58}) EXPECT_TRUE(form->Tile(code)->isHidden()) << code;
  for (int code : {0, 22, 62}) EXPECT_TRUE(form->Tile(code)->Bold()) << code;
  EXPECT_FALSE(form->Tile(1)->Bold());
  EXPECT_EQ(StoredText(form->Tile(25)->text()), "Case description info...");
  EXPECT_EQ(form->Tile(63)->objectName().toStdString(), "StatText63");

  // Kind L chosen again in the second stage starts the tiles afresh.
  AddDropdown(0);
  ClickIndicator(form->RadioGroup1->Item(TLKUPF::KindL));
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());
  EXPECT_EQ(EnabledTiles(*form), "0,22,62");

  // The second OK with an empty dropdown list closes unaccepted.
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->HandOver.LookupAccepted);

  // Again, accepted with a dropdown field; the width goes back too.
  OpenFamilyKind();
  AddDropdown(62);
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->HandOver.LookupAccepted);
  EXPECT_EQ(form->HandOver.Width, 4);

  // Cancel closes unaccepted; ResetForField makes it compact again.
  OpenFamilyKind();
  AddDropdown(0);
  QTest::mouseClick(form->CloseBitBtn, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->HandOver.LookupAccepted);
  form->ResetForField();
  EXPECT_TRUE(form->LookupKindStage);
  EXPECT_TRUE(form->PanelTiles->isHidden());
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());
}

TEST_F(LookupFormTest, ALockedLookupPassesTheFirstStageAtOnceWithTheKindFixed) {
  TFld stored;
  stored.LkpKind = "L";
  stored.LkpSpec = "B 22";
  stored.DispCols[1] = 32;
  form->ResetForField();
  form->LoadCorvensteadLookup(stored, Store.AltLookupOn);
  form->HandOver.LookupLocked = true;
  ShowActive(*form);
  EXPECT_FALSE(form->LookupKindStage);
  EXPECT_FALSE(form->RadioGroup1->isEnabled());
  EXPECT_TRUE(form->PanelTiles->isVisible());
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Case suffix"});
  boxes.Expect(DropdownLockedMsg + ContactMsg);
  QTest::mouseClick(form->BitBtnEditL, Qt::LeftButton);
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Case suffix"});
}

TEST_F(LookupFormTest, TheFirstDropdownFieldEnablesItsHostsTiles) {
  WithClientLookup();
  struct Case {
    int code;
    std::string enabled;
    std::string label;
  };
  const Case cases[] = {
      {0, "0-21", "Make the field Client Name available as an alternative lookup."},
      {22, "0-61", "Make the field Case Alternate ID available as an alternative lookup."},
      {62, "62-67", "Make the field Employee Name available as an alternative lookup."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    OpenFamilyKind();
    AddDropdown(c.code);
    EXPECT_EQ(Items(form->ListBoxDropdown), Names{HostNameOfCode(c.code)});
    EXPECT_EQ(EnabledTiles(*form), c.enabled);
    EXPECT_EQ(StoredText(form->LabelAltLookup->text()), c.label);
    EXPECT_TRUE(form->CBAltLookup->isVisible());
    EXPECT_FALSE(form->LabelInstruction->isVisible());
    form->hide();
  }
}

TEST_F(LookupFormTest, DropdownRules) {
  WithClientLookup();
  OpenFamilyKind();
  // Only an index field may come first.
  form->ActiveControlChange(form->Tile(5));
  boxes.Expect(FirstNotIndexMsg);
  QTest::mouseClick(form->BitBtnDropDown, Qt::LeftButton);
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());

  AddDropdown(22);
  AddDropdown(32);
  boxes.Expect("Department code is already included in the dropdown list.");
  AddDropdown(32);
  // A description line: chosen, refused twice, nothing when cancelled.
  AnswerDescLine(3);
  AddDropdown(25);
  AnswerDescLine(3);
  boxes.Expect("Case description line 3 is already included in the dropdown list.");
  AddDropdown(25);
  AnswerDescLine(0);
  AddDropdown(25);
  AddDropdown(34);
  EXPECT_EQ(Items(form->ListBoxDropdown),
            (Names{"Case suffix", "Department code", "Case description line 3", "Case type 1 code"}));
  boxes.Expect(DropdownFullMsg);
  AddDropdown(36);
  EXPECT_EQ(form->ListBoxDropdown->count(), 4);
}

TEST_F(LookupFormTest, ACaseSuffixLookupAsksForAClientLookupAndActsOnTheAnswer) {
  struct Case {
    const char* name;
    int item;
    bool adding;
    int listed;
    std::string message;
    bool autoLookup;
    bool added;  // Case suffix listed, the form still open
  };
  const Case cases[] = {
      {"create one", TMakeCliF::CreateOne, true, 3, "", true, true},
      {"unique suffixes", TMakeCliF::UniqueSuffixes, true, 3, "", false, true},
      {"my own later", TMakeCliF::CreateMyself, true, 3, NoClientLookupReminder, false, true},
      {"back out", TMakeCliF::BackOut, true, 3, "", false, false},
      // No slot left for a 51st field: the message, no automatic field.
      {"create one, no room", TMakeCliF::CreateOne, true, 49, NoRoomForClientLookupMsg, false, true},
      // An edit never creates it: the reminder instead.
      {"create one while editing", TMakeCliF::CreateOne, false, 3, NoClientLookupReminder, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form->HandOver.Adding = c.adding;
    form->HandOver.EditedField = c.adding ? -1 : 0;
    form->HandOver.ListCount = c.listed;
    OpenFamilyKind();
    AnswerMakeCli(c.item);
    if (!c.message.empty()) boxes.Expect(c.message);
    AddDropdown(22);
    EXPECT_EQ(form->HandOver.AutoClientLookup, c.autoLookup);
    EXPECT_EQ(form->isVisible(), c.added);
    EXPECT_EQ(Items(form->ListBoxDropdown), c.added ? Names{"Case suffix"} : Names{});
    EXPECT_EQ(boxes.Pending(), 0u);
    form->hide();
  }
  // A listed client lookup: no question at all.
  form->HandOver.Adding = true;
  form->HandOver.EditedField = -1;
  WithClientLookup();
  OpenFamilyKind();
  AddDropdown(22);
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Case suffix"});
}

TEST_F(LookupFormTest, DisplayFieldsByButtonPopupMenuAndTheAlternativeBox) {
  OpenFamilyKind();
  boxes.Expect(KeyFirstMsg);
  AddDisplay(0);
  AddDropdown(0);
  AddDisplay(5);
  boxes.Expect("The field \"City\" has already been selected.");
  AddDisplay(5);
  // The popup menu acts on the tile it was opened on.
  Pick(5);
  emit form->Tile(7)->customContextMenuRequested(QPoint(3, 3));
  EXPECT_EQ(form->HighlightTile, form->Tile(7));
  EXPECT_TRUE(form->PopupMenu1->isVisible());
  form->SelectForDisplay->trigger();
  form->PopupMenu1->hide();
  EXPECT_EQ(Items(form->ListBoxDisplayed), (Names{"City", "Phone 1"}));
  EXPECT_EQ(form->ListBoxDisplayed->currentRow(), 1);

  // The alternative box puts the host's name field on top.
  ClickIndicator(form->CBAltLookup);
  EXPECT_TRUE(form->CBAltLookup->isChecked());
  EXPECT_EQ(form->HighlightTile, form->Tile(1));
  EXPECT_EQ(Items(form->ListBoxDisplayed), (Names{"Client name", "City", "Phone 1"}));
  form->StoreCorvensteadLookup(3);
  EXPECT_EQ(StoredLookupKind(form->CBAltLookup->isChecked(), Store.FldTable[3]), "l");
  EXPECT_EQ(Store.FldTable[3].LkpSpec, "A  0");
  // Unticked and ticked again: already listed.
  ClickIndicator(form->CBAltLookup);
  boxes.Expect("The field \"Client name\" has already been selected.");
  ClickIndicator(form->CBAltLookup);
}

TEST_F(LookupFormTest, StoreWritesTheSlotAndEditingItLoadsTheSameLists) {
  WithClientLookup();
  OpenFamilyKind();
  AddDropdown(22);
  AddDropdown(23);
  ClickIndicator(form->CBAltLookup);
  AddDisplay(32);
  AnswerDescLine(20);
  AddDisplay(25);
  Store.FldCount = 2;
  TFld& slot = Store.FldTable[2];
  slot.Name = "Matter";
  slot.FldType = 'C';
  slot.IsLookup = true;
  slot.Forced = form->CBForced->isChecked();
  form->StoreCorvensteadLookup(2);
  slot.LkpKind = StoredLookupKind(form->CBAltLookup->isChecked(), slot);
  const std::string text = FormatFieldRecord(slot, 5);
  EXPECT_EQ(text.substr(DscField::LkpKind.Column - 1, 1), "l");
  EXPECT_EQ(text.substr(DscField::LkpSpec.Column - 1, 13), "B 22 23      ");
  EXPECT_EQ(text.substr(DscField::DispCols.Column - 1, 12), " 23 32 99   ");
  EXPECT_EQ(text.substr(DscField::Width.Column - 1, 3), "  7");
  EXPECT_EQ(text.substr(DscField::Forced.Column - 1, 1), "Y");
  form->hide();

  // The loader's reading of the record, then an edit of the field.
  Store.Reset();
  TFld read = ParseFieldRecord(std::string(DscPrefixLength, '\0') + text);
  TakeAltLookupKind(read);
  EXPECT_TRUE(Store.AltLookupOn[2]);
  form->ResetForField();
  form->LoadCorvensteadLookup(read, Store.AltLookupOn);
  EXPECT_EQ(form->Kind(), TLKUPF::KindL);
  EXPECT_EQ(Items(form->ListBoxDropdown), (Names{"Case suffix", "Case Alternate ID"}));
  EXPECT_EQ(Items(form->ListBoxDisplayed), (Names{"Case Alternate ID", "Department code", "Case description line 20"}));
  EXPECT_TRUE(form->CBAltLookup->isChecked());
  EXPECT_EQ(EnabledTiles(*form), "0,2-22,24-61");

  // Bad stored codes are skipped.
  TFld bad;
  bad.LkpKind = "L";
  bad.LkpSpec = "E 62 x9999";
  bad.DispCols[1] = 64;
  bad.DispCols[2] = 120;
  bad.DispCols[3] = 58;
  form->LoadCorvensteadLookup(bad, Store.AltLookupOn);
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Employee code"});
  EXPECT_EQ(Items(form->ListBoxDisplayed), Names{"Employee class code"});
  EXPECT_FALSE(form->CBAltLookup->isChecked());
  EXPECT_EQ(EnabledTiles(*form), "62,64-67");
}

TEST_F(LookupFormTest, EditingTheListsThroughTheirEditors) {
  OpenFamilyKind();
  boxes.Expect(NothingToDoMsg);
  QTest::mouseClick(form->BitBtnEditL, Qt::LeftButton);
  AddDropdown(0);
  boxes.Expect("Do you wish to remove the field Client code?", mrNo);
  QTest::mouseClick(form->BitBtnEditL, Qt::LeftButton);
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Client code"});
  boxes.Expect("Do you wish to remove the field Client code?", mrYes);
  QTest::mouseClick(form->BitBtnEditL, Qt::LeftButton);
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());
  EXPECT_EQ(EnabledTiles(*form), "0,22,62");

  // Two names go to the dropdown editor with their five blanks.
  AddDropdown(0);
  AddDropdown(5);
  AddDisplay(7);
  AddDisplay(8);
  WhenModal<TEditDDF>([](TEditDDF& editor) {
    EXPECT_EQ(editor.DDNames, (Names{"Client code     ", "City     "}));
    QTest::mouseClick(editor.StaticText[1], Qt::LeftButton);
    QTest::mouseClick(editor.BitBtnDelete, Qt::LeftButton);
    QTest::mouseClick(editor.BitBtnSave, Qt::LeftButton);
  });
  QTest::mouseClick(form->BitBtnEditL, Qt::LeftButton);
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Client code"});

  WhenModal<TEditDispF>([](TEditDispF& editor) {
    QTest::mouseClick(editor.BitBtnDown, Qt::LeftButton);
    QTest::mouseClick(editor.BitBtnSave, Qt::LeftButton);
  });
  QTest::mouseClick(form->BitBtnEditD, Qt::LeftButton);
  EXPECT_EQ(Items(form->ListBoxDisplayed), (Names{"Phone 2", "Phone 1"}));
  WhenModal<TEditDispF>([](TEditDispF& editor) {
    QTest::mouseClick(editor.BitBtnDown, Qt::LeftButton);
    QTest::mouseClick(editor.BitBtnCancel, Qt::LeftButton);
  });
  QTest::mouseClick(form->BitBtnEditD, Qt::LeftButton);
  EXPECT_EQ(Items(form->ListBoxDisplayed), (Names{"Phone 2", "Phone 1"}));
}

TEST_F(LookupFormTest, PreviewBuildsAnEntryScreenForSlot51AndRestoresTheTable) {
  Store.FldCount = 4;
  form->HandOver.Hint = "Pick the client";
  OpenFamilyKind();
  AddDropdown(0);
  AddDisplay(1);
  bool seen = false;
  WhenModal<TEntryF>([&](TEntryF& entry) {
    seen = true;
    EXPECT_EQ(StoredText(entry.windowTitle()), "Corvenstead Matterdesk Lookup Preview Screen");
    EXPECT_EQ(Store.FldCount, PreviewSlot);
    const TFld& f = Store.FldTable[PreviewSlot];
    EXPECT_EQ(f.Name, "Matter");
    EXPECT_EQ(f.LkpSpec, "A  0");
    EXPECT_EQ(f.DispCols[1], 1);
    EXPECT_EQ(f.Hint, "Pick the client");
    EXPECT_TRUE(f.Forced && f.IsLookup && f.UpperCase);
    EXPECT_EQ(entry.BuildRange().First, PreviewSlot);
    EXPECT_EQ(entry.BuildRange().Last, PreviewSlot);
    for (QWidget* w : std::initializer_list<QWidget*>{entry.BitBtnSave, entry.BitBtnFind, entry.BitBtnClear,
                                                      entry.BitBtnFilter, entry.CalBitBtn, entry.BitBtnQuickEntry})
      EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_TRUE(entry.BitBtnCancel->isVisible());
    QTest::mouseClick(entry.BitBtnCancel, Qt::LeftButton);
  });
  QTest::mouseClick(form->BitBtnPreview, Qt::LeftButton);
  EXPECT_TRUE(seen);
  EXPECT_EQ(Store.FldCount, 4);
  EXPECT_EQ(Store.FldTable[PreviewSlot], TFld());
}

// The preview reads the family file as the entry screen does: a code typed
// in full, or a row clicked in its list, stays in the box and shows its name.
TEST_F(LookupFormTest, PreviewShowsTheNameOfAClientTypedOrPickedFromItsList) {
  OpenFamilyKind();
  AddDropdown(0);
  AddDisplay(1);
  const TSampleClient& typed = SampleOffice().Clients.at(5);
  WhenModal<TEntryF>([&](TEntryF& entry) {
    auto* code = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
    auto* name = entry.ScrollContent->findChild<QLineEdit*>("Edit2");
    ASSERT_TRUE(code && name);
    entry.Focus->FocusControl(code);
    QTest::keyClicks(code, QString::fromStdString(typed.Code));
    EXPECT_EQ(StoredText(code->text()), typed.Code);
    EXPECT_EQ(StoredText(name->text()), ShownClientName(typed));

    QTest::keyClick(code, Qt::Key_Escape);
    QTest::keyClicks(code, QString::fromStdString(typed.Code.substr(0, 1)));
    ASSERT_TRUE(entry.ListPanel->isVisible());
    const int row = entry.DropdownRow() + 2;
    const std::string picked = TrimRight(StoredText(entry.DropdownGrid->item(row, 0)->text()));
    const QModelIndex cell = entry.DropdownGrid->index(row, 0);
    QTest::mouseClick(entry.StringGrid1->viewport(), Qt::LeftButton, Qt::NoModifier,
                      entry.StringGrid1->visualRect(cell).center());
    EXPECT_EQ(StoredText(code->text()), picked);
    const TSampleClient* client = SampleClientWithCode(picked);
    ASSERT_TRUE(client) << picked;
    EXPECT_EQ(StoredText(name->text()), ShownClientName(*client));
    QTest::mouseClick(entry.BitBtnCancel, Qt::LeftButton);
  });
  QTest::mouseClick(form->BitBtnPreview, Qt::LeftButton);
  EXPECT_EQ(Store.FldTable[PreviewSlot], TFld());
}

TEST_F(LookupFormTest, ArrowKeysMoveToTheNeighbourTileOfTheSameRow) {
  WithClientLookup();
  OpenFamilyKind();
  AddDropdown(22);
  // The case box's first row: 22, 23, 24.
  ASSERT_EQ(form->Tile(23)->y(), form->Tile(22)->y());
  ASSERT_EQ(form->Tile(24)->y(), form->Tile(22)->y());
  Pick(22);
  keyboard::Type(Qt::Key_Right);
  EXPECT_EQ(form->HighlightTile, form->Tile(23));
  EXPECT_EQ(QApplication::focusWidget(), form->Tile(23));
  keyboard::Type(Qt::Key_Right);
  EXPECT_EQ(form->HighlightTile, form->Tile(24));
  EXPECT_FALSE(form->ArrowKeyToTile(Qt::Key_Right));  // the row ends
  keyboard::Type(Qt::Key_Left);
  EXPECT_EQ(form->HighlightTile, form->Tile(23));
  // A disabled or hidden neighbour is skipped, and the next is too far.
  form->Tile(22)->setEnabled(false);
  EXPECT_FALSE(form->ArrowKeyToTile(Qt::Key_Left));
  form->Tile(22)->setEnabled(true);
  form->Tile(24)->hide();
  EXPECT_FALSE(form->ArrowKeyToTile(Qt::Key_Right));
  EXPECT_TRUE(form->ArrowKeyToTile(Qt::Key_Left));
  EXPECT_EQ(form->HighlightTile, form->Tile(22));
}

TEST_F(LookupFormTest, TabGoesFromBoxToBoxAndOnToTheDropdownButton) {
  OpenFamilyKind();
  Pick(0);
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->Tile(22));
  EXPECT_EQ(form->HighlightTile, form->Tile(22));
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->Tile(62));
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->BitBtnDropDown);
  // Another kind: the client box leads straight to the button.
  form->SetKind(TLKUPF::KindM);
  Pick(0);
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->BitBtnDropDown);
}

TEST_F(LookupFormTest, HoverHighlightsTheTileStillUnderThePointer) {
  OpenFamilyKind();
  QMouseEvent overFirst(QEvent::MouseMove, QPointF(5, 5), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form->Tile(0), &overFirst);
  EXPECT_EQ(form->HighlightTile, form->Tile(0));  // nothing highlighted yet: at once
  QMouseEvent overCase(QEvent::MouseMove, QPointF(5, 5), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form->Tile(22), &overCase);
  EXPECT_EQ(form->HoverTile, form->Tile(22));
  EXPECT_TRUE(form->Timer2->isActive());
  EXPECT_EQ(form->Timer2->interval(), 250);
  EXPECT_EQ(form->HighlightTile, form->Tile(0));
  // The pointer moved on before the timer fired: no change.
  QCursor::setPos(form->Tile(0)->mapToGlobal(QPoint(5, 5)));
  form->Timer2Timer();
  EXPECT_EQ(form->HighlightTile, form->Tile(0));
  QApplication::sendEvent(form->Tile(62), &overCase);
  QCursor::setPos(form->Tile(62)->mapToGlobal(QPoint(5, 5)));
  form->Timer2Timer();
  EXPECT_EQ(form->HighlightTile, form->Tile(62));
  EXPECT_EQ(form->HoverTile, nullptr);
  EXPECT_TRUE(form->Tile(62)->Highlighted());
  EXPECT_FALSE(form->Tile(0)->Highlighted());
}

TEST_F(LookupFormTest, PressHoldAndDropOnEachList) {
  OpenFamilyKind();
  TFieldTile* client = form->Tile(0);
  clock.Advance(TLKUPF::PressGuardMs);
  QTest::mousePress(client, Qt::LeftButton);
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 500);
  EXPECT_EQ(QApplication::focusWidget(), client);
  form->Timer1Timer();
  EXPECT_TRUE(form->DraggingTile);
  Drop(form->ListBoxDropdown, TLKUPF::TileMimeData(client));
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Client code"});
  EXPECT_EQ(EnabledTiles(*form), "0-21");
  // The click that ends the drag only clears the flag.
  QTest::mouseRelease(client, Qt::LeftButton);
  EXPECT_FALSE(form->DraggingTile);

  // Presses within a second of the last accepted one are ignored.
  TFieldTile* city = form->Tile(5);
  clock.Advance(400);
  QTest::mousePress(city, Qt::LeftButton);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(form->HighlightTile, client);
  QTest::mouseRelease(city, Qt::LeftButton);
  clock.Advance(600);
  QTest::mousePress(city, Qt::LeftButton);
  EXPECT_TRUE(form->Timer1->isActive());
  form->Timer1Timer();
  Drop(form->ListBoxDisplayed, TLKUPF::TileMimeData(city));
  QTest::mouseRelease(city, Qt::LeftButton);
  EXPECT_EQ(Items(form->ListBoxDisplayed), Names{"City"});

  // A plain click stops the hold; a right press starts nothing.
  clock.Advance(TLKUPF::PressGuardMs);
  QTest::mouseClick(form->Tile(7), Qt::LeftButton);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->DraggingTile);
  clock.Advance(TLKUPF::PressGuardMs);
  QTest::mousePress(form->Tile(8), Qt::RightButton);
  EXPECT_FALSE(form->Timer1->isActive());
  // A disabled tile's drop is refused.
  std::unique_ptr<QMimeData> data(TLKUPF::TileMimeData(form->Tile(62)));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form->ListBoxDisplayed->viewport(), &enter);
  EXPECT_FALSE(enter.isAccepted());
}

}  // namespace
