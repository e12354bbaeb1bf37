#include "entry/qt/quick_entry_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/batch_export.h"
#include "entry/batch_files.h"
#include "entry/qe_files.h"
#include "entry/qt/batch_view_form.h"
#include "entry/qt/field_validator.h"
#include "entry/qt/select_export_dir.h"
#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/spell_dialog.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/batch_codec.h"
#include "templates/family_files.h"
#include "templates/instance_messages.h"
#include "templates/product_dates.h"
#include "templates/registry_settings.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

QPointer<TQEF> QEF;

namespace {

constexpr int EditingStatusCode = 11;
constexpr int ElapsedStatusCode = 10;
constexpr int TimeEntryEndCode = 8;
const char* const OverwriteQuestion = "Do you want to overwrite the current record with the new one?";
const char* const CancelQuestion = "Cancel changes to the current record?";
const char* const FieldCaptions[] = {"Employee", "Client", "Case", "Group", "Narr Code"};
const char* const ModeLetters = "CNSA";
const char* const EmpLetters = "CN";
constexpr int DateRowNo = 1;
constexpr int ClientRowNo = 2;

// Width and text limit of an edit per lookup mode, at 120 pixels per inch.
struct TEditMode {
  int Width;
  int MaxLength;
  bool Capitals;
};
constexpr TEditMode EmpModes[] = {{62, 4, true}, {260, 37, false}};
constexpr TEditMode ClientModes[] = {{92, 7, true}, {260, 72, false}};
constexpr TEditMode CaseModes[] = {{92, 7, true}, {92, 7, true}, {92, 7, true}, {152, 20, false}};

// The date a picker can hold: 1981 to 2079.
TDateTime FirstEntryDate() { return EncodeDate(1981, 1, 1); }
TDateTime LastEntryDate() { return EncodeDate(2079, 12, 31); }

void SetLabel(QLabel* Label, const std::string& Text) { Label->setText(WidgetText(Text)); }

std::string TextOf(const QLineEdit* Edit) { return StoredText(Edit->text()); }

}  // namespace

void SetTypingLimit(QLineEdit* Edit, int Limit) {
  // Not setMaxLength, which also cuts what the program sets (a formatted
  // number of hours, a completed name).
  const QValidator* old = Edit->validator();
  Edit->setValidator(new TFieldValidator(Limit, false, Edit, false));
  delete old;
}

int TypingLimit(const QLineEdit* Edit) {
  const auto* limit = dynamic_cast<const TFieldValidator*>(Edit->validator());
  return limit ? limit->MaxLength() : 0;
}

TQEF::TQEF() {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Corvenstead Quick Entry");
  BuildControls();
  BuildMenus();
  stopwatch_ = std::make_unique<QeStopwatch>(*this);
  focus_ = new TFocusModel(this, [](QWidget* W) -> QWidget* { return TdwDBDateTimePicker::FromWidget(W); });
  BindFocus();
}

TQEF::~TQEF() {
  QEF = nullptr;
  SendHubMessage(ElapsedStatusCode, "0:00", 0, 0);
  SendHubMessage(TimeEntryEndCode, "Time Entry", 0, 0);
}

