#include "entry/qt/entry_form.h"
#include "entry/qt/quick_entry_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/entry_layout.h"
#include "entry/qt/field_validator.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/application.h"
#include "platform/qt/color.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/widget_text.h"
#include "platform/qt/work_area.h"
#include "platform/dialogs.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const FormCaption = "Corvenstead Matterdesk Entry and Maintenance Module";
const char* const ProductTitle = "Corvenstead Matterdesk";
constexpr int GridViewHeaderHeight = 22;
constexpr int DropdownCols = 12;
constexpr int DropdownRows = 501;
// The stopwatch panel as designed; small fonts narrow it to 55 and give the
// name panel the form's width less 70.
constexpr int StatusTimeWidth = 69;
constexpr int SmallFontsPixelsPerInch = 96;
constexpr int SmallFontsTimeWidth = 55;
constexpr int SmallFontsNameLess = 70;
constexpr int SmallFontsEditPoints = 6;
// Where a generated control keeps its plan index.
const char* const PlanIndexProperty = "planIndex";


class TFontMeasure : public TTextMeasure {
public:
  explicit TFontMeasure(const QFont& Font) : metrics_(Font) {}
  int TextWidth(const std::string& Text) const override { return metrics_.horizontalAdvance(WidgetText(Text)); }
  int TextHeight(const std::string& Text) const override { return metrics_.boundingRect(WidgetText(Text)).height(); }

private:
  QFontMetrics metrics_;
};

QFont ScreenFont() {
  QFont font("Liberation Sans");
  font.setPixelSize(13);
  return font;
}

void SetColors(QWidget* W, uint32_t Back, uint32_t Fore) {
  QPalette p = W->palette();
  p.setColor(QPalette::Base, ToQColor(TColor(Back)));
  p.setColor(QPalette::Window, ToQColor(TColor(Back)));
  p.setColor(QPalette::Text, ToQColor(TColor(Fore)));
  p.setColor(QPalette::WindowText, ToQColor(TColor(Fore)));
  p.setColor(QPalette::Disabled, QPalette::Text, ToQColor(TColor(Fore)));
  p.setColor(QPalette::Disabled, QPalette::Base, ToQColor(TColor(Back)));
  W->setPalette(p);
  W->setAutoFillBackground(true);
}

void SetForeground(QWidget* W, uint32_t Fore) {
  QPalette p = W->palette();
  p.setColor(QPalette::WindowText, ToQColor(TColor(Fore)));
  p.setColor(QPalette::ButtonText, ToQColor(TColor(Fore)));
  W->setPalette(p);
}

// A check box is planned as wide as its caption plus the box and a gap
// narrower than the style's own, which would cut the caption's outer
// pixels; the gap shrinks to what the plan leaves.
void FitCaptionGap(QCheckBox* Box) {
  const int indicator = Box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, Box);
  Box->setStyleSheet(QString("QCheckBox { spacing: %1px; }").arg(std::max(0, CheckBoxExtra - indicator)));
}

QIcon Image(const char* Name) { return QIcon(QString(":/entry/") + Name + ".png"); }

