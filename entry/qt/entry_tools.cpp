// The entry screen's side tools: F2 recall, the calendar module, document
// fields, the word processor's hand-over, the printout, the stopwatch and
// its hand-over to the quick time entry, the spelling check, and the small
// handlers of memos and the dropdown limit. What they decide without a
// widget lives in entry/calendar_command.h, entry/doc_info.h,
// entry/record_print.h and entry/entry_stopwatch.h.
#include "entry/qt/entry_form.h"
#include "entry/qt/quick_entry_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/calendar_command.h"
#include "entry/doc_info.h"
#include "entry/link_values.h"
#include "entry/qe_files.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/printers.h"
#include "platform/processes.h"
#include "platform/qt/color.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/spell_dialog.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/printer_list.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int TimerButtonWidth = 44;
constexpr int TimerButtonHeight = 40;
constexpr int TimerButtonStartedHeight = 16;
constexpr int TimerButtonStartedHeightLarge = 20;
constexpr int LargeFontsPixelsPerInch = 120;
constexpr int TimerIntervalMs = 1000;
constexpr int StatusNameIndent = 24;
constexpr int StatusTextIndent = 5;

const std::string NoDocumentText = "Please select a document first.";

// A date recall value ("YYYYMMDD") as a date; false for a blank one, the
// find's "0", or digits that name no day.
bool RecallDate(const std::string& Value, TDateTime& Date) {
  const std::string v = Trim(Value);
  if (v.size() != 8 || v.find_first_not_of("0123456789") != std::string::npos) return false;
  return TryEncodeDate(std::stoi(v.substr(0, 4)), std::stoi(v.substr(4, 2)), std::stoi(v.substr(6, 2)), Date);
}

// The Tab (Back: Shift+Tab) a person would press next, after the key
// being handled.
void PostTab(QWidget* To, bool Back = false) {
  const Qt::Key key = Back ? Qt::Key_Backtab : Qt::Key_Tab;
  const Qt::KeyboardModifiers shift = Back ? Qt::ShiftModifier : Qt::NoModifier;
  QCoreApplication::postEvent(To, new QKeyEvent(QEvent::KeyPress, key, shift));
  QCoreApplication::postEvent(To, new QKeyEvent(QEvent::KeyRelease, key, shift));
}

// Opens FileNo with Open unless it is open, noting it in Opened.
void OpenIfClosed(uint8_t FileNo, void (*Open)(uint8_t, TDynCharArr&), TDynCharArr& Rec,
                  std::vector<uint8_t>& Opened) {
  if (BtrIsFileOpen(FileNo)) return;
  Open(FileNo, Rec);
  Opened.push_back(FileNo);
}

}  // namespace