void TQEF::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* grid = grid_ = new QGridLayout;
  auto* column = new QVBoxLayout(central);
  column->addLayout(grid);

  auto lookupEdit = [&](int Tag) {
    auto* edit = new QLineEdit(central);
    edit->setProperty("tag", Tag);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, edit, Tag] {
      GuardEvent([&] {
        if (!TakeBackUnstorable(edit)) EditClientChange(TQeField(Tag));
      });
    });
    return edit;
  };
  EditEmp = lookupEdit(0);
  EditClient = lookupEdit(1);
  EditCase = lookupEdit(2);
  EditGroup = lookupEdit(3);
  SetTypingLimit(EditGroup, 2);
  EditNarr = lookupEdit(4);
  SetTypingLimit(EditNarr, 3);
  EditNarr->setFocusPolicy(Qt::ClickFocus);
  for (int tag = 0; tag < LookupCount; ++tag) {
    ShowListButtons[tag] = new QToolButton(central);
    ShowListButtons[tag]->setArrowType(Qt::DownArrow);
    ShowListButtons[tag]->setFocusPolicy(Qt::NoFocus);
    HideListButtons[tag] = new QToolButton(central);
    HideListButtons[tag]->setArrowType(Qt::UpArrow);
    HideListButtons[tag]->setFocusPolicy(Qt::NoFocus);
    HideListButtons[tag]->hide();
    connect(ShowListButtons[tag], &QToolButton::clicked, this, [this, tag] { SBClHideListClick(TQeField(tag), true); });
    connect(HideListButtons[tag], &QToolButton::clicked, this, [this, tag] { SBClHideListClick(TQeField(tag), false); });
  }
  Date = new TdwDBDateTimePicker(central);
  Date->SetEpoch(1950);
  Date->SetMinDate(FirstEntryDate());
  Date->SetMaxDate(LastEntryDate());
  connect(Date, &QLineEdit::textChanged, this, [this] { DateChange(); });
  EditHours = new QLineEdit("0.00", central);
  SetTypingLimit(EditHours, 8);
  EditHours->installEventFilter(this);
  connect(EditHours, &QLineEdit::textEdited, this, [this] { GuardEvent([this] { TakeBackUnstorable(EditHours); }); });
  Memo1 = new QPlainTextEdit(central);
  Memo1->setTabChangesFocus(true);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
    GuardEvent([this] {
      try {
        StoredText(Memo1->toPlainText());
        lastMemo_ = Memo1->toPlainText();
      } catch (const EConvertError& e) {
        // Back to the text before the character, the caret where it was.
        const int caret = Memo1->textCursor().position() - int(Memo1->toPlainText().size() - lastMemo_.size());
        {
          const QSignalBlocker quiet(Memo1);
          Memo1->setPlainText(lastMemo_);
        }
        QTextCursor cursor = Memo1->textCursor();
        cursor.setPosition(std::clamp(caret, 0, int(lastMemo_.size())));
        Memo1->setTextCursor(cursor);
        MessageDlg(e.what(), mtError, mbOKOnly, 0);
      }
    });
  });
  EditTime = new QLineEdit(central);
  EditTime->setReadOnly(true);
  EditTime->setFocusPolicy(Qt::NoFocus);
  EditTime->setMaximumWidth(70);
  // Name labels take the room their column has: a long name widens nothing.
  auto label = [&] {
    auto* name = new QLabel(central);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return name;
  };
  LabelEmpName = label();
  LabelDayofWeek = label();
  // The day name shares the date's cell: an ignored width would leave it
  // no room there, and the name would run on under the phone beside it.
  LabelDayofWeek->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  LabelClientName = label();
  LabelPhone = label();
  LabelCaseDesc = label();
  LabelEditing = new QLabel("Editing", central);
  LabelEditing->setStyleSheet("color: red; font-weight: bold;");
  LabelEditing->hide();

  auto fieldRow = [&](int Row, int Tag, QWidget* Edit, QLabel* Right) {
    auto* caption = new QLabel(FieldCaptions[Tag], central);
    caption->setProperty("fieldCaption", true);
    grid->addWidget(caption, Row, 0);
    auto* cell = new QHBoxLayout;
    cell->setSpacing(1);
    cell->addWidget(Edit);
    cell->addWidget(ShowListButtons[Tag]);
    cell->addWidget(HideListButtons[Tag]);
    cell->addStretch();
    // The edit may run on under the name column: its label hides whenever
    // the edit is wide.
    grid->addLayout(cell, Row, 1, 1, 2);
    if (Right) grid->addWidget(Right, Row, 2);
    return caption;
  };
  fieldRow(0, 0, EditEmp, LabelEmpName);
  grid->addWidget(new QLabel("Date", central), DateRowNo, 0);
  auto* dateCell = new QHBoxLayout;
  dateCell->addWidget(Date);
  dateCell->addWidget(LabelDayofWeek);
  dateCell->addStretch();
  grid->addLayout(dateCell, DateRowNo, 1);
  grid->addWidget(LabelPhone, DateRowNo, 2);
  ClientCaption = fieldRow(ClientRowNo, 1, EditClient, LabelClientName);
  fieldRow(3, 2, EditCase, nullptr);
  // Without the client row the client's name stands above the case's
  // description, the pair beside the case edit.
  caseLabels_ = new QVBoxLayout;
  caseLabels_->setSpacing(0);
  caseLabels_->addWidget(LabelCaseDesc);
  grid->addLayout(caseLabels_, 3, 2);
  fieldRow(4, 3, EditGroup, LabelEditing);
  fieldRow(5, 4, EditNarr, nullptr);
  auto* hoursCaption = new QLabel("Hours", central);
  hoursCaption->setProperty("fieldCaption", true);
  grid->addWidget(hoursCaption, 6, 0);
  auto* hoursCell = hoursCell_ = new QHBoxLayout;
  hoursCell->addWidget(EditHours);
  SBTimer = new QToolButton(central);
  SBTimer->setText("Timer");
  SBTimer->setFocusPolicy(Qt::NoFocus);
  PauseBitBtn = new QPushButton("&Pause", central);
  PauseBitBtn->hide();
  SBSpellCheck = new QToolButton(central);
  SBSpellCheck->setText("ABC");
  SBSpellCheck->setToolTip("Spell check");
  SBSpellCheck->setFocusPolicy(Qt::NoFocus);
  connect(SBSpellCheck, &QToolButton::clicked, this, [this] { GuardEvent([this] { SBSpellCheckClick(); }); });
  hoursCell->addWidget(SBTimer);
  hoursCell->addWidget(EditTime);
  hoursCell->addWidget(PauseBitBtn);
  hoursCell->addStretch();
  hoursCell->addWidget(SBSpellCheck);
  grid->addLayout(hoursCell, 6, 1, 1, 2);
  grid->setColumnStretch(2, 1);
  column->addWidget(Memo1, 1);

  auto* buttons = new QHBoxLayout;
  ShowBatchBitBtn = new QPushButton("&View Batch", central);
  BitBtnExport = new QPushButton("&Export Batch", central);
  SaveBitBtn = new QPushButton("&Save", central);
  ClearBitBtn = new QPushButton("Clea&r", central);
  BitBtnExit = new QPushButton("E&xit", central);
  for (QPushButton* button : {ShowBatchBitBtn, BitBtnExport, SaveBitBtn, ClearBitBtn, BitBtnExit})
    buttons->addWidget(button);
  column->addLayout(buttons);
  const std::pair<QWidget*, const char*> names[] = {
      {EditEmp, "EditEmp"}, {Date, "Date"}, {EditClient, "EditClient"}, {EditCase, "EditCase"},
      {EditGroup, "EditGroup"}, {EditNarr, "EditNarr"}, {EditHours, "EditHours"}, {Memo1, "Memo1"},
      {ShowBatchBitBtn, "ShowBatchBitBtn"}, {BitBtnExport, "BitBtnExport"}, {SaveBitBtn, "SaveBitBtn"},
      {ClearBitBtn, "ClearBitBtn"}, {BitBtnExit, "BitBtnExit"}, {PauseBitBtn, "PauseBitBtn"}};
  for (const auto& [widget, name] : names) widget->setObjectName(name);
  // Tab order: down the fields, then the buttons; the narrative code is no tab stop.
  QWidget* order[] = {EditEmp, Date, EditClient, EditCase, EditGroup, EditHours, Memo1,
                      ShowBatchBitBtn, BitBtnExport, SaveBitBtn, ClearBitBtn, BitBtnExit};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  connect(ShowBatchBitBtn, &QPushButton::clicked, this, [this] { ShowBatchBitBtnClick(); });
  connect(BitBtnExport, &QPushButton::clicked, this, [this] { BitBtnExportClick(); });
  connect(SaveBitBtn, &QPushButton::clicked, this, [this] { SaveBitBtnClick(); });
  connect(ClearBitBtn, &QPushButton::clicked, this, [this] { ClearBitBtnClick(); });
  connect(BitBtnExit, &QPushButton::clicked, this, [this] { BitBtnExitClick(); });
  connect(SBTimer, &QToolButton::clicked, this, [this] { SBTimerClick(); });
  connect(PauseBitBtn, &QPushButton::clicked, this, [this] { PauseBitBtnClick(); });
  Timer1 = new QTimer(this);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  BuildList(central);
}