// Image empty: the text alone.
QToolButton* ToolButton(QWidget* Parent, const char* Name, const char* ImageName, const QString& Text = {}) {
  auto* b = new QToolButton(Parent);
  b->setObjectName(Name);
  b->setText(Text);
  if (*ImageName) b->setIcon(Image(ImageName));
  b->setToolButtonStyle(*ImageName && !Text.isEmpty() ? Qt::ToolButtonTextBesideIcon
                        : *ImageName                  ? Qt::ToolButtonIconOnly
                                                      : Qt::ToolButtonTextOnly);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

// A generated button with the image, text and hint of its model.
QToolButton* LookingLike(QWidget* Parent, const QToolButton* Model) {
  auto* b = new QToolButton(Parent);
  b->setIcon(Model->icon());
  b->setText(Model->text());
  b->setToolTip(Model->toolTip());
  b->setToolButtonStyle(Model->toolButtonStyle());
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QPushButton* BarButton(QWidget* Parent, QHBoxLayout* Bar, const char* Name, const char* Caption,
                       const char* ImageName) {
  auto* b = new QPushButton(Image(ImageName), WidgetText(Caption), Parent);
  b->setObjectName(Name);
  b->setAutoDefault(false);
  b->setDefault(false);
  // Tab stops only once the fields are built.
  b->setFocusPolicy(Qt::ClickFocus);
  Bar->addWidget(b);
  return b;
}

using THandlerMethod = void (TEntryF::*)(QWidget*, TEntryEventArgs&);

THandlerMethod MethodOf(THandler H) {
  static const THandlerMethod methods[] = {
      &TEntryF::FamilyLookupEnter,  &TEntryF::TemplateLookupEnter, &TEntryF::UserListEnter,
      &TEntryF::OwnIndexEnter,      &TEntryF::LookupExitCheck,     &TEntryF::IndexFieldExit,
      &TEntryF::NumericFieldExit,   &TEntryF::DropdownKeyDown,     &TEntryF::UserListKeyDown,
      &TEntryF::OwnIndexKeyDown,    &TEntryF::MemoKeyDown,         &TEntryF::LookupKeyPress,
      &TEntryF::DropdownTextChange, &TEntryF::UserListTextChange,  &TEntryF::MemoSizeGuard,
      &TEntryF::FieldClick,         &TEntryF::FieldKeyUp,          &TEntryF::SBShowListClick};
  return methods[size_t(H)];
}

}  // namespace

TEntryF::TEntryF(QWidget* Parent) : QDialog(Parent) {
  setObjectName("EntryF");
  setWindowTitle(FormCaption);
  setFont(ScreenFont());
  resize(EntryClientWidth, EntryClientHeight);
  BuildFixedParts();
}

// The hooks go first: nothing reaches a form being taken apart. The
// generated controls go while the form is whole: their events reach its
// filter.
TEntryF::~TEntryF() {
  ReleaseGridView();
  ClearHooksOf(this);
  RemoveFocusModel();
  ClearGenerated();
}

void TEntryF::BuildFixedParts() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  MainMenu1 = new QMenuBar(this);
  File1 = MainMenu1->addMenu(WidgetText("&File"));
  Exit1 = File1->addAction(WidgetText("E&xit"));
  connect(Exit1, &QAction::triggered, this, [this] { GuardEvent([this] { BitBtnCancelClick(); }); });
  LimitDD1 = File1->addAction(WidgetText("&Limit dropdown to records in template"));
  LimitDD1->setObjectName("LimitDD1");
  LimitDD1->setCheckable(true);
  outer->setMenuBar(MainMenu1);

  PanelTop = new QFrame(this);
  PanelTop->setObjectName("PanelTop");
  auto* top = new QHBoxLayout(PanelTop);
  LabelTableName = new QLabel(PanelTop);
  LabelTableName->setObjectName("LabelTableName");
  QFont bold = ScreenFont();
  bold.setBold(true);
  bold.setPixelSize(16);
  LabelTableName->setFont(bold);
  SetForeground(LabelTableName, EntryColor::Navy);
  top->addWidget(LabelTableName);
  top->addStretch();
  outer->addWidget(PanelTop);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollContent = new QWidget;
  ScrollContent->setObjectName("ScrollContent");
  ScrollBox1->setWidget(ScrollContent);
  ScrollBox1->setWidgetResizable(false);
  // A click on the list's buttons leaves the focus in the field.
  ScrollBox1->setFocusPolicy(Qt::NoFocus);
  outer->addWidget(ScrollBox1, 1);

  // The dropdown list floats over the fields, hidden until a list drops.
  ListPanel = new QFrame(ScrollContent);
  ListPanel->setObjectName("ListPanel");
  ListPanel->setFrameShape(QFrame::Box);
  ListPanel->hide();
  auto* listRow = new QHBoxLayout(ListPanel);
  listRow->setContentsMargins(0, 0, 0, 0);
  StringGrid1 = new QTableView(ListPanel);
  StringGrid1->setObjectName("StringGrid1");
  DropdownGrid = new QStandardItemModel(DropdownRows, DropdownCols, StringGrid1);
  DropdownGrid->setObjectName("DropdownGrid");
  StringGrid1->setModel(DropdownGrid);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setFocusPolicy(Qt::NoFocus);
  listRow->addWidget(StringGrid1);
  PanelScrollBtns = new QFrame(ListPanel);
  PanelScrollBtns->setObjectName("PanelScrollBtns");
  auto* scroll = new QVBoxLayout(PanelScrollBtns);
  scroll->setContentsMargins(0, 0, 0, 0);
  scroll->setSpacing(0);
  SBFirst = ToolButton(PanelScrollBtns, "SBFirst", "first");
  SBPgUp = ToolButton(PanelScrollBtns, "SBPgUp", "pgup");
  SBPgDn = ToolButton(PanelScrollBtns, "SBPgDn", "pgdn");
  SBLast = ToolButton(PanelScrollBtns, "SBLast", "last");
  for (QToolButton* b : {SBFirst, SBPgUp, SBPgDn, SBLast}) scroll->addWidget(b);
  listRow->addWidget(PanelScrollBtns);
  BuildDropdownParts();

  // Looks the generated controls copy; never shown themselves.
  PanelDoc = new QFrame(this);
  PanelDoc->setObjectName("PanelDoc");
  PanelDoc->hide();
  EditDoc = new QLineEdit(PanelDoc);
  EditDoc->setObjectName("EditDoc");
  SBShowList = ToolButton(this, "SBShowList", "dropdown");
  SBShowList->setToolTip(WidgetText("Show the list"));
  SBEdit = ToolButton(PanelDoc, "SBEdit", "", WidgetText("&View/Edit"));
  SBAdd = ToolButton(PanelDoc, "SBAdd", "add");
  SBAdd->setToolTip(WidgetText("Attach a document"));
  SBDelete = ToolButton(PanelDoc, "SBDelete", "delete");
  SBDelete->setToolTip(WidgetText("Remove the document"));
  SBShowList->hide();

  SBClientLink = ToolButton(ScrollContent, "SBClientLink", "link");
  SBCaseLink = ToolButton(ScrollContent, "SBCaseLink", "link");
  SBEmpLink = ToolButton(ScrollContent, "SBEmpLink", "link");
  SBClientLink->setToolTip(WidgetText("Open another template for this client"));
  SBCaseLink->setToolTip(WidgetText("Open another template for this case"));
  SBEmpLink->setToolTip(WidgetText("Open another template for this employee"));
  ListBoxClient = new QListWidget(ScrollContent);
  ListBoxClient->setObjectName("ListBoxClient");
  ListboxCase = new QListWidget(ScrollContent);
  ListboxCase->setObjectName("ListboxCase");
  ListBoxEmp = new QListWidget(ScrollContent);
  ListBoxEmp->setObjectName("ListBoxEmp");
  for (QWidget* w :
       std::initializer_list<QWidget*>{SBClientLink, SBCaseLink, SBEmpLink, ListBoxClient, ListboxCase, ListBoxEmp}) {
    w->hide();
  }

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  auto* bar = new QHBoxLayout(Panel1);
  BitBtnSave = BarButton(Panel1, bar, "BitBtnSave", "&Save", "save");
  BitBtnClear = BarButton(Panel1, bar, "BitBtnClear", "&Clear", "clear");
  BitBtnFind = BarButton(Panel1, bar, "BitBtnFind", "&Find All", "find");
  BitBtnFilter = BarButton(Panel1, bar, "BitBtnFilter", "&Use Filter", "filter");
  BitBtnQuickEntry = BarButton(Panel1, bar, "BitBtnQuickEntry", "&Quick entry", "quick");
  BitBtnPrint = BarButton(Panel1, bar, "BitBtnPrint", "&Print", "print");
  CalBitBtn = BarButton(Panel1, bar, "CalBitBtn", "Ca&lendar", "calendar");
  BitBtnCancel = BarButton(Panel1, bar, "BitBtnCancel", "E&xit", "exit");
  BitBtnSave->setToolTip(WidgetText("Save this record"));
  BitBtnClear->setToolTip(WidgetText("Clear all entry fields"));
  BitBtnFind->setToolTip(WidgetText("Display all records in the template"));
  BitBtnFilter->setToolTip(WidgetText("Display records conforming to the text you have provided (navy blue fields)"));
  BitBtnQuickEntry->setToolTip(WidgetText("Quick time entry"));
  BitBtnPrint->setToolTip(WidgetText("Print"));
  BitBtnCancel->setToolTip(WidgetText("Close this screen"));
  connect(BitBtnCancel, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnCancelClick(); }); });
  connect(BitBtnSave, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnSaveClick(); }); });
  outer->addWidget(Panel1);

  StatusBar1 = new TStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  for (size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i] = new QLabel(StatusBar1);
    StatusPanels[i]->setObjectName("StatusPanel" + QString::number(i));
    StatusBar1->addWidget(StatusPanels[i], i == 0 ? 1 : 0);
  }
  StatusPanels[1]->setFixedWidth(StatusTimeWidth);
  outer->addWidget(StatusBar1);
  BuildEditingParts();
  BuildLinkParts();
  BuildToolParts();
}

