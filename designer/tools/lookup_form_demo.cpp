// The lookup form on a small data folder, to look at: kind M on a template
// of clients, and kind U on a two-column list. Each stage is saved as a PNG
// into the folder given (default: the current one).
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/lookup_form.h"
#include "platform/qt/widget_text.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_build.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void Shot(QWidget& Form, const std::string& Path) {
  QApplication::processEvents();
  Form.grab().save(QString::fromStdString(Path));
  std::printf("%s\n", Path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string out = argc > 1 ? argv[1] : ".";
  const std::filesystem::path data = std::filesystem::temp_directory_path() / "lookup-form-demo";
  std::filesystem::remove_all(data);
  std::filesystem::create_directories(data);
  Store.DataDir = data.string();
  std::string msg;
  if (!BtrCreateFile(MasterFileName(), MasterRecordLength, int8_t(MasterKeySegments.size()), msg, 255, true,
                     MasterKeySegments))
    return 1;
  TTemplateTableBuilder t;
  for (const char* name : {"Code", "Name", "Street", "City", "Phone", "Fax", "E-mail", "Opened", "Partner"})
    t.Add(name, 'C', 20);
  t.Index(1, {1}, true, "By code").Index(2, {2}, false, "By name").Index(3, {2, 1}, true, "Name and code");
  if (!BuildTemplateDataFile("Clients")) return 1;
  TTemplateTableBuilder z;
  z.Add("Ref", 'C', 4);
  z.Index(1, {1}, true, "By ref");
  if (!BuildTemplateDataFile("Matters"))
    return 1;
  if (!CreateUserListFile(Store.DataDir, msg)) return 1;
  OpenUserListSlot();
  BtrInsertRecord(UserListFileNo, FormatUserListText(1, "Payment kinds", TListNumberLayout::Left));
  WriteUserListFile(1, SavedListLines({"CHK\x01" "Cheque", "WIRE\x01" "Wire transfer", "CASH\x01" "Cash"},
                                      "Payment kinds"));

  TLKUPF form;
  form.HandOver.FieldName = "Client";
  form.HandOver.Width = 10;
  form.ResetForField();
  form.show();
  form.SetKind(TLKUPF::KindM);
  form.RadioGroup1Click();
  form.BitBtnSaveClick();
  form.TemplateTiles[0]->setFocus();
  form.BitBtnDropDownClick();
  form.TemplateTiles[4]->setFocus();
  form.BitBtnDisplayedClick();
  Shot(form, out + "/lookup_kind_m.png");

  form.ResetForField();
  form.SetKind(TLKUPF::KindU);
  form.RadioGroup1Click();
  form.BitBtnSaveClick();
  form.ComboBoxListNames->setCurrentIndex(0);
  form.ComboBoxListNamesClick();
  Shot(form, out + "/lookup_kind_u.png");
  form.hide();
  ResetBtrLayer();
  return 0;
}