void TQEF::BuildMenus() {
  QMenu* options = menuBar()->addMenu("&Options");
  StartTimer1 = options->addAction("Start &Timer");
  connect(StartTimer1, &QAction::triggered, this, [this] { SBTimerClick(); });
  NumOrd = options->addAction("&List cases in numeric order");
  NumOrd->setCheckable(true);
  connect(NumOrd, &QAction::triggered, this, [this] { NumOrdClick(); });
  Spellcheck1 = options->addAction("&Spell check");
  connect(Spellcheck1, &QAction::triggered, this, [this] { GuardEvent([this] { SBSpellCheckClick(); }); });
  QMenu* lookup = menuBar()->addMenu("&Lookup by...");
  const char* const empCaptions[] = {"&Employee code", "E&mployee Name"};
  for (int i = 0; i < 2; ++i) {
    EmpItems[i] = lookup->addAction(empCaptions[i]);
    EmpItems[i]->setCheckable(true);
    connect(EmpItems[i], &QAction::triggered, this, [this, i] { Employeecode1Click(i + 1); });
  }
  lookup->addSeparator();
  const char* const entryCaptions[] = {"&Client code\\Case suffix", "Client &name\\Case suffix", "Case &suffix only",
                                       "&Alternate identifier"};
  for (int i = 0; i < 4; ++i) {
    EntryItems[i] = lookup->addAction(entryCaptions[i]);
    EntryItems[i]->setCheckable(true);
    connect(EntryItems[i], &QAction::triggered, this, [this, i] { ClientcodeCaseSuffix1Click(i + 1); });
  }
}

void TQEF::BindFocus() {
  for (int tag = 0; tag < LookupCount; ++tag) {
    QLineEdit* edit = EditOf(TQeField(tag));
    focus_->BindEnter(edit, [this, tag](QWidget*) { EditClientEnter(TQeField(tag)); });
    focus_->BindExit(edit, [this, tag](QWidget*) { EditClientExit(TQeField(tag)); });
  }
  focus_->BindEnter(EditHours, [this](QWidget*) { HideList(); });
  focus_->BindExit(EditHours, [this](QWidget*) { EditHoursExit(); });
  focus_->BindEnter(Memo1, [this](QWidget*) { HideList(); });
  focus_->BindExit(Memo1, [this](QWidget*) { Memo1Exit(); });
  focus_->BindEnter(Date, [this](QWidget*) { HideList(); });
}

bool TQEF::TakeBackUnstorable(QLineEdit* Edit) {
  try {
    StoredText(Edit->text());
    return false;
  } catch (const EConvertError& e) {
    Edit->undo();
    MessageDlg(e.what(), mtError, mbOKOnly, 0);
    return true;
  }
}

QLineEdit* TQEF::EditOf(TQeField Field) const {
  switch (Field) {
    case TQeField::Employee: return EditEmp;
    case TQeField::Client: return EditClient;
    case TQeField::Case: return EditCase;
    case TQeField::Group: return EditGroup;
    case TQeField::Narr: return EditNarr;
    default: return nullptr;
  }
}

QLineEdit* TQEF::ActiveEdit() const {
  return ActiveField >= 0 && ActiveField < LookupCount ? EditOf(TQeField(ActiveField)) : nullptr;
}

// ---- showing ----

void TQEF::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
  stopwatch_->ScreenShown();
}