void TEntryF::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  // Every showing builds anew; a window brought back by the window system
  // is no showing.
  if (Event->spontaneous()) return;
  GuardEvent([this] { FormShow(); });
}

void TEntryF::FormShow() {
  CenterEntryForm();
  // The preparation: everything of a previous showing goes.
  SetApplicationTitle(ProductTitle);
  Editing = false;
  LoadedRecord.clear();
  ShowEditingState("");
  BuildFailed = false;
  SetOnIdle(this, [this] { EntryIdle(); });
  SetOnShowHint(this, [this](QWidget* w, const QPoint& pos, QString& text) { return GridCellHint(w, pos, text); });
  SetOnActiveControlChange(this, [this](QWidget* now) {
    ScrollIntoView(now);
    ActiveControlChange(now);
  });
  GridHeaderRowHeight = GridViewHeaderHeight;
  IndexKey.clear();
  SentClient.clear();
  SentEmp.clear();
  ClearGenerated();
  RemoveFocusModel();
  CloseLookupFiles();
  // A widget of a picker's drop-down is the picker.
  Focus = new TFocusModel(this, [](QWidget* w) -> QWidget* { return TdwDBCustomDateTimePicker::FromWidget(w); });
  // The button panel is entered through any of its buttons.
  for (QPushButton* b : Panel1->findChildren<QPushButton*>())
    Focus->BindEnter(b, [this, model = Focus](QWidget*) { Panel1Enter(model->Origin()); });
  BindLinkLists();
  for (QWidget* w : std::initializer_list<QWidget*>{SBClientLink, SBCaseLink, SBEmpLink}) w->hide();
  {
    THourglass hourglass;
    FamilyLookup.CaseKeyOption = false;
    plan_ = BuildEntryModel(TFontMeasure(font()), range_);
    MakeWidgets();
    for (size_t i = 0; i < widgets_.size(); ++i) BindEvents(int(i));
    SetTabOrder();
    LayOutRows();
    LayoutDropdownPanel();
    if (PixelsPerInch() == SmallFontsPixelsPerInch) ScaleForSmallFonts();
    CalBitBtn->setEnabled(plan_.Keys.CalBitBtnEnabled);
    CalBitBtn->setToolTip(WidgetText(plan_.Keys.CalBitBtnHint));
    if (Startup.IsChildApp) PlaceFromStartupInfo();
    setMinimumWidth(EntryMinimumWidth(Startup.MaximizeEntry, plan_.MinSlack, width()));
    if (!plan_.Failed) PrepareGridView();
    if (!plan_.Failed) ReloadLinks();
  }
  BuildFailed = plan_.Failed;
  FocusFirstField();
  if (!plan_.Failed && (Startup.IsChildApp || Startup.DirectMode)) PresetFromCommandLine();
}

