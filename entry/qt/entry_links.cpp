// Linked templates: the link buttons' lists, the start of a child instance
// for the chosen template, the children's tool buttons, and the closing of
// the screen, which writes the links it opened.
#include "entry/qt/entry_form.h"

#include "entry/link_values.h"
#include "entry/linked_children.h"
#include "entry/qe_files.h"
#include "entry/qt/quick_entry_form.h"
#include "platform/dialogs.h"
#include "platform/instance_bus.h"
#include "platform/log.h"
#include "platform/processes.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/application.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/instance_messages.h"
#include "templates/startup_globals.h"
#include "templates/template_number.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <QCloseEvent>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

const char* const ProductTitle = "Corvenstead Matterdesk";
const char* const ChildProgram = "MtDESK.exe";
const char* const BlankChoiceMsg = "Please select a valid template.";
const char* const TooManyMsg = "Opening additional templates at this time will cause the system to become unstable.";
const char* const TerminateAllName = "TerminateAll";
constexpr unsigned ChildIdleWaitMs = 10000;
constexpr int StatusClosing = 9, StatusTerminate = 10;
// A link list's size, and where it goes when there is no room beside its
// button: lower and to the left of it.
constexpr int LinkListWidth = 230, LinkListHeight = 120;
constexpr int NoRoomDown = 20, NoRoomLeft = 80;
constexpr int ToolBarSlack = 10, ToolBarGap = 2;
// The file numbers the screen may hold open when it closes: the family's
// validation files, the statement characteristics, the lookup target's
// descriptor and data file, the open template's data file, the template
// lookups' data files.
constexpr int FamilyFirst = 11, FamilyLast = 17, StatementChar = 30, LookupDescriptor = 32, LookupData = 42,
              TemplateData = 52, LookupDataFirst = 61, LookupDataLast = 111;

std::vector<int> ScreenFileNumbers() {
  std::vector<int> numbers;
  for (int n = FamilyFirst; n <= FamilyLast; ++n) numbers.push_back(n);
  for (int n : {StatementChar, LookupDescriptor, LookupData, TemplateData}) numbers.push_back(n);
  for (int n = LookupDataFirst; n <= LookupDataLast; ++n) numbers.push_back(n);
  return numbers;
}

// Every open one closed; a close that fails is logged and the others still
// close (the layer retries that number at its next use).
void CloseScreenFiles() {
  for (int n : ScreenFileNumbers()) {
    const auto fileNo = uint8_t(n);
    if (!BtrIsFileOpen(fileNo)) continue;
    try {
      BtrCloseFile(fileNo);
    } catch (const std::exception& e) {
      LogWarning("entry screen close: file " + std::to_string(n) + ": " + e.what());
    }
  }
}

}  // namespace

void TEntryF::BuildLinkParts() {
  const std::array<QToolButton*, 3> buttons{SBClientLink, SBCaseLink, SBEmpLink};
  const std::array<QListWidget*, 3> lists{ListBoxClient, ListboxCase, ListBoxEmp};
  for (size_t k = 0; k < lists.size(); ++k) {
    QListWidget* list = lists[k];
    list->resize(LinkListWidth, LinkListHeight);
    // Enter in the list opens the template; the form's event filter sees it.
    list->installEventFilter(this);
    connect(buttons[k], &QToolButton::clicked, this,
            [this, b = buttons[k]] { GuardEvent([this, b] { SBClientLinkClick(b); }); });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, list] { GuardEvent([this, list] { ListBoxClientDblClick(list); }); });
  }
  ToolBar1 = new QToolBar(PanelTop);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  ToolBar1->hide();
  ShowChildButtons();
}

int TEntryF::ChildIdx() const { return LinkedChildren().ChildIdx; }

int TEntryF::LinkKindOf(const QListWidget* List) const {
  if (List == ListboxCase) return 1;
  if (List == ListBoxEmp) return 2;
  return 0;
}

QLineEdit* TEntryF::LinkEditOf(int Kind) const {
  const int numbers[] = {plan_.Keys.ClientEdit, plan_.Keys.CaseEdit, plan_.Keys.EmpEdit};
  return EditNumber(numbers[Kind]);
}

void TEntryF::SBClientLinkClick(QToolButton* Sender) {
  const int kind = Sender == SBCaseLink ? 1 : Sender == SBEmpLink ? 2 : 0;
  QListWidget* list = kind == 1 ? ListboxCase : kind == 2 ? ListBoxEmp : ListBoxClient;
  const bool room = width() - (list->width() + Sender->width() + 2) > Sender->x();
  if (room) {
    list->move(Sender->x() + Sender->width() + 1, Sender->y());
  } else {
    list->move(Sender->x() - NoRoomLeft, Sender->y() + NoRoomDown);
  }
  list->raise();
  list->show();
  if (list->count() > 0) list->setCurrentRow(0);
  if (!Focus) return;
  if (QLineEdit* edit = LinkEditOf(kind)) Focus->FocusControl(edit);
  // Leaving the list for the edit hid it when it had the focus already.
  list->show();
  Focus->FocusControl(list);
}