void TQEF::FormShow() {
  formShowing_ = true;
  ScaleFactor = logicalDpiX() / 120.0;
  // The captions' own size is too large for their column at 96 dpi.
  if (logicalDpiX() == 96)
    for (QLabel* caption : findChildren<QLabel*>())
      if (caption->property("fieldCaption").toBool()) {
        QFont small = caption->font();
        small.setPointSize(7);
        caption->setFont(small);
      }
  LayoutList();
  SuppressSearch = true;
  State.ChosenEmployee.clear();
  ActiveField = -1;
  int increment = 2;
  const std::string failed = OpenNarrativeFile();
  if (!failed.empty()) {
    ::ShowMessage(failed);
  } else {
    try {
      OpenSysOptionsFile();
      bool atEnd = false;
      BtrGetFirst(SysOptionsFileNo, SysopRec, atEnd, false);
      if (!atEnd) {
        State.GroupCodeRule = AnsiUpperChar(FieldText(SysopRec, SysopFld::GroupCodeRule)[0]);
        increment = IncrementChoiceOfOptions(SysopRec);
      }
      AltIdUpperCase = FieldText(SysopRec, SysopFld::AltIdUpperCase) == "Y";
      BtrCloseFile(SysOptionsFileNo);
    } catch (const EBtrAbort& e) {
      ::ShowMessage(e.what());
    }
  }
  stopwatch_->SetIncrement(increment);
  Employeecode1Click(Startup.MDEmpByName == "C" ? 1 : 2);
  ClientcodeCaseSuffix1Click(std::clamp(Startup.EntryModeIdx, 1, 4));
  TDateTime day = 0;
  try {
    day = std::floor(Startup.WorkDate);
    Date->SetDate(day);
  } catch (const Exception&) {
    // A work date before the first entry date leaves the date blank: the
    // save's date check asks for one.
    Date->clear();
  }
  TakeSnapshot();
  // After the mode switch, which clears the hours: the time handed over.
  if (PendingResume) {
    EditHours->setText(WidgetText(ElapsedHoursText(PendingResume->first, increment)));
    stopwatch_->RequestResume(PendingResume->first, PendingResume->second);
    PendingResume.reset();
    stopwatch_->Start();
  } else {
    // Idle: the display shows the time of day.
    SetTimer(true, IdleIntervalMs);
    stopwatch_->Tick();
  }
  // The fixed sizes of the short fields, at this screen's density.
  const auto scaled = [this](int Pixels) { return int(std::lround(Pixels * ScaleFactor)); };
  EditGroup->setFixedWidth(scaled(40));
  EditNarr->setFixedWidth(scaled(48));
  EditHours->setFixedWidth(scaled(92));
  Date->setMinimumWidth(Date->fontMetrics().horizontalAdvance("00/00/00000") + scaled(40));
  // The name column stays put whatever the day: room for the longest day name.
  int dayWidth = 0;
  for (const std::string& day : FormatSettings.LongDayNames)
    dayWidth = std::max(dayWidth, LabelDayofWeek->fontMetrics().horizontalAdvance(WidgetText(day)));
  LabelDayofWeek->setMinimumWidth(dayWidth);
  grid_->setColumnMinimumWidth(1, scaled(CaseModes[3].Width) + ShowListButtons[2]->sizeHint().width() + 1);
  grid_->setColumnMinimumWidth(2, scaled(340));
  resize(int(std::lround(width() * ScaleFactor)), height());
  // A fresh screen starts at the employee: leaving an empty client for it
  // would only warn.
  formShowing_ = false;
  focus_->FocusControl(EditEmp);
}

void TQEF::TakeSnapshot() { snapshot_ = Current(); }

TQEF::TSnapshot TQEF::Current() const {
  TSnapshot now;
  now.Employee = State.ChosenEmployee;
  now.Client = State.ChosenClient;
  now.Case = State.ChosenCase;
  now.Group = Trim(TextOf(EditGroup));
  now.Hours = Trim(TextOf(EditHours));
  now.Description = Trim(StoredText(Memo1->toPlainText()));
  now.Day = Date->text().isEmpty() ? 0 : int64_t(std::floor(Date->Value()));
  return now;
}

bool TQEF::EntryChanged() const { return !(Current() == snapshot_); }

void TQEF::ShowStateLabels() {
  SetLabel(LabelEmpName, State.LabelEmpName);
  SetLabel(LabelClientName, State.LabelClientName);
  SetLabel(LabelPhone, State.LabelPhone);
  SetLabel(LabelCaseDesc, State.LabelCaseDesc);
}

// ---- modes ----

void TQEF::Employeecode1Click(int Tag) {
  HideList();
  list_.Clear();
  EditEmp->clear();
  State.EmpByNameIdx = Tag;
  const TEditMode& mode = EmpModes[Tag - 1];
  EditEmp->setFixedWidth(int(std::lround(mode.Width * ScaleFactor)));
  SetTypingLimit(EditEmp, mode.MaxLength);
  EditEmp->setProperty("capitals", mode.Capitals);
  LabelEmpName->setVisible(Tag == 1);
  if (BtrIsFileOpen(QEmpFileNo)) BtrSetKeyNumber(QEmpFileNo, Tag == 1 ? 1 : 3);
  EmpItems[0]->setChecked(Tag == 1);
  EmpItems[1]->setChecked(Tag == 2);
  const std::string letter(1, EmpLetters[Tag - 1]);
  if (letter != Startup.MDEmpByName) {
    Startup.MDEmpByName = letter;
    Startup.EmpByNameIdx = Tag;
    WriteRegValue("MDEmpByName", letter);
  }
}