// The first row whose control, or the control beside it, takes the focus;
// a document row's path edit.
void TEntryF::FocusFirstField() {
  const auto takes = [this](int Control) -> QWidget* {
    if (Control < 0) return nullptr;
    QWidget* w = widgets_[size_t(Control)];
    if (plan_.Controls[size_t(Control)].Kind == TCtlKind::DocPanel) w = w->findChild<QLineEdit*>();
    return w && w->isEnabled() && w->focusPolicy() != Qt::NoFocus ? w : nullptr;
  };
  for (size_t i = 0; i < plan_.Rows.size() && plan_.Rows[i].Top != -1; ++i) {
    QWidget* w = takes(plan_.Rows[i].Control);
    if (!w) w = takes(plan_.Side[i].Control);
    if (w) return Focus->FocusControl(w);
  }
}

void TEntryF::ClearGenerated() {
  for (QWidget* w : widgets_) delete w;
  for (QLabel* l : labels_) delete l;
  for (QFrame* b : bevels_) delete b;
  bevels_.clear();
  widgets_.clear();
  labels_.clear();
  plan_ = TEntryBuild();
}

void TEntryF::MakeWidgets() {
  for (const TCtlPlan& c : plan_.Controls) widgets_.push_back(MakeWidget(c));
  for (const TLabelPlan& l : plan_.Labels) {
    auto* label = new QLabel(WidgetText(l.Caption), ScrollContent);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->adjustSize();
    label->move(l.Left, l.Top);
    label->setProperty("tag", l.Tag);
    SetForeground(label, l.Color);
    if (l.Control >= 0) label->setBuddy(widgets_[size_t(l.Control)]);
    label->show();
    labels_.push_back(label);
  }
}