void TEntryF::BuildToolParts() {
  Createdocument1 = File1->addAction(WidgetText("&Create document"));
  Createdocument1->setObjectName("Createdocument1");
  connect(Createdocument1, &QAction::triggered, this, [this] { GuardEvent([this] { Createdocument1Click(); }); });
  Print1 = File1->addAction(WidgetText("&Print this record"));
  Print1->setObjectName("Print1");
  connect(Print1, &QAction::triggered, this, [this] { GuardEvent([this] { BitBtnPrintClick(); }); });
  connect(BitBtnPrint, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnPrintClick(); }); });
  Checkspelling1 = File1->addAction(WidgetText("&Check spelling"));
  Checkspelling1->setObjectName("Checkspelling1");
  connect(LimitDD1, &QAction::triggered, this, [this] { GuardEvent([this] { LimitDD1Click(); }); });
  connect(Checkspelling1, &QAction::triggered, this, [this] { GuardEvent([this] { Checkspelling1Click(); }); });

  // The status panels: button face, navy text, set in from the left.
  for (size_t i = 0; i < StatusPanels.size(); ++i) {
    QLabel* panel = StatusPanels[i];
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    p.setColor(QPalette::WindowText, ToQColor(TColor(EntryColor::Navy)));
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
    panel->setIndent(i == 0 ? StatusNameIndent : StatusTextIndent);
  }

  // The stopwatch at the top right: its button, and under it while it
  // runs the pause button.
  auto* timerPanel = new QWidget(PanelTop);
  timerPanel->setObjectName("TimerPanel");
  auto* column = new QVBoxLayout(timerPanel);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  SBTimer = new QToolButton(timerPanel);
  SBTimer->setObjectName("SBTimer");
  SBTimer->setFocusPolicy(Qt::NoFocus);
  SBTimer->setFixedWidth(TimerButtonWidth);
  column->addWidget(SBTimer);
  PauseBitBtn = new QPushButton(timerPanel);
  PauseBitBtn->setObjectName("PauseBitBtn");
  PauseBitBtn->setAutoDefault(false);
  PauseBitBtn->setFocusPolicy(Qt::NoFocus);
  PauseBitBtn->setFixedWidth(TimerButtonWidth + 20);
  column->addWidget(PauseBitBtn, 0, Qt::AlignRight);
  static_cast<QHBoxLayout*>(PanelTop->layout())->addWidget(timerPanel);
  TimerEntry = new QTimer(this);
  TimerEntry->setInterval(TimerIntervalMs);
  stopwatch_ = std::make_unique<TEntryStopwatch>(*this);
  ShowStarted(false);
  SetPauseCaption(EntryPauseCaption);

  connect(SBTimer, &QToolButton::clicked, this, [this] { GuardEvent([this] { SBTimerClick(); }); });
  connect(PauseBitBtn, &QPushButton::clicked, this, [this] { GuardEvent([this] { PauseBitBtnClick(); }); });
  connect(TimerEntry, &QTimer::timeout, this, [this] { GuardEvent([this] { TimerEntryTimer(); }); });
  connect(BitBtnQuickEntry, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnQuickEntryClick(); }); });
  connect(CalBitBtn, &QPushButton::clicked, this, [this] { GuardEvent([this] { CalBitBtnClick(); }); });

  ChooseDocument = [this] {
    return StoredText(QFileDialog::getOpenFileName(this, WidgetText("Attach a document")));
  };
  OpenDocument = [](const std::string& Path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(Path)));
  };
}

// ---- F2 and Enter ----

void TEntryF::FormKeyDown(QWidget* Sender, TEntryEventArgs& Args) {
  if (Args.Key != Qt::Key_F2 || Editing) return;
  const int slot = SlotOf(Sender);
  if (slot < 1 || slot > MaxFields) return;
  auto* picker = TdwDBCustomDateTimePicker::FromWidget(Sender);
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  auto* memo = qobject_cast<QPlainTextEdit*>(Sender);
  if (!picker && !edit && !memo) return;
  Dropdown.TypeAheadOff = true;
  Args.Key = 0;
  const std::string& recall = Store.FldTable[slot].PrevValue;
  bool recalled = false;
  if (picker) {
    TDateTime date = 0;
    if (RecallDate(recall, date)) {
      picker->SetDate(date);
      recalled = true;
    }
  } else if (!Trim(recall).empty()) {
    if (edit) {
      SetProgramText(edit, recall);
    } else {
      memo->setPlainText(WidgetText(recall));
    }
    recalled = true;
  }
  if (recalled) PostTab(Sender);
}

// ---- Calendar ----

TEntryF::TEntryCodes TEntryF::CollectEntryCodes() {
  const TChildValues values = CollectChildValues(LinkSources(), ClientRec);
  return {Trim(values.ClientCode), Trim(values.CaseCode), Trim(values.EmployeeCode)};
}

void TEntryF::CalBitBtnClick() {
  const TEntryCodes codes = CollectEntryCodes();
  const TCalendarStart start =
      CalendarStart(Startup.ExeDir, Startup.WorkDateStr, plan_.Keys.CalBitBtnHint, codes.Client, codes.Case, CaseRec);
  int pid = 0;
  if (!CreateProcess(start.Program, start.Args, pid)) MessageDlg(CalendarFailureText, mtInformation, mbOKOnly);
}

// ---- Document fields ----