namespace {
int8_t CaseKeyOf(int Mode, bool Numeric) {
  if (Mode == 4) return 3;
  if (Mode == 3) return Numeric ? 6 : 5;
  return Numeric ? 1 : 4;
}
}  // namespace

void TQEF::ClientcodeCaseSuffix1Click(int Tag) {
  ClearBitBtnClick();
  list_.Clear();
  State.EntryModeIdx = Tag;
  ShowClientField(State.ClientFirst());
  const TEditMode& caseMode = CaseModes[Tag - 1];
  EditCase->setFixedWidth(int(std::lround(caseMode.Width * ScaleFactor)));
  SetTypingLimit(EditCase, caseMode.MaxLength);
  EditCase->setProperty("capitals", Tag == 4 ? AltIdUpperCase : caseMode.Capitals);
  if (BtrIsFileOpen(QCaseFileNo)) BtrSetKeyNumber(QCaseFileNo, CaseKeyOf(Tag, NumOrd->isChecked()));
  if (!State.ClientFirst() && BtrIsFileOpen(QClientFileNo)) BtrSetKeyNumber(QClientFileNo, 1);
  for (int i = 0; i < 4; ++i) EntryItems[i]->setChecked(i + 1 == Tag);
  QWidget* focused = QApplication::focusWidget();
  for (int tag = 0; tag < 4; ++tag)
    if (focused == EditOf(TQeField(tag)) && ActiveField != tag) EditClientEnter(TQeField(tag));
  const std::string letter(1, ModeLetters[Tag - 1]);
  if (letter != Startup.MDEntryMode) {
    Startup.MDEntryMode = letter;
    Startup.EntryModeIdx = Tag;
    WriteRegValue("MDEntryMode", letter);
  }
}

void TQEF::ShowClientField(bool Show) {
  const int mode = State.EntryModeIdx;
  const int hoursWas = EditHours->y();
  if (Show) {
    const TEditMode& clientMode = ClientModes[mode == 2 ? 1 : 0];
    EditClient->setFixedWidth(int(std::lround(clientMode.Width * ScaleFactor)));
    SetTypingLimit(EditClient, clientMode.MaxLength);
    EditClient->setProperty("capitals", clientMode.Capitals);
    if (BtrIsFileOpen(QClientFileNo)) BtrSetKeyNumber(QClientFileNo, mode == 2 ? 3 : 1);
  }
  EditClient->setFocusPolicy(Show ? Qt::StrongFocus : Qt::NoFocus);
  for (QWidget* w : {static_cast<QWidget*>(EditClient), static_cast<QWidget*>(ClientCaption),
                     static_cast<QWidget*>(ShowListButtons[1])})
    w->setVisible(Show);
  HideListButtons[1]->hide();
  PlaceNameLabels(Show);
  LabelClientName->setVisible(!Show || mode == 1);
  clientRowShown_ = Show;
  FollowRows(hoursWas);
}

void TQEF::PlaceNameLabels(bool ClientRow) {
  // The client's name: in its own row, else above the case's description.
  grid_->removeWidget(LabelClientName);
  caseLabels_->removeWidget(LabelClientName);
  if (ClientRow)
    grid_->addWidget(LabelClientName, ClientRowNo, 2);
  else
    caseLabels_->insertWidget(0, LabelClientName);
  // The phone: right of the date, or in mode 4 left of the stopwatch button.
  grid_->removeWidget(LabelPhone);
  hoursCell_->removeWidget(LabelPhone);
  const bool besideStopwatch = !ClientRow && State.EntryModeIdx == 4;
  LabelPhone->setSizePolicy(besideStopwatch ? QSizePolicy::Preferred : QSizePolicy::Ignored, QSizePolicy::Preferred);
  if (besideStopwatch)
    hoursCell_->insertWidget(hoursCell_->indexOf(SBTimer), LabelPhone);
  else
    grid_->addWidget(LabelPhone, DateRowNo, 2);
}

void TQEF::FollowRows(int HoursWas) {
  if (!isVisible()) return;
  // The controls below the client row moved by what it took or gave back;
  // the form follows them so the description keeps its height.
  centralWidget()->layout()->invalidate();
  centralWidget()->layout()->activate();
  const int moved = EditHours->y() - HoursWas;
  if (moved != 0) resize(width(), height() + moved);
}

void TQEF::NumOrdClick() {
  State.NumOrd = NumOrd->isChecked();
  if (BtrIsFileOpen(QCaseFileNo)) BtrSetKeyNumber(QCaseFileNo, CaseKeyOf(State.EntryModeIdx, State.NumOrd));
}

// ---- lookup fields ----

void TQEF::EditClientEnter(TQeField Field) {
  const int tag = int(Field);
  if (tag == ActiveField) return;
  THourglass busy;
  HideList();
  QLineEdit* edit = EditOf(Field);
  if (!edit->hasSelectedText()) edit->selectAll();
  ActiveField = tag;
  NumericListRequested = false;
}