QWidget* TEntryF::MakeWidget(const TCtlPlan& C) {
  QWidget* w = nullptr;
  switch (C.Kind) {
    case TCtlKind::Edit:
    case TCtlKind::DisplayEdit: {
      auto* edit = new QLineEdit(ScrollContent);
      edit->setText(WidgetText(C.Text));
      edit->setCursorPosition(0);
      if (C.Kind == TCtlKind::Edit) {
        edit->setValidator(new TFieldValidator(C.MaxLength, C.Upper, edit));
      } else {
        edit->setFrame(false);
        SetColors(edit, C.Color, C.FontColor);
      }
      edit->setReadOnly(C.ReadOnly);
      w = edit;
      break;
    }
    case TCtlKind::Memo: {
      auto* memo = new QPlainTextEdit(ScrollContent);
      memo->setPlainText(WidgetText(C.Text));
      memo->setTabChangesFocus(true);
      // What the spelling check may let the text grow to.
      memo->setProperty("maxLength", C.MaxLength);
      memo->setProperty(MemoAcceptedText, memo->toPlainText());
      w = memo;
      break;
    }
    case TCtlKind::DatePicker: {
      auto* picker = new TdwDBDateTimePicker(ScrollContent);
      picker->SetUnboundDataType(dwDTEdtDate);
      if (C.DateBlank) {
        picker->clear();
      } else {
        picker->SetDate(C.DateValue);
      }
      w = picker;
      break;
    }
    case TCtlKind::CheckBox: {
      auto* box = new QCheckBox(WidgetText(C.Text), ScrollContent);
      SetForeground(box, C.FontColor);
      FitCaptionGap(box);
      w = box;
      break;
    }
    case TCtlKind::DocPanel: {
      auto* panel = new QFrame(ScrollContent);
      SetColors(panel, C.Color, 0);
      const int n = C.Number;
      auto* edit = new QLineEdit(panel);
      edit->setObjectName("EditDocs" + QString::number(n));
      edit->setGeometry(2, 2, C.Width - 120, C.Height - 4);
      int left = C.Width - 116;
      for (const auto& [stem, model] :
           {std::pair{"AddSB", SBAdd}, std::pair{"DelSB", SBDelete}, std::pair{"EditSB", SBEdit}}) {
        QToolButton* b = LookingLike(panel, model);
        b->setObjectName(stem + QString::number(n));
        const int width = model == SBEdit ? 64 : 24;
        b->setGeometry(left, 2, width, C.Height - 4);
        left += width + 2;
      }
      BindDocPanel(panel);
      w = panel;
      break;
    }
    case TCtlKind::DropButton: {
      w = LookingLike(ScrollContent, SBShowList);
      break;
    }
  }
  w->setObjectName(WidgetText(C.Name));
  w->setProperty(PlanIndexProperty, int(widgets_.size()));
  w->setProperty("tag", C.Tag);
  w->setGeometry(C.Left, C.Top, C.Width, C.Height);
  w->setEnabled(C.Enabled);
  if (!C.Hint.empty()) w->setToolTip(WidgetText(C.Hint));
  if (C.Kind == TCtlKind::DropButton || C.Kind == TCtlKind::DisplayEdit || C.Kind == TCtlKind::DocPanel) {
    w->setFocusPolicy(Qt::NoFocus);
  } else {
    w->setFocusPolicy(C.TabStop ? Qt::StrongFocus : Qt::ClickFocus);
  }
  w->show();
  return w;
}

