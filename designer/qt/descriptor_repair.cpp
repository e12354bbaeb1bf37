// The designer's lookup repair and its details button.
#include "designer/qt/descriptor_form.h"

#include "designer/qt/detail_form.h"
#include "platform/dialogs.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"
#include "templates/template_state.h"

#include <QMenu>

#include <functional>

namespace {

constexpr int MenuOffset = 100;
const std::string CancelLine = "Select Cancel or press Escape at any time to terminate this process.";

bool Confirmed(const std::string& Text) { return MessageDlg(Text, mtInformation, mbOKCancel) == mrOk; }

// Fills Menu with the choices' captions; a chosen one runs Click with its
// position.
void FillMenu(QMenu* Menu, const std::vector<TRepairChoice>& Choices, const std::function<void(int)>& Click) {
  Menu->clear();
  for (size_t i = 0; i < Choices.size(); ++i) {
    QAction* item = Menu->addAction(WidgetText(Choices[i].Caption));
    item->setData(Choices[i].Number.Value());
    QObject::connect(item, &QAction::triggered, Menu, [Click, i] { GuardEvent([&] { Click(int(i)); }); });
  }
}

// Emptied once the choice that is running has returned: its item must
// outlive its own signal.
void ClearLater(QMenu* Menu) {
  if (Menu) QMetaObject::invokeMethod(Menu, &QMenu::clear, Qt::QueuedConnection);
}

}  // namespace

void TDescriptorF::BitBtnDetailsClick() { ShowIndexReferences(Locks.References, Locks.IndirectNames, this); }

void TDescriptorF::PopUpRepairMenu(QMenu* Menu) { Menu->popup(pos() + QPoint(MenuOffset, MenuOffset)); }

void TDescriptorF::CreateTableBitBtnMouseDown(Qt::MouseButton Button) {
  // A template being created has no descriptor of its own to repair yet.
  if (Button != Qt::RightButton || !Store.Modifying) return;
  RepairLookups = RepairableLookups();
  if (RepairLookups.empty()) return;
  if (!Confirmed("The Vezadaz lookups for '" + Store.TplName + "' will be displayed in a " +
                 "menu, when this window is closed.  Select the Vezadaz lookup you wish to repair from that menu." +
                 "\r\r" + CancelLine)) {
    return;
  }
  if (!PopupMenu1) PopupMenu1 = new QMenu(this);
  FillMenu(PopupMenu1, RepairLookups, [this](int Choice) { PopupMenuClick(Choice); });
  PopUpRepairMenu(PopupMenu1);
}

void TDescriptorF::PopupMenuClick(int Choice) {
  if (Choice < 0 || size_t(Choice) >= RepairLookups.size()) return;
  const TRepairChoice chosen = RepairLookups[size_t(Choice)];
  ClearLater(PopupMenu1);
  if (!Confirmed("You have selected '" + chosen.Caption + "' as the Vezadaz Lookup you wish to repair." + "\r\r" +
                 "When you close this window, a second menu will appear listing all the available templates in your " +
                 " database.  Select the one you wish '" + chosen.Caption + "' to refer to." + "\r\r" + CancelLine)) {
    return;
  }
  RepairOld = chosen.Number;
  RepairTargetList = RepairTargets();
  if (!PopupMenu2) PopupMenu2 = new QMenu(this);
  FillMenu(PopupMenu2, RepairTargetList, [this](int Target) { PopupMenu2Click(Target); });
  PopUpRepairMenu(PopupMenu2);
}

void TDescriptorF::PopupMenu2Click(int Choice) {
  if (Choice >= 0 && size_t(Choice) < RepairTargetList.size()) MakeRepair(RepairTargetList[size_t(Choice)]);
  ClearLater(PopupMenu2);
}

void TDescriptorF::MakeRepair(const TRepairChoice& Target) { RepairLookupTarget(RepairOld, Target.Number); }