void TQEF::EditClientChange(TQeField Field) {
  QLineEdit* edit = EditOf(Field);
  if (edit->property("capitals").toBool()) {
    const int caret = edit->cursorPosition();
    const QString upper = edit->text().toUpper();
    if (upper != edit->text()) {
      edit->setText(upper);
      edit->setCursorPosition(caret);
    }
  }
  if (SuppressSearch) {
    SuppressSearch = false;
    if (!EditingBatchEntry && Field == TQeField::Client) {
      EditCase->clear();
      State.LabelCaseDesc.clear();
      ShowStateLabels();
    }
    return;
  }
  ClearDependents(Field);
  ShowStateLabels();
  ActiveField = int(Field);
  FillList(Field);
}

void TQEF::ClearDependents(TQeField Field) {
  switch (Field) {
    case TQeField::Employee:
      if (State.EmpByNameIdx == 1) State.LabelEmpName.clear();
      break;
    case TQeField::Client:
      if (State.EntryModeIdx == 1) State.LabelClientName.clear();
      State.LabelPhone.clear();
      State.LabelCaseDesc.clear();
      EditCase->clear();
      break;
    case TQeField::Case:
      State.LabelCaseDesc.clear();
      if (!State.ClientFirst()) State.LabelClientName.clear(), State.LabelPhone.clear();
      break;
    default:
      break;
  }
}

TQeSelectedRow TQEF::SelectedListRow(TQeField Field) const {
  const auto& rows = list_.Rows();
  if (list_.LoadedFor() != Field || selectedRow_ < 0 || selectedRow_ >= int(rows.size())) return {};
  return {rows[size_t(selectedRow_)][0], rows[size_t(selectedRow_)][2]};
}

bool TQEF::LeavingToSkipButton(bool PauseToo) const {
  for (QWidget* button : {static_cast<QWidget*>(BitBtnExit), static_cast<QWidget*>(ClearBitBtn),
                          static_cast<QWidget*>(ShowBatchBitBtn), static_cast<QWidget*>(BitBtnExport)})
    if (focus_->IsLeavingTo(button)) return true;
  return PauseToo && focus_->IsLeavingTo(PauseBitBtn);
}

void TQEF::ShowMessage(const TQeCheck& Check) {
  if (!Check.Failed()) return;
  MessageDlg(Check.Message, Check.Type, mbOKOnly, 0);
}

void TQEF::FocusField(TQeField Field) {
  QWidget* target = Field == TQeField::Hours ? static_cast<QWidget*>(EditHours)
                    : Field == TQeField::Description ? static_cast<QWidget*>(Memo1)
                                                     : EditOf(Field);
  if (target) focus_->FocusControl(target);
}

void TQEF::EditClientExit(TQeField Field) {
  // The move a refused exit sent to another field is not checked again.
  if (redirected_) {
    redirected_ = false;
    return;
  }
  if (LeavingToSkipButton(true)) return;
  const bool intoList = focus_->Destination() && ListPanel->isAncestorOf(focus_->Destination());
  const std::string text = TextOf(EditOf(Field));
  TQeCheck check;
  switch (Field) {
    case TQeField::Employee: check = CheckEmployee(State, text, intoList, SelectedListRow(Field)); break;
    case TQeField::Client:
      if (!State.ClientFirst()) break;
      check = CheckClient(State, text, intoList, SelectedListRow(Field));
      break;
    case TQeField::Case: check = CheckCase(State, text, intoList, EditClient->isVisible() && TextOf(EditClient).empty());
      break;
    case TQeField::Group:
      if (!intoList) check = CheckGroup(State, text);
      break;
    default: break;
  }
  if (check.EmptyCase) {
    SuppressSearch = true;
    EditCase->clear();
    SuppressSearch = false;
  }
  ShowStateLabels();
  if (check.Failed()) {
    ShowMessage(check);
    redirected_ = check.Focus != Field;
    FocusField(check.Focus);
  }
  SendHubMessage(EditingStatusCode, Trim(State.ChosenClient) + " - " + Trim(State.ChosenCase), 0, 0);
}

void TQEF::EditHoursExit() {
  if (LeavingToSkipButton(false)) return;
  std::string hours = TextOf(EditHours);
  const TQeCheck check = CheckHours(hours);
  if (check.Failed()) {
    ShowMessage(check);
    focus_->FocusControl(EditHours);
    return;
  }
  if (hours != TextOf(EditHours)) EditHours->setText(WidgetText(hours));
}

void TQEF::Memo1Exit() {
  const std::string text = StoredText(Memo1->toPlainText());
  const TQeCheck check = CheckDescription(text);
  if (!check.Failed()) return;
  ShowMessage(check);
  QTextCursor caret = Memo1->textCursor();
  caret.setPosition(int(QeDescMaxLen));
  Memo1->setTextCursor(caret);
}

void TQEF::SBSpellCheckClick() { CheckMemoSpelling(this, Memo1); }

void TQEF::DateChange() {
  if (Date->text().isEmpty()) {
    LabelDayofWeek->clear();
    return;
  }
  SetLabel(LabelDayofWeek, FormatSettings.LongDayNames[DayOfWeek(Date->Value()) - 1]);
}

// ---- commands ----

