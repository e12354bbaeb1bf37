// The grid view's Delete: the row's record goes only when no other
// template's records refer to it. The check of template integrity runs
// first, holding no save lock; the template's shared save lock then spans
// the layout check, the record's read, the reference scan and the delete.
#include "entry/grid_layout_seam.h"
#include "entry/grid_references.h"
#include "entry/qt/grid_form.h"
#include "entry/qt/grid_model.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/grid_position.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_integrity.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <QTableView>

namespace {

constexpr uint8_t TplFile = 52;

const std::string CheckFailedText =
    "Unable to check other Vezadaz templates to determine if they \r reference the record you are about to "
    "delete.\r\rYou will not be permitted to delete this record at this time.\r\r";
const std::string DeleteFailedTail = "Please try this operation again later of contact Ondral, Inc. for assistance.";

}  // namespace

void TEGridF::BitBtnDeleteClick() {
  const int row = RowWithRecord("This record has already been deleted.");
  if (row < 0) return;
  const std::string pos = Table.PositionCell(row);
  if (MessageDlg("Are you sure you wish to delete this record?", mtConfirmation, mbYesNo) != mrYes) return;

  const TTemplateNumber number = TTemplateNumber::Parse(Store.OpenTplNumber);
  TIndexFlags all;
  for (int i = 1; i <= MaxIndexes; ++i) all[i] = true;
  const TIntegrityResult integrity = CheckTemplateIntegrity(number, all, {});
  if (!integrity.Complete) {
    MessageDlg(CheckFailedText + ContactMsg, mtError, mbOKOnly);
    return;
  }

  OpenTemplateDataFile(TplFile);
  TSaveLock lock;
  if (!AcquireSharedAfterRecovery(Store.DataDir, number.Value(), DataFileName(number), FileLockMsg, lock)) return;
  if (!GridLayoutStillCurrent()) {
    MessageDlg(LayoutChangedText, mtError, mbOKOnly);
    return;
  }
  std::string msg;
  if (!GetGridRowRecord(pos, msg)) {
    if (!msg.empty()) MessageDlg(msg, mtError, mbOKOnly);
    return;
  }
  if (!integrity.References.empty()) {
    const std::string record(Store.TplRec.begin(), Store.TplRec.end());
    const TReferenceScan scan = ReferenceScan(integrity.References, record);
    if (scan.Outcome == TReferenceOutcome::Referenced) MessageDlg(scan.Message, mtInformation, mbOKOnly);
    if (scan.Outcome == TReferenceOutcome::Failed && !scan.Message.empty())
      MessageDlg(scan.Message, mtError, mbOKOnly);
    if (scan.Outcome != TReferenceOutcome::Free) return;
  }
  try {
    BtrDeleteRecord(TplFile);
  } catch (const EAbort& e) {
    MessageDlg(e.Message + "\r\r" + DeleteFailedTail, mtError, mbOKOnly);
    return;
  }
  lock.Release();
  Table.MarkDeleted(row);
  StringGridFind->viewport()->update();
  MessageDlg("Record successfully deleted.", mtInformation, mbOKOnly);
}