void TEntryF::BindEvents(int I) {
  const TCtlPlan& c = plan_.Controls[size_t(I)];
  QWidget* w = widgets_[size_t(I)];
  if (c.Kind == TCtlKind::DropButton) {
    connect(static_cast<QToolButton*>(w), &QToolButton::clicked, this, [this, w, I] {
      TEntryEventArgs args;
      RunHandlers(plan_.Controls[size_t(I)].Events.OnClick, w, args);
    });
    return;
  }
  // Every field control's keys pass the screen's own handler first.
  w->installEventFilter(this);
  if (c.Events == TEventBinding()) return;
  const auto bind = [this, w, I](std::vector<THandler> TEventBinding::*Event) {
    return [this, w, I, Event](QWidget*) {
      TEntryEventArgs args;
      RunHandlers(plan_.Controls[size_t(I)].Events.*Event, w, args);
    };
  };
  if (!c.Events.OnEnter.empty()) Focus->BindEnter(w, bind(&TEventBinding::OnEnter));
  if (!c.Events.OnExit.empty()) Focus->BindExit(w, bind(&TEventBinding::OnExit));
  const auto changed = [this, w, I] {
    TEntryEventArgs args;
    RunHandlers(plan_.Controls[size_t(I)].Events.OnChange, w, args);
  };
  if (auto* edit = qobject_cast<QLineEdit*>(w)) connect(edit, &QLineEdit::textChanged, this, changed);
  if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
    connect(memo, &QPlainTextEdit::textChanged, this, changed);
    // Keys reach the memo's viewport's parent, the memo itself.
  }
}

// A handler that refused the exit ends the event: the later ones are for
// a move that did not happen.
void TEntryF::RunHandlers(const std::vector<THandler>& Handlers, QWidget* Sender, TEntryEventArgs& Args) {
  moveRefused_ = false;
  for (THandler h : Handlers) {
    GuardEvent([&] { (this->*MethodOf(h))(Sender, Args); });
    if (moveRefused_) break;
  }
  moveRefused_ = false;
}

int TEntryF::ControlOf(QObject* Watched) const {
  const QVariant v = Watched->property(PlanIndexProperty);
  return v.isValid() ? v.toInt() : -1;
}