void TQEF::ClearBitBtnClick() {
  if (stopwatch_ && stopwatch_->Running()) SBTimerClick();
  HideList();
  EditingBatchEntry = false;
  LabelEditing->hide();
  SendHubMessage(EditingStatusCode, "", 0, 0);
  SuppressSearch = true;
  for (QLineEdit* edit : {EditClient, EditCase, EditGroup, EditNarr}) edit->clear();
  SuppressSearch = false;
  Memo1->clear();
  EditHours->setText("0.00");
  State.ChosenClient.clear();
  State.ChosenCase.clear();
  State.LabelEmpName.clear();
  State.LabelClientName.clear();
  State.LabelPhone.clear();
  State.LabelCaseDesc.clear();
  ShowStateLabels();
  TakeSnapshot();
  if (isVisible() && !formShowing_) focus_->FocusControl(State.ClientFirst() ? EditClient : EditCase);
}

void TQEF::BitBtnExitClick() {
  if (EntryChanged() && MessageDlg(CancelQuestion, mtConfirmation, mbYesNo, 0) != mrYes) return;
  HideList();
  EditingBatchEntry = false;
  CloseBatchFiles();
  close();
}

void TQEF::closeEvent(QCloseEvent* Event) {
  try {
    CloseQuickEntryFiles();
    CloseBatchFiles();
  } catch (const EBtrAbort& e) {
    ::ShowMessage(e.what());
  }
  QEFRequested = false;
  QEFRunning = false;
  QMainWindow::closeEvent(Event);
}

TQeEntryTexts TQEF::EntryTexts() const {
  TQeEntryTexts texts;
  texts.Employee = TextOf(EditEmp);
  texts.Client = TextOf(EditClient);
  texts.Case = TextOf(EditCase);
  texts.Group = TextOf(EditGroup);
  texts.Hours = TextOf(EditHours);
  texts.Description = StoredText(Memo1->toPlainText());
  texts.ClientVisible = EditClient->isVisible();
  return texts;
}

void TQEF::SaveBitBtnClick() {
  HideList();
  TQeEntryTexts texts = EntryTexts();
  const TQeCheck check = CheckBeforeSave(State, texts);
  if (check.Failed()) {
    ShowMessage(check);
    FocusField(check.Focus);
    if (check.Focus == TQeField::Description) {
      QTextCursor caret = Memo1->textCursor();
      caret.setPosition(int(QeDescMaxLen));
      Memo1->setTextCursor(caret);
    }
    return;
  }
  TBatchEntry entry;
  entry.Employee = State.ChosenEmployee;
  entry.Date = Date->text().isEmpty() ? 0 : std::floor(Date->Value());
  entry.Client = State.ChosenClient;
  entry.CaseSuffix = State.ChosenCase;
  entry.Group = Trim(texts.Group);
  entry.Hours = texts.Hours;
  // Line breaks are stored as CR LF.
  QString description = Memo1->toPlainText();
  description.replace("\n", "\r\n");
  entry.Description = StoredText(description);
  if (EditingBatchEntry) {
    entry.Editing = true;
    entry.EditPos = EditingBatchPos;
    entry.EditLink = FieldText(TrinRec, TrinField::Link);
  }
  const TBatchEntryCheck batchCheck = CheckBatchEntry(entry.Date, entry.Hours);
  if (!batchCheck.Message.empty()) {
    MessageDlg(batchCheck.Message, mtError, mbOKOnly, 0);
    focus_->FocusControl(batchCheck.Field == TBatchEntryField::Date ? static_cast<QWidget*>(Date) : EditHours);
    return;
  }
  if (!SaveBatchEntry(entry)) return;
  ClearBitBtnClick();
}

void TQEF::BitBtnExportClick() {
  HideList();
  SelectExportDir();
}

void TQEF::ShowBatchBitBtnClick() {
  if (EntryChanged()) {
    if (MessageDlg(CancelQuestion, mtConfirmation, mbYesNo, 0) != mrYes) return;
    ClearBitBtnClick();
  }
  EditingBatchEntry = false;
  LabelEditing->hide();
  auto* viewer = new TQBatchViewF(this);
  viewer->setWindowModality(Qt::WindowModal);
  viewer->exec();
  delete viewer;
  if (EditingBatchEntry) LoadEditedEntry();
}

