// The export and import commands: the dialogs around the store's export
// (templates/template_export.h) and import (templates/template_import.h).
#include "mainwin/transfer_commands.h"

#include "btrieve/numbered_files.h"
#include "designer/qt/get_name_form.h"
#include "mainwin/mtdesk_form.h"
#include "platform/dialogs.h"
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/export_set.h"
#include "templates/file_slot_guards.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

namespace {

// The file number of the descriptor the open dialog peeks into.
constexpr uint8_t ImportPreviewFileNo = 245;
constexpr int8_t ReadOnlyMode = -2;

std::optional<std::string> BrowseExportFolder(QWidget* Parent, const std::string& Prompt) {
  TDirBrowserForm form(Parent);
  form.SetCaption(Prompt);
  form.exec();
  if (!form.DirChosen) return std::nullopt;
  return form.DirectoryListBox1->Directory();
}

std::optional<std::string> AskImportName(QWidget* Parent, const std::string& Caption) {
  TGetNameF form(Parent);
  form.Label3->setText(WidgetText(Caption));
  form.Label2->setText(WidgetText(ImportNamePrompt));
  form.exec();
  if (form.Cancelled) return std::nullopt;
  return form.Name();
}

// The open dialog: Open runs the form's check before it closes.
class TImportOpenDialog : public QFileDialog {
public:
  explicit TImportOpenDialog(TMtdeskF& Form) : QFileDialog(&Form), form_(Form) {
    setObjectName("OpenDialog1");
    setOption(QFileDialog::DontUseNativeDialog);
    // The pattern spells each letter in both cases; the user sees the name.
    setOption(QFileDialog::HideNameFilterDetails);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(OpenDialog1Filter);
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& Path) { form_.OpenDialog1SelectionChange(Path); });
  }
  void accept() override {
    if (form_.OpenDialog1CanClose()) QFileDialog::accept();
  }

private:
  TMtdeskF& form_;
};

std::string ChosenFileName(const QFileDialog& Dialog) {
  const QStringList files = Dialog.selectedFiles();
  return files.isEmpty() ? std::string() : StoredText(files.first());
}

std::string LastComponent(const std::string& Path) {
  const size_t at = Path.find_last_of("\\/");
  return at == std::string::npos ? Path : Path.substr(at + 1);
}

}  // namespace

TTransferSeams& TransferSeams() {
  static TTransferSeams seams;
  return seams;
}

void TMtdeskF::ExportTemplate1Click() {
  const TFolderChooser choose = TransferSeams().ExportFolder
                                    ? TransferSeams().ExportFolder
                                    : [this](const std::string& Prompt) { return BrowseExportFolder(this, Prompt); };
  ExportTemplate(SelectedItem(), choose);
}

bool TMtdeskF::OpenDialog1CanClose() {
  const std::string name = LastComponent(ChosenFileName(*OpenDialog1));
  const auto parsed = ParseExportFileName(name);
  if (parsed && parsed->Kind == TExportFileKind::MainDescriptor) return true;
  ShowMessage(name + " is not a valid Matterdesk export file.");
  return false;
}

void TMtdeskF::OpenDialog1SelectionChange(const QString& Path) {
  std::string title;
  const std::string path = StoredText(Path);
  const auto parsed = ParseExportFileName(LastComponent(path));
  if (parsed && parsed->Kind == TExportFileKind::MainDescriptor) {
    try {
      const TSlotCloser close(ImportPreviewFileNo);
      BtrOpenFile(ImportPreviewFileNo, path, ReadOnlyMode);
      TDynCharArr rec(DscRecordLength);
      if (ReadNameRecord(ImportPreviewFileNo, rec))
        title = TrimRight(RecordRange(std::string(rec.begin(), rec.end()), DscIndex::TplName));
    } catch (const std::exception&) {
      title.clear();  // no descriptor: no name
    }
  }
  OpenDialog1->setWindowTitle(WidgetText(title));
}

void TMtdeskF::Importfrom1Click() {
  std::optional<std::string> chosen;
  if (TransferSeams().ImportFile) {
    chosen = TransferSeams().ImportFile();
  } else {
    if (!OpenDialog1) OpenDialog1 = new TImportOpenDialog(*this);
    if (OpenDialog1->exec() == QDialog::Accepted) chosen = ChosenFileName(*OpenDialog1);
  }
  if (!chosen) return;
  const TNameAsker ask = TransferSeams().ImportName
                             ? TransferSeams().ImportName
                             : [this](const std::string& Caption) { return AskImportName(this, Caption); };
  {
    TTemplateImport import(*chosen, ask);
    import.Run();
  }
  // The import's files are closed by now; the list shows what the master holds.
  FormShow();
}