void TEntryF::ListBoxClientExit(QListWidget* Sender) { Sender->hide(); }

void TEntryF::BindLinkLists() {
  for (QListWidget* list : {ListBoxClient, ListboxCase, ListBoxEmp})
    Focus->BindExit(list, [this, list](QWidget*) { ListBoxClientExit(list); });
}

bool TEntryF::LinkListKey(QObject* Watched, QEvent* Event) {
  if (Event->type() != QEvent::KeyPress) return false;
  QListWidget* list = nullptr;
  for (QListWidget* l : {ListBoxClient, ListboxCase, ListBoxEmp})
    if (Watched == l) list = l;
  const int key = static_cast<QKeyEvent*>(Event)->key();
  if (!list || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
  GuardEvent([this, list] { ListBoxClientDblClick(list); });
  return true;
}

std::optional<TLinkLine> TEntryF::ChosenLink(QListWidget* Sender) {
  if (reloading_) {
    // A links line names its template by number: one deleted since starts
    // nothing, one renamed since goes by its name now.
    TLinkLine link = *reloading_;
    link.Name = ListedTemplateName(link.Number);
    if (link.Name.empty()) return std::nullopt;
    return link;
  }
  const QListWidgetItem* item = Sender->currentItem();
  const std::string name = item ? Trim(StoredText(item->text())) : std::string();
  if (name.empty()) {
    MessageDlg(BlankChoiceMsg, mtError, mbOKOnly, 0);
    return std::nullopt;
  }
  TTemplateNumber number;
  if (!TTemplateNumber::TryParse(TemplateNumberOf(name), number)) return std::nullopt;
  return TLinkLine{LinkKinds[size_t(LinkKindOf(Sender))], number, name};
}

TLinkSources TEntryF::LinkSources() const {
  TLinkSources sources;
  if (QLineEdit* client = LinkEditOf(0)) {
    sources.HasClient = true;
    sources.ClientByCode = plan_.Keys.ClientByCode;
    sources.ClientText = StoredText(client->text());
  }
  if (QLineEdit* matter = LinkEditOf(1)) {
    sources.HasCase = true;
    sources.CaseText = StoredText(matter->text());
  }
  if (QLineEdit* employee = LinkEditOf(2)) {
    sources.HasEmployee = true;
    sources.EmployeeText = StoredText(employee->text());
  }
  return sources;
}

bool TEntryF::StartChild(const TLinkLine& Link, QListWidget* Sender) {
  const TChildValues values = CollectChildValues(LinkSources(), ClientRec);
  Sender->hide();
  int pid = 0;
  if (!CreateProcess(Startup.ExeDir + "\\" + ChildProgram,
                     ChildArguments(Startup.WorkDateStr, Link.Number.Trimmed(), values), pid)) {
    MessageDlg("You may not access the template " + Link.Name + " at this time.\r", mtInformation, mbOKOnly, 0);
    return false;
  }
  // Messages that arrive meanwhile are delivered afterwards.
  WaitForInputIdle(pid, ChildIdleWaitMs);
  return true;
}

void TEntryF::ListBoxClientDblClick(QListWidget* Sender) {
  const std::optional<TLinkLine> link = ChosenLink(Sender);
  if (!link) return;
  const int kind = LinkKindOf(Sender);
  const std::string ownName = StoredText(LabelTableName->text());
  TLinkedChildren& children = LinkedChildren();
  children.RegisterOwnEntry(ownName, y(), x());
  const TChildStart how = children.Decide(link->Name);
  if (how == TChildStart::TooMany) {
    MessageDlg(TooManyMsg, mtWarning, mbOKOnly, 0);
    return;
  }
  if (how != TChildStart::AlreadyRunning && StartChild(*link, Sender)) {
    children.Started(link->Name, how, y(), x());
    ShowChildButtons();
    for (const TLinkedChildren::TNotice& notice : children.Notices())
      SendChildMessage(notice.Name, "+", 0, "", notice.State, 0);
  }
  // The choice is remembered whatever became of it.
  RememberedLinks()[size_t(kind)] = {ownName, link->Number, link->Name};
  // A reload runs before the screen is shown; its first field gets the
  // focus afterwards.
  if (reloading_) return;
  try {
    if (QLineEdit* edit = LinkEditOf(kind); edit && Focus) Focus->FocusControl(edit);
  } catch (const std::exception&) {
    setFocus();
  }
}

void TEntryF::ReloadLinks() {
  if (!LinkedTemplates || Startup.IsChildApp) return;
  TTemplateNumber number;
  if (!TTemplateNumber::TryParse(Store.OpenTplNumber, number)) return;
  const std::array<QListWidget*, 3> lists{ListBoxClient, ListboxCase, ListBoxEmp};
  for (const TLinkLine& line : ReadLinksFile(LinksFileName(number))) {
    reloading_ = line;
    ListBoxClientDblClick(lists[size_t(LinkKindIndex(line.Kind))]);
    reloading_.reset();
  }
}

void TEntryF::AddLinkedTemplateButton(const std::string& Name) {
  if (!LinkedChildren().AddButton(Name)) return;
  ShowChildButtons();
}

QToolButton* TEntryF::ChildButtonOf(const std::string& Name) const {
  const int i = LinkedChildren().FindButton(Name);
  return i < 0 ? nullptr : ChildButtons[size_t(i)];
}

bool TEntryF::MarkChildEnded(const std::string& Name) {
  if (!LinkedChildren().MarkEnded(Name)) return false;
  ShowChildButtons();
  return true;
}

bool TEntryF::MarkChildAlive(const std::string& Name) {
  const int i = LinkedChildren().FindButton(Name);
  if (i < 0) return false;
  LinkedChildren().ChildButtons[size_t(i)].Ended = false;
  ShowChildButtons();
  return true;
}

void TEntryF::ChildButtonClick(int Index) {
  const TChildButton& button = LinkedChildren().ChildButtons[size_t(Index)];
  SendChildMessage(button.Caption, "A", 0, "", "", 0);
}

void TEntryF::ShowChildButtons() {
  ToolBar1->clear();
  ChildButtons.fill(nullptr);
  const TLinkedChildren& children = LinkedChildren();
  // The children's buttons are red.
  QPalette red = ToolBar1->palette();
  red.setColor(QPalette::ButtonText, Qt::red);
  red.setColor(QPalette::WindowText, Qt::red);
  for (int i = 0; i <= children.ChildIdx; ++i) {
    const TChildButton& model = children.ChildButtons[size_t(i)];
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName("ChildButton" + QString::number(i));
    b->setText(WidgetText(model.Caption));
    b->setFocusPolicy(Qt::NoFocus);
    b->setCheckable(false);
    // Indeterminate: the child has ended; greyed, but a click still asks.
    b->setProperty("indeterminate", model.Ended);
    QPalette p = red;
    if (model.Ended) p.setColor(QPalette::ButtonText, Qt::gray);
    b->setPalette(p);
    connect(b, &QToolButton::clicked, this, [this, i] { GuardEvent([this, i] { ChildButtonClick(i); }); });
    ToolBar1->addWidget(b);
    ChildButtons[size_t(i)] = b;
  }
  ToolBar1->setVisible(children.ChildIdx >= 0);
  PlaceToolBar();
}

// At the right end of the top panel, left of the stopwatch's panel when
// there is one, as wide as its buttons and a little more.
void TEntryF::PlaceToolBar() {
  if (!ToolBar1 || !ToolBar1->isVisibleTo(this)) return;
  int buttons = 0;
  for (QToolButton* b : ChildButtons)
    if (b) buttons += b->sizeHint().width();
  const int width = buttons + ToolBarSlack;
  const QWidget* timer = PanelTop->findChild<QWidget*>("PanelTimer");
  const int timerWidth = timer && timer->isVisibleTo(this) ? timer->width() : 0;
  ToolBar1->setGeometry(PanelTop->width() - width - timerWidth - ToolBarGap, 0, width, PanelTop->height());
  ToolBar1->raise();
}

void TEntryF::closeEvent(QCloseEvent* Event) {
  GuardEvent([this] { FormClose(); });
  Event->accept();
}

void TEntryF::FormClose() {
  ClearOnIdle();
  ClearOnShowHint();
  SetApplicationTitle(ProductTitle);
  CloseGridView();
  CloseScreenFiles();
  HideDropdown();
  if (!LinkedTemplates) return;
  const std::string name = StoredText(LabelTableName->text());
  TTemplateNumber number;
  const std::vector<TLinkLine> lines = LinksToWrite(RememberedLinks(), name);
  if (!lines.empty() && TTemplateNumber::TryParse(Store.OpenTplNumber, number) &&
      !WriteLinksFile(LinksFileName(number), lines)) {
    MessageDlg("Unable to save the linked templates to " + LinksFileName(number) + ".", mtError, mbOKOnly, 0);
  }
  // The quick entry opened beside this screen goes with it.
  if (QEFRunning && QEF) {
    // Through its Exit button's place, as a user leaves it: the field
    // checks are for a user moving on, not for the screen going.
    if (TFocusModel* model = TFocusModel::Of(QEF)) model->FocusControl(QEF->BitBtnExit);
    QEF->close();
    QEF->deleteLater();
  }
  QEFRunning = false;
  if (TerminateAllOnClose) {
    SendHubMessage(StatusTerminate, TerminateAllName, 0, 0);
  } else {
    SendHubMessage(StatusClosing, name, 0, 0);
  }
}