void TQEF::LoadEditedEntry() {
  LabelEditing->show();
  SuppressSearch = true;
  const std::string employee = FieldText(TrinRec, TrinField::Employee);
  State.ChosenEmployee = employee;
  BtrSetKeyNumber(QEmpFileNo, 1);
  if (BtrGetEqual(QEmpFileNo, EmployeeKey(employee), QEmpRec, false)) {
    const std::string name = EmployeeName(QEmpRec);
    State.LabelEmpName = State.EmpByNameIdx == 1 ? name : "";
    EditEmp->setText(WidgetText(State.EmpByNameIdx == 1 ? TrimRight(employee) : name));
  }
  BtrSetKeyNumber(QEmpFileNo, State.EmpByNameIdx == 1 ? 1 : 3);
  // The date as stored, not as the viewer showed it.
  Date->SetDate(FileDateToDate(FieldText(TrinRec, TrinField::Date), true));
  const std::string client = FieldText(TrinRec, TrinField::Client);
  BtrSetKeyNumber(QClientFileNo, 1);
  State.ChosenClient = client;
  if (BtrGetEqual(QClientFileNo, ClientKey(client), QClientRec, false)) {
    const std::string name = ClientName(QClientRec);
    State.LabelClientName = State.EntryModeIdx == 2 ? "" : name;
    State.LabelPhone = TrimRight(FieldText(QClientRec, ClientFld::Phone1));
    EditClient->setText(WidgetText(State.EntryModeIdx == 2 ? name : TrimRight(client)));
  }
  BtrSetKeyNumber(QClientFileNo, State.EntryModeIdx == 2 ? 3 : 1);
  const std::string caseKey = CaseKey(client, Trim(FieldText(TrinRec, TrinField::CaseSuffix)), true);
  State.ChosenCase = caseKey.substr(7, 7);
  BtrSetKeyNumber(QCaseFileNo, 1);
  if (BtrGetEqual(QCaseFileNo, caseKey, QCaseRec, false)) {
    State.LabelCaseDesc = TrimRight(FieldText(QCaseRec, CaseFld::Description));
    const std::string shown = State.EntryModeIdx == 4 ? Trim(FieldText(QCaseRec, CaseFld::AltId))
                              : State.NumOrd          ? State.ChosenCase
                                                      : Trim(State.ChosenCase);
    EditCase->setText(WidgetText(shown));
  }
  BtrSetKeyNumber(QCaseFileNo, CaseKeyOf(State.EntryModeIdx, State.NumOrd));
  SendHubMessage(EditingStatusCode, TextOf(EditClient) + " - " + TextOf(EditCase), 0, 0);
  EditGroup->setText(WidgetText(Trim(FieldText(TrinRec, TrinField::Group))));
  EditHours->setText(WidgetText(Trim(PackedHoursToText(FieldText(TrinRec, TrinField::Hours)))));
  if (OpenBatchFiles()) {
    QString description = WidgetText(JoinDescPieces(ReadDescPieces(FieldText(TrinRec, TrinField::Link))));
    Memo1->setPlainText(description.replace("\r\n", "\n"));
  }
  SuppressSearch = false;
  ShowStateLabels();
  TakeSnapshot();
}

// ---- stopwatch ----

void TQEF::SBTimerClick() { stopwatch_->StartOrStop(); }
void TQEF::PauseBitBtnClick() { stopwatch_->PauseOrResume(); }
void TQEF::Timer1Timer() { stopwatch_->Tick(); }

void TQEF::SetTimeText(const std::string& Text) { EditTime->setText(WidgetText(Text)); }
std::string TQEF::HoursText() const { return TextOf(EditHours); }
void TQEF::SetHoursText(const std::string& Text) { EditHours->setText(WidgetText(Text)); }
void TQEF::SetPauseButton(bool Visible, const std::string& Caption) {
  PauseBitBtn->setVisible(Visible);
  PauseBitBtn->setText(WidgetText(Caption));
}
void TQEF::SetStartItem(const std::string& Caption, bool Enabled) {
  StartTimer1->setText(WidgetText(Caption));
  StartTimer1->setEnabled(Enabled);
}
void TQEF::SetTimer(bool Enabled, int IntervalMs) {
  Timer1->setInterval(IntervalMs);
  if (Enabled)
    Timer1->start();
  else
    Timer1->stop();
}
bool TQEF::IsShowing() const { return isVisible(); }

void TQEF::changeEvent(QEvent* Event) {
  QMainWindow::changeEvent(Event);
  if (Event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

// ---- hand-over ----

void TQEF::FormActivate() {
  bool agreed = false;
  const std::pair<std::string*, TQeField> pending[] = {
      {&PendingClient, TQeField::Client}, {&PendingCase, TQeField::Case}, {&PendingEmployee, TQeField::Employee}};
  for (const auto& [value, field] : pending) {
    if (value->empty()) continue;
    QLineEdit* edit = EditOf(field);
    if (!edit->text().isEmpty() && !agreed) {
      if (MessageDlg(OverwriteQuestion, mtConfirmation, mbYesNo, 0) != mrYes) {
        value->clear();
        return;
      }
    }
    agreed = true;
    std::string text = *value;
    if (field == TQeField::Case && !State.NumOrd) text = LeftJustified(Trim(text), 7);
    value->clear();
    ActiveField = int(field);
    SuppressSearch = true;
    edit->setText(WidgetText(TrimRight(text)));
    SuppressSearch = false;
    EditClientChange(field);
    HideList();
  }
}

bool OpenQuickEntry(const TQeHandOver& HandOver) {
  const bool fresh = QEF.isNull();
  const std::string failed = OpenQuickEntryFiles();
  if (!failed.empty()) {
    ShowMessage(failed);
    return false;
  }
  if (fresh) QEF = new TQEF;
  QEF->PendingClient = HandOver.Client;
  QEF->PendingCase = HandOver.Case;
  QEF->PendingEmployee = HandOver.Employee;
  if (HandOver.Resume) {
    if (fresh) {
      QEF->PendingResume = HandOver.Resume;
    } else {
      QEF->Stopwatch().RequestResume(HandOver.Resume->first, HandOver.Resume->second);
      if (!QEF->Stopwatch().Running()) QEF->Stopwatch().Start();
    }
  }
  if (QEF->isMinimized()) QEF->showNormal();
  QEF->show();
  QEF->raise();
  QEF->activateWindow();
  QEFRunning = true;
  return true;
}