bool TEntryF::eventFilter(QObject* Watched, QEvent* Event) {
  if (LinkListKey(Watched, Event)) return true;
  if (Watched == StringGrid1 && Event->type() == QEvent::KeyPress) {
    TEntryEventArgs args;
    args.Key = static_cast<QKeyEvent*>(Event)->key();
    GuardEvent([&] { StringGrid1KeyDown(args); });
    return GridOwnKey(static_cast<QKeyEvent*>(Event));
  }
  const int i = ControlOf(Watched);
  if (i < 0 || i >= int(widgets_.size())) return QDialog::eventFilter(Watched, Event);
  QWidget* w = widgets_[size_t(i)];
  const TEventBinding& e = plan_.Controls[size_t(i)].Events;
  switch (Event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(Event);
      TEntryEventArgs args;
      args.Key = key->key();
      args.Shift = key->modifiers();
      GuardEvent([&] { FormKeyDown(w, args); });
      if (args.Key == 0) return true;
      RunHandlers(e.OnKeyDown, w, args);
      if (args.Key == 0) return true;
      if (!key->text().isEmpty() && key->text()[0].isPrint() && !e.OnKeyPress.empty()) {
        args.Char = key->text()[0];
        RunHandlers(e.OnKeyPress, w, args);
        if (args.Char.isNull()) return true;
        // A handler that changed the character has it typed instead.
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (edit && args.Char != key->text()[0]) {
          edit->insert(QString(args.Char));
          return true;
        }
      }
      break;
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(Event);
      if (key->isAutoRepeat()) break;
      TEntryEventArgs args;
      args.Key = key->key();
      args.Shift = key->modifiers();
      RunHandlers(e.OnKeyUp, w, args);
      if (args.Key == 0) return true;
      break;
    }
    case QEvent::MouseButtonRelease: {
      TEntryEventArgs args;
      RunHandlers(e.OnClick, w, args);
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(Watched, Event);
}

void TEntryF::SetTabOrder() {
  QWidget* previous = nullptr;
  for (int i : plan_.TabChain()) {
    QWidget* w = widgets_[size_t(i)];
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  }
  // The buttons follow the fields, as tab stops now, left to right as the
  // bar shows them.
  for (QPushButton* b : {BitBtnSave, BitBtnClear, BitBtnFind, BitBtnFilter, BitBtnQuickEntry, BitBtnCancel}) {
    b->setFocusPolicy(Qt::StrongFocus);
    if (previous) QWidget::setTabOrder(previous, b);
    previous = b;
  }
}

void TEntryF::LayOutRows() {
  ::AlignLabelColumn(plan_);
  PackRows(plan_, width());
  ShiftControlsLeft(plan_);
  const std::vector<TBevelPlan> bevels = PlaceLookupGroups(plan_, width());
  // Labels right-aligned in the width they were measured at: each ends 2
  // pixels before its control.
  for (size_t i = 0; i < labels_.size(); ++i) {
    const TLabelPlan& l = plan_.Labels[i];
    labels_[i]->setGeometry(l.Left, l.Top, l.Width, labels_[i]->height());
  }
  for (size_t i = 0; i < widgets_.size(); ++i) {
    const TCtlPlan& c = plan_.Controls[i];
    widgets_[i]->setGeometry(c.Left, c.Top, c.Width, widgets_[i]->height());
  }
  // Raised bevels behind the lookup groups.
  for (const TBevelPlan& v : bevels) {
    auto* bevel = new QFrame(ScrollContent);
    bevel->setObjectName("BevelLkup" + QString::number(plan_.Controls[size_t(v.Button)].Number));
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setGeometry(v.Left, v.Top, v.Width, v.Height);
    bevel->lower();
    bevel->show();
    bevels_.push_back(bevel);
  }
  // A check box beside a row shows its caption left of the box.
  for (const TRowPlan& side : plan_.Side)
    if (side.Control >= 0 && plan_.Controls[size_t(side.Control)].Kind == TCtlKind::CheckBox)
      widgets_[size_t(side.Control)]->setLayoutDirection(Qt::RightToLeft);
  ShowLinkButtons();
  FitScrollContent();
}

// Beside the dropdown button of the client, case and employee key fields,
// in a parent instance only: the link button, its list the other templates
// of that family.
void TEntryF::ShowLinkButtons() {
  if (Startup.IsChildApp) return;
  struct TLink {
    int Slot;
    QToolButton* Button;
    QListWidget* List;
    const TTemplateNames& Tpls;
  };
  const TLink links[] = {{plan_.Keys.ClientSlot, SBClientLink, ListBoxClient, Store.ClientTpls},
                         {plan_.Keys.CaseSlot, SBCaseLink, ListboxCase, Store.CaseTpls},
                         {plan_.Keys.EmpSlot, SBEmpLink, ListBoxEmp, Store.EmpTpls}};
  for (const int bi : plan_.DropButtons) {
    const TCtlPlan& button = plan_.Controls[size_t(bi)];
    for (const TLink& link : links) {
      const auto edit = std::find_if(plan_.EditsArr.begin(), plan_.EditsArr.end(), [&](int e) {
        return plan_.Controls[size_t(e)].ButtonNo == button.Number && plan_.Controls[size_t(e)].Tag == link.Slot;
      });
      if (link.Slot < 0 || edit == plan_.EditsArr.end()) continue;
      link.Button->move(button.Left + button.Width + 1, button.Top);
      link.Button->show();
      link.List->clear();
      for (const std::string& name : LinkListNames(link.Tpls, Store.TplName)) link.List->addItem(WidgetText(name));
    }
  }
}

// In the middle of the primary screen.
void TEntryF::CenterEntryForm() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.width() / 2 - width() / 2, screen.height() / 2 - height() / 2);
}

// Where the parent instance asked the window to appear; nothing when it
// asked for none or the platform places windows itself.
void TEntryF::PlaceFromStartupInfo() {
  const auto& at = Startup.StartPosition;
  if (!at || at->X == 0 || !PlatformPlacesWindows()) return;
  move(at->X, at->Y);
}

int TEntryF::PixelsPerInch() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? qRound(s->logicalDotsPerInch()) : SmallFontsPixelsPerInch;
}

// The layout for small fonts: the status panels sized to the form, the
// document button's caption smaller, the grid view's chooser, check box
// and header bar spread as its plan says, the form a pixel wider. The
// button bar is a layout that spaces its buttons itself.
void TEntryF::ScaleForSmallFonts() {
  StatusBar1->setFixedHeight(StatusBar1->sizeHint().height() + 2);
  StatusPanels[1]->setFixedWidth(SmallFontsTimeWidth);
  StatusPanels[0]->setFixedWidth(width() - SmallFontsNameLess);
  QFont small = SBEdit->font();
  small.setPointSize(SmallFontsEditPoints);
  SBEdit->setFont(small);
  plan_.GridColumnPlan.ItemScale = SmallFontsItemScale;
  // A maximized window keeps the screen's width.
  if (!isMaximized()) resize(width() + 1, height());
}