namespace {

// The path edit of the document panel Sender belongs to (or is).
QLineEdit* DocEdit(QWidget* Sender) {
  if (auto* edit = qobject_cast<QLineEdit*>(Sender)) return edit;
  return Sender->parentWidget()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
}

// The open and remove buttons follow whether the path edit holds a name.
void EnableDocButtons(QLineEdit* Edit) {
  const bool named = !Edit->text().trimmed().isEmpty();
  for (QToolButton* b : Edit->parentWidget()->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
    if (!b->objectName().startsWith("AddSB")) b->setEnabled(named);
}

}  // namespace

void TEntryF::BindDocPanel(QWidget* Panel) {
  for (QToolButton* b : Panel->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)) {
    void (TEntryF::*handler)(QWidget*) = b->objectName().startsWith("AddSB")   ? &TEntryF::SBAddClick
                                         : b->objectName().startsWith("DelSB") ? &TEntryF::SBDeleteClick
                                                                               : &TEntryF::SBEditClick;
    connect(b, &QToolButton::clicked, this, [this, b, handler] { GuardEvent([&] { (this->*handler)(b); }); });
  }
  QLineEdit* edit = Panel->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
  EnableDocButtons(edit);
  Focus->BindEnter(edit, [this, edit](QWidget*) { ComboBoxDocsEnter(edit); });
}

void TEntryF::SBAddClick(QWidget* Sender) {
  QLineEdit* edit = DocEdit(Sender);
  const std::string chosen = ChooseDocument();
  if (chosen.empty()) return;
  edit->setText(WidgetText(chosen));
  EnableDocButtons(edit);
}

void TEntryF::SBEditClick(QWidget* Sender) {
  const std::string path = Trim(StoredText(DocEdit(Sender)->text()));
  if (path.empty()) {
    MessageDlg(NoDocumentText, mtInformation, mbOKOnly);
    return;
  }
  const std::string native = ResolvePath(path);
  if (!FileExists(native)) {
    MessageDlg("The document " + path + " cannot be found.", mtInformation, mbOKOnly);
  } else if (!OpenDocument(native)) {
    MessageDlg("No application is set up to open the document " + path + ".", mtInformation, mbOKOnly);
  }
}

void TEntryF::SBDeleteClick(QWidget* Sender) {
  QLineEdit* edit = DocEdit(Sender);
  edit->clear();
  EnableDocButtons(edit);
}

void TEntryF::ComboBoxDocsEnter(QWidget* Sender) { EnableDocButtons(DocEdit(Sender)); }

// ---- Stopwatch ----

