// The entry screen's Save button: the screen's controls seen as the save's
// view (entry/record_save.h decides and writes; this file only reads the
// widgets, focuses through the focus model and hands the save the screen's
// neighbours: the grid row in editing mode, the find and the clearing).
#include "entry/qt/entry_form.h"
#include "entry/qt/grid_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/grid_find.h"
#include "entry/record_save.h"
#include "platform/qt/cursor.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "templates/template_state.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

class TEntrySaveScreen : public TSaveScreen {
public:
  explicit TEntrySaveScreen(TEntryF& Form) : f_(Form) {}

  bool Input(int Slot, TSlotInput& In) const override {
    const int i = ControlOfSlot(Slot);
    if (i < 0) return false;
    const TCtlPlan& c = f_.plan_.Controls[size_t(i)];
    QWidget* w = f_.widgets_[size_t(i)];
    In.Kind = c.Kind;
    switch (c.Kind) {
      case TCtlKind::Edit:
        In.Text = StoredText(static_cast<QLineEdit*>(w)->text());
        for (const QLineEdit* d : f_.DisplayEditsOf(w)) In.Displays.push_back(StoredText(d->text()));
        break;
      case TCtlKind::Memo:
        In.Text = StoredText(static_cast<QPlainTextEdit*>(w)->toPlainText());
        break;
      case TCtlKind::DatePicker:
        In.Date = static_cast<TdwDBDateTimePicker*>(w)->Value();
        break;
      case TCtlKind::CheckBox:
        In.Checked = static_cast<QCheckBox*>(w)->isChecked();
        break;
      case TCtlKind::DocPanel:
        In.Text = StoredText(w->findChild<QLineEdit*>()->text());
        break;
      default:
        return false;
    }
    return true;
  }

  void FocusField(int Slot) override {
    const int i = ControlOfSlot(Slot);
    if (i < 0 || !f_.Focus) return;
    QWidget* w = f_.widgets_[size_t(i)];
    if (f_.plan_.Controls[size_t(i)].Kind == TCtlKind::DocPanel) w = w->findChild<QLineEdit*>();
    f_.Focus->FocusControl(w);
  }

  bool Editing() const override { return f_.Editing; }
  bool& SkipNextSave() override { return f_.Dropdown.SaveAfterFind; }
  bool FindPending() const override { return bool(f_.PendingFind); }
  void ShowBusy(bool On) override {
    if (On) {
      hourglass_ = std::make_unique<THourglass>();
    } else {
      hourglass_.reset();
    }
  }

  std::string EditedRowPosition() const override {
    TEGridF* grid = f_.GridView();
    const int row = grid ? grid->CurrentRow() : -1;
    return row >= 0 ? grid->Table.PositionCell(row) : std::string();
  }
  std::string LoadedRecord() const override { return f_.LoadedRecord; }
  // The record the save read again, in Store.TplRec: the grid's row
  // rewritten from it, then loaded as the grid's Edit loads a row, so the
  // screen shows it and keeps it as its new copy. The save tells the user.
  void ReloadChangedRecord() override {
    TEGridF* grid = f_.GridView();
    TFindRequest request;
    request.Mode = TFindMode::Reread;
    request.IndexNo = grid->CurrentIndex;
    request.Row = grid->CurrentRow();
    TGridReader reader(f_.plan_.TemplateLookups, f_.plan_.Keys.ClientSlot);
    if (reader.Read(grid->Table, request).Outcome != TFindOutcome::Done) return;
    grid->RowsChanged();
    grid->SelectRow(request.Row);
    f_.LoadRecordFromGrid();
  }
  void Clear() override { f_.BitBtnClearClick(); }
  void Find() override { f_.BitBtnFindClick(); }

private:
  // The field's own control: an edit, memo, picker, check box or document
  // panel tagged with its slot (display edits carry no slot).
  int ControlOfSlot(int Slot) const {
    const std::vector<TCtlPlan>& controls = f_.plan_.Controls;
    for (size_t i = 0; i < controls.size(); ++i) {
      const TCtlPlan& c = controls[i];
      if (c.Tag == Slot && c.Kind != TCtlKind::DisplayEdit && c.Kind != TCtlKind::DropButton) return int(i);
    }
    return -1;
  }

  TEntryF& f_;
  std::unique_ptr<THourglass> hourglass_;
};

void TEntryF::BitBtnSaveClick() {
  TEntrySaveScreen screen(*this);
  SaveRecord(screen, plan_.TemplateLookups);
}