// Eight rows of the list with the scroll buttons stacked beside them, a
// quarter of its height each; columns past the fourth carry data only.
void TEntryF::LayoutDropdownPanel() {
  constexpr int RowHeight = 18, RowsShown = 8, FirstHidden = 4;
  for (int c = FirstHidden; c < DropdownCols; ++c) StringGrid1->setColumnWidth(c, 0);
  StringGrid1->verticalHeader()->setDefaultSectionSize(RowHeight);
  const int height = RowHeight * RowsShown + 4;
  StringGrid1->setFixedHeight(height);
  PanelScrollBtns->setFixedHeight(height);
  for (QToolButton* b : {SBFirst, SBPgUp, SBPgDn, SBLast}) b->setFixedHeight(height / 4 - 1);
}

void TEntryF::FitScrollContent() {
  // Side controls keep their distance to the right edge, their labels with
  // them; the bevels reach as far.
  for (const TRowPlan& side : plan_.Side) {
    if (side.Control < 0) continue;
    QWidget* w = widgets_[size_t(side.Control)];
    w->move(width() - w->width() - SideAnchor, w->y());
    if (side.Label >= 0) {
      QLabel* l = labels_[size_t(side.Label)];
      l->move(w->x() - l->width() - 2, l->y());
    }
  }
  for (QFrame* b : bevels_) b->resize(width() - BevelNarrower, b->height());
  int right = 0, bottom = 0;
  for (QWidget* w : widgets_) {
    right = std::max(right, w->geometry().right());
    bottom = std::max(bottom, w->geometry().bottom());
  }
  // As wide as the box beside its vertical scroll bar, wider only for
  // controls that reach further.
  const int inside =
      ScrollBox1->width() - 2 * ScrollBox1->frameWidth() - ScrollBox1->verticalScrollBar()->sizeHint().width();
  ScrollContent->resize(std::max(right + 20, inside), bottom + 20);
}

void TEntryF::resizeEvent(QResizeEvent* Event) {
  QDialog::resizeEvent(Event);
  if (!widgets_.empty()) FitScrollContent();
  PlaceToolBar();
}

void TEntryF::keyPressEvent(QKeyEvent* Event) {
  // Escape never closes the screen; Enter has no default button to click.
  if (Event->key() == Qt::Key_Escape || Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
    Event->accept();
    return;
  }
  QDialog::keyPressEvent(Event);
}

void TEntryF::BitBtnCancelClick() {
  Editing = false;
  close();
}

void TEntryF::hideEvent(QHideEvent* Event) {
  QDialog::hideEvent(Event);
  // Closing ends the showing; a window the window system hid stays.
  if (!Event->spontaneous()) {
    RemoveFocusModel();
    CloseLookupFiles();
  }
}

// Later: the form may close from inside one of the model's handlers.
void TEntryF::RemoveFocusModel() {
  if (!Focus) return;
  Focus->setParent(nullptr);
  Focus->deleteLater();
  Focus = nullptr;
}

// The scroll area brings a control into view only on Tab; the screen does
// it for every control that gets the focus.
void TEntryF::ScrollIntoView(QWidget* Now) {
  // The whole control: the scroll area's own call shows an edit's cursor only.
  if (!Now || !ScrollContent->isAncestorOf(Now)) return;
  const QRect r(Now->mapTo(ScrollContent, QPoint(0, 0)), Now->size());
  ScrollBox1->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 1, r.height() / 2 + 1);
}

void TEntryF::PostIdle() { QTimer::singleShot(0, this, [this] { GuardEvent([this] { EntryIdle(); }); }); }

void TEntryF::EntryIdle() {
  // No idle work inside a handler, a box or before a refocus has run, nor
  // under another modal window: the loop asks again when it next waits.
  QWidget* modal = QApplication::activeModalWidget();
  if (TFocusModel::AnyBusy() || BoxShowing() || (modal && modal != this)) return;
  if (BuildFailed) {
    BuildFailed = false;
    close();
  } else if (PendingFind) {
    PendingFind = false;
    BitBtnFind->click();
  }
}

bool TEntryF::GridCellHint(QWidget*, const QPoint&, QString&) { return true; }