void TEntryF::ShowStarted(bool Started) {
  ShowTimerPanel(Started);
  SBTimer->setIcon(style()->standardIcon(Started ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
  SBTimer->setToolTip(WidgetText(Started ? "Stop timer" : "Start timer"));
}

void TEntryF::ShowTimerPanel(bool Running) {
  const int small = PixelsPerInch() == LargeFontsPixelsPerInch ? TimerButtonStartedHeightLarge
                                                               : TimerButtonStartedHeight;
  SBTimer->setFixedHeight(Running ? small : TimerButtonHeight);
  PauseBitBtn->setVisible(Running);
}

void TEntryF::SetPauseCaption(const std::string& Caption) { PauseBitBtn->setText(WidgetText(Caption)); }

void TEntryF::SetTimer(bool Enabled) {
  if (Enabled) {
    TimerEntry->start();
  } else {
    TimerEntry->stop();
  }
}

void TEntryF::SBTimerClick() { stopwatch_->StartOrStop(); }

void TEntryF::PauseBitBtnClick(bool FromMainWindow) { stopwatch_->PauseOrRestart(FromMainWindow); }

void TEntryF::TimerEntryTimer() { stopwatch_->Tick(); }

// ---- Quick entry hand-over ----

void TEntryF::BitBtnQuickEntryClick() {
  TQeHandOver handOver;
  // Only a new quick entry takes the stopwatch's time.
  if (QEF.isNull()) handOver.Resume = stopwatch_->HandOver();
  std::vector<uint8_t> opened;
  const auto closeOpened = [&] {
    for (const uint8_t f : opened) BtrCloseFile(f);
  };
  TEntryCodes codes;
  try {
    OpenIfClosed(ClientFileNo, OpenClientFile, ClientRec, opened);
    OpenIfClosed(EmpFileNo, OpenEmployeeFile, EmpRec, opened);
    if (plan_.Keys.CaseSlot > 0) OpenIfClosed(CaseFileNo, OpenCaseFile, CaseRec, opened);
    codes = CollectEntryCodes();
  } catch (const EBtrAbort& e) {
    // The openers' failure is silent by itself.
    closeOpened();
    ShowMessage(e.what());
    return;
  }
  closeOpened();
  handOver.Client = codes.Client;
  handOver.Case = codes.Case;
  handOver.Employee = codes.Employee;
  OpenQuickEntry(handOver);
}

// ---- Word processor ----

namespace {

// A control's value as a person reads it: trimmed text, a date in the
// short form ("" for none), a check box "Y" or "N", a memo's lines
// separated as the program stores them.
std::string ShownValue(QWidget* W) {
  if (auto* picker = TdwDBCustomDateTimePicker::FromWidget(W))
    return picker->text().isEmpty() ? std::string() : DateToStr(picker->Date());
  if (auto* edit = qobject_cast<QLineEdit*>(W)) return Trim(StoredText(edit->text()));
  if (auto* memo = qobject_cast<QPlainTextEdit*>(W))
    return Trim(StoredText(memo->toPlainText().replace('\n', QStringLiteral("\r\n"))));
  if (auto* box = qobject_cast<QCheckBox*>(W)) return box->isChecked() ? "Y" : "N";
  // A document panel: its path.
  if (auto* path = W->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
    return Trim(StoredText(path->text()));
  return {};
}

}  // namespace

std::vector<TDocItem> TEntryF::DocItems() const {
  std::vector<TDocItem> items;
  for (int slot = 1; slot <= MaxFields; ++slot) {
    const TFld& f = Store.FldTable[slot];
    if (Trim(f.Name).empty()) break;
    const auto control = std::find_if(plan_.Controls.begin(), plan_.Controls.end(), [&](const TCtlPlan& c) {
      return c.Tag == slot && c.Kind != TCtlKind::DisplayEdit && c.Kind != TCtlKind::DropButton;
    });
    if (control == plan_.Controls.end()) continue;
    QWidget* w = widgets_[size_t(control - plan_.Controls.begin())];
    items.push_back({TrimRight(f.Name), ShownValue(w)});
    if (!f.IsLookup || f.LkpKind.empty() || f.LkpKind == "U") continue;
    for (QLineEdit* display : DisplayEditsOf(w)) {
      const int at = ControlOf(display);
      const auto label = std::find_if(plan_.Labels.begin(), plan_.Labels.end(),
                                      [&](const TLabelPlan& l) { return l.Control == at; });
      const std::string text = Trim(StoredText(display->text()));
      items.push_back({label == plan_.Labels.end() ? std::string() : Trim(label->Caption),
                       text.empty() ? DocItemNotFound : text});
    }
  }
  return items;
}

void TEntryF::Createdocument1Click() {
  const std::string file = DocInfoFileName(Store.DataRoot);
  if (!ReplaceFileBytes(file, DocInfoText(DocItems()))) {
    MessageDlg("The file " + file + " could not be written.", mtError, mbOKOnly);
    return;
  }
  int pid = 0;
  if (!CreateProcess(WordProcessorProgram, {WordProcessorMacro}, pid))
    MessageDlg(WordProcessorFailureText, mtInformation, mbOKOnly);
}

// ---- Printing ----

std::vector<TPrintRow> TEntryF::PrintRows() const {
  const auto cell = [this](const TRowPlan& Row) {
    const TCtlPlan& c = plan_.Controls[size_t(Row.Control)];
    QWidget* w = widgets_[size_t(Row.Control)];
    TPrintCell out;
    out.Kind = c.Kind == TCtlKind::Memo         ? TPrintKind::Memo
               : c.Kind == TCtlKind::DatePicker ? TPrintKind::Date
               : c.Kind == TCtlKind::CheckBox   ? TPrintKind::CheckBox
               : c.Kind == TCtlKind::DocPanel   ? TPrintKind::Document
                                                : TPrintKind::Edit;
    // A check box carries its caption itself.
    out.Label = Row.Label >= 0 ? Trim(plan_.Labels[size_t(Row.Label)].Caption) : Trim(c.Text);
    out.Value = ShownValue(w);
    return out;
  };
  std::vector<TPrintRow> rows;
  for (size_t r = 0; r < plan_.Rows.size() && plan_.Rows[r].Control >= 0; ++r) {
    TPrintRow row{cell(plan_.Rows[r]), false, {}};
    if (r < plan_.Side.size() && plan_.Side[r].Control >= 0) {
      row.HasRight = true;
      row.Right = cell(plan_.Side[r]);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void TEntryF::BitBtnPrintClick() {
  const std::vector<TPrintLine> lines = RecordPrintLines(Trim(Store.TplName), ClockNow(), PrintRows());
  size_t at = 0;
  try {
    const std::unique_ptr<TPrintJob> job = BeginPrintJob(Trim(Store.TplName));
    if (!job) {
      // Told at every attempt, not once per run as the printer list does.
      MessageDlg(NoPrintersMsg, mtInformation, mbOKOnly);
      return;
    }
    PaintRecordLines(*job, lines, &at);
    job->EndDoc();
  } catch (const Exception& e) {
    const TPrintLine none;
    const TPrintLine& line = at < lines.size() ? lines[at] : none;
    const std::string left = line.Text.substr(0, std::min<size_t>(line.Text.size(), RecordPrintRightColumn));
    const std::string right = line.Text.size() > RecordPrintRightColumn ? line.Text.substr(RecordPrintRightColumn) : "";
    MessageDlg("Printing failure:  x=" + IntToStr(line.Row) + "  S=" + Trim(left) + "  S2=" + Trim(right) + "\r" +
                   e.what(),
               mtError, mbOKOnly);
  }
}

// ---- Small handlers ----

// A Tab never enters a memo: plain Tab and Shift+Tab move the focus as
// they do everywhere, and with Ctrl held they do the same.
void TEntryF::MemoKeyDown(QWidget* Sender, TEntryEventArgs& Args) {
  if (Args.Key != Qt::Key_Tab && Args.Key != Qt::Key_Backtab) return;
  if (!(Args.Shift & Qt::ControlModifier)) return;
  Args.Key = Args.Key == Qt::Key_Backtab || (Args.Shift & Qt::ShiftModifier) ? Qt::Key_Backtab : Qt::Key_Tab;
  PostTab(Sender, Args.Key == Qt::Key_Backtab);
  Args.Key = 0;
}

// A memo holds at most its field's width as the save counts it; a change
// past that, typed or pasted, is taken back whole with the size message.
void TEntryF::MemoSizeGuard(QWidget* Sender, TEntryEventArgs&) {
  auto* memo = qobject_cast<QPlainTextEdit*>(Sender);
  const int i = memo ? ControlOf(memo) : -1;
  if (i < 0) return;
  const TCtlPlan& c = plan_.Controls[size_t(i)];
  const QString text = memo->toPlainText();
  if (c.Upper && text != text.toUpper()) {
    // Upper again; this runs once more for the new text.
    const int caret = memo->textCursor().position();
    memo->setPlainText(text.toUpper());
    QTextCursor at = memo->textCursor();
    at.setPosition(std::min(caret, int(memo->toPlainText().size())));
    memo->setTextCursor(at);
    return;
  }
  if (c.MaxLength <= 0 || StoredMemoLength(text) <= c.MaxLength) {
    memo->setProperty(MemoAcceptedText, text);
    return;
  }
  const QString before = memo->property(MemoAcceptedText).toString();
  const int caret = memo->textCursor().position() - int(text.size() - before.size());
  {
    const QSignalBlocker quiet(memo);
    memo->setPlainText(before);
  }
  QTextCursor at = memo->textCursor();
  at.setPosition(std::clamp(caret, 0, int(before.size())));
  memo->setTextCursor(at);
  MessageDlg("You have reached the maximum size for this field!  " + IntToStr(c.MaxLength) + " characters)",
             mtInformation, mbOKOnly);
}

void TEntryF::LimitDD1Click() {
  // The action has turned its check already: a refusal turns it back.
  if (Dropdown.Visible) {
    LimitDD1->setChecked(!LimitDD1->isChecked());
    MessageDlg("You may not change this option while a dropdown list is in use.", mtInformation, mbOKOnly);
  }
}

// ---- Spelling ----

void TEntryF::Checkspelling1Click() {
  QWidget* control = QApplication::focusWidget();
  if (!control || SlotOf(control) < 1 || TdwDBCustomDateTimePicker::FromWidget(control)) return;
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    if (!edit->text().isEmpty()) SSCE_CheckCtrlDlg(this, edit, 0);
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
    if (memo->toPlainText().isEmpty()) return;
    CheckMemoSpelling(this, memo);
  }
}
