#include "mainwin/template_command_screens.h"

#include "designer/qt/descriptor_form.h"
#include "designer/qt/designer_forms.h"
#include "designer/qt/detail_form.h"
#include "designer/qt/get_name_form.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/mtdesk_menus.h"
#include "mainwin/template_list.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/template_state.h"

#include <QLabel>
#include <QListWidget>

namespace {

constexpr int SmallTitlePoints = 9;

// The designer's creation captions back however its showing ends.
class TCreationCaptions {
public:
  TCreationCaptions() = default;
  ~TCreationCaptions() {
    if (DescriptorF) DescriptorF->SetModifyCaptions(false);
    ClearOnActiveControlChange();
  }
  TCreationCaptions(const TCreationCaptions&) = delete;
  TCreationCaptions& operator=(const TCreationCaptions&) = delete;
};

}  // namespace

bool TMtdeskScreens::AskName(const TNameRequest& Request, std::string& Name) {
  if (!GetNameF) return false;
  GetNameF->Label2->setText(WidgetText(Request.Label));
  GetNameF->Label3->setText(WidgetText(Request.Title));
  if (Request.SmallCentredTitle) {
    QFont font = GetNameF->Label3->font();
    font.setPointSize(SmallTitlePoints);
    GetNameF->Label3->setFont(font);
    GetNameF->Label3->setAlignment(Qt::AlignCenter);
  }
  GetNameF->exec();
  if (GetNameF->Cancelled) return false;
  Name = GetNameF->Name();
  return true;
}

void TMtdeskScreens::RunDesigner(bool Modifying) {
  if (!DescriptorF) return;
  const TCreationCaptions restore;
  DescriptorF->SetModifyCaptions(Modifying);
  DescriptorF->exec();
}

void TMtdeskScreens::RunEntry() { form_.RunEntryScreen(); }

void TMtdeskScreens::ShowDetails(const std::vector<TLookupReference>& References,
                                 const std::vector<std::string>& IndirectNames) {
  ShowIndexReferences(References, IndirectNames, &form_);
}

std::string TMtdeskScreens::SelectedItem() const { return form_.SelectedItem(); }

int TMtdeskScreens::SelectedRow() const { return form_.ListBox1->currentRow(); }

bool TMtdeskScreens::Listed(const std::string& Name) const {
  for (int i = 0; i < form_.ListBox1->count(); ++i)
    if (Trim(StoredText(form_.ListBox1->item(i)->text())) == Trim(Name)) return true;
  return false;
}

std::string TMtdeskScreens::Rename1Caption() const { return Caption(*form_.Rename1); }

std::string TMtdeskScreens::Delete1Caption() const { return Caption(*form_.Delete1); }

void TMtdeskScreens::Reload() { form_.FormShow(); }

void TMtdeskScreens::SelectName(const std::string& Name) {
  for (int i = 0; i < form_.ListBox1->count(); ++i) {
    if (Trim(StoredText(form_.ListBox1->item(i)->text())) == Trim(Name)) return SelectRow(i);
  }
}

void TMtdeskScreens::SelectRow(int Row) {
  if (Row >= 0 && Row < form_.ListBox1->count()) form_.ListBox1->setCurrentRow(Row);
  form_.ListBox1Click();
}

void TMtdeskScreens::RemoveSelected() {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::string name = Trim(SelectedItem());
  RemoveTemplateListEntry(name);
  delete form_.ListBox1->takeItem(row);
  form_.ListBox1Click();
  form_.ListBox1->setFocus();
}

void TMtdeskScreens::EndProgram() { Terminate(); }

void TMtdeskF::Userdefined1Click() { commands_->Userdefined1Click(); }
void TMtdeskF::Copy1Click() { commands_->Copy1Click(); }
void TMtdeskF::Rename1Click() { commands_->Rename1Click(); }
void TMtdeskF::Modify1Click() { commands_->Modify1Click(TModifySender::Modify); }
void TMtdeskF::Delete1Click() { commands_->Delete1Click(); }
void TMtdeskF::EntryMaintenancefor1Click() { commands_->EntryMaintenancefor1Click(); }
