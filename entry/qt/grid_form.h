// The grid view, TEGridF: the records a find read from the template's data
// file, one row per record and one column per entry-screen row. The user
// sorts the rows (header clicks), chooses the data file's sort order,
// widens or narrows the columns, hides the display columns, edits a record
// (handed back to the entry screen), deletes one no other template refers
// to, and runs a search and replace over one field of the whole file. The
// column layout is kept per template in Grid<nnn>.FMT (entry/grid_format.h).
//
// What it decides without a widget lives in TGridTable; the form wires the
// widgets to it and tells its entry screen what happened through a
// TGridActionSink, synchronously and only inside this process.
#pragma once

#include "entry/entry_build.h"
#include "entry/grid_table.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QToolButton;
class TGridHeader;
class TGridItemModel;
class TdwDBCustomDateTimePicker;

// The commands the grid view gives its entry screen.
namespace GridCommand {
constexpr char EditRow = 'F';
constexpr char Closed = 'C';
constexpr char ClosedInPickMode = 'E';
constexpr char SortOrderChanged = 'I';
}  // namespace GridCommand

class TGridActionSink {
public:
  virtual ~TGridActionSink() = default;
  // Command one of GridCommand; TemplateName the grid's LabelTableName2.
  virtual void GridAction(char Command, const std::string& TemplateName) = 0;
};

inline constexpr const char* GridViewCaption = "Corvenstead Matterdesk Grid View";

class TEGridF : public QDialog {
public:
  explicit TEGridF(QWidget* Parent = nullptr);
  ~TEGridF() override;

  // The table the find fills through Table's row interface; RowsChanged
  // shows what it holds.
  TGridTable Table;
  void RowsChanged();

  // Columns, field names, index names and the item scale from the entry
  // screen's build; rows and sort state cleared.
  void SetUp(const TEntryBuild& Build);
  // The field slot of each column (-1 none) and of each CBFieldNames entry.
  const std::vector<int>& ColumnSlots() const { return columnSlots_; }
  const std::vector<int>& FieldNameSlots() const { return fieldNameSlots_; }

  TGridActionSink* Sink = nullptr;
  // Whether the entry screen edits a record (no "C" while it does).
  std::function<bool()> EntryEditing;
  // The grid was opened by the limited find (compact, closes on a pick).
  bool PickMode = false;
  // Opened by a find from an exit check: "E&xit" asks nothing.
  bool OpenedByExitCheck = false;
  // The index of file 52 current in the grid (1-5, ComboBox1's choice).
  int CurrentIndex = 1;
  // True while the entry screen hears "I": the find it runs then rewrites
  // the rows in the new key order without emptying the grid first.
  bool IndexChange = false;

  // Reads Grid<nnn>.FMT when it exists (the entry screen's showing); writes
  // it (the user's Yes at "E&xit").
  void LoadGridFormat(const std::string& FileName);
  bool SaveGridFormat(const std::string& FileName);
  // The template's format file, from Store.OpenTplNumber; "" without one
  // (a preview).
  std::string FormatFileName() const;

  // The current data row (0-based), -1 none.
  int CurrentRow() const;
  void SelectRow(int Row);

  // Handlers.
  void FormShow();
  void FormResize();
  void BitBtnGridOKClick();
  void BitBtnEditClick();
  void BitBtnDeleteClick();
  void BitBtnDeleteKeyDown(int Key);
  void ComboBox1Click();
  // Next: the up (widening) button; else the down (narrowing) one.
  void UpDown1Click(bool Next);
  void CheckBox1Click();
  void CBFieldNamesClick();
  void BitBtn1Click();
  void StringGridFindDblClick();
  void StringGridFindKeyPress(QChar Key);
  void StringGridFindMouseUp(int Column);
  // The end of a drag of a data row's border: that height becomes every
  // row's height.
  void RowBorderDragged(int Height);
  void Shape3MouseDown(int Y);
  void Shape3MouseMove(int Y);
  void Shape3MouseUp();
  void LayoutHeaderRow();
  // Closes without the user's close: no question, no "C" of the close
  // button.
  void CloseByProgram();

  // Widgets.
  QFrame* PanelTop = nullptr;
  QLabel* LabelTableName2 = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QLabel* LabelUpDown = nullptr;
  QToolButton* UpDown1Prev = nullptr;
  QToolButton* UpDown1Next = nullptr;
  QFrame* PanelGrid = nullptr;
  QTableView* StringGridFind = nullptr;
  TGridItemModel* Model = nullptr;
  TGridHeader* Header = nullptr;
  QFrame* Shape3 = nullptr;
  QFrame* PanelGlobalChange = nullptr;
  QComboBox* CBFieldNames = nullptr;
  QLineEdit* EditFrom = nullptr;
  QLineEdit* EditTo = nullptr;
  QCheckBox* CBFrom = nullptr;
  QCheckBox* CBTo = nullptr;
  TdwDBCustomDateTimePicker* DateFrom = nullptr;
  TdwDBCustomDateTimePicker* DateTo = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QFrame* Panel2 = nullptr;
  QPushButton* BitBtnDelete = nullptr;
  QPushButton* BitBtnEdit = nullptr;
  QPushButton* BitBtnGridOK = nullptr;

  // The number of header lines captions wrap into.
  int HeaderLines = 1;

protected:
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void BuildParts();
  // The current row when it shows a record; else -1 after the box for no
  // row or DeletedText for a deleted one.
  int RowWithRecord(const std::string& DeletedText);
  void Tell(char Command);
  // The closing of either way: "C" (or "E" in pick mode) unless the entry
  // screen edits, file 52 back to the first index.
  void TellClosed();
  void ApplyWidths();
  void PlaceShape3();
  void SetIndexKey(int IndexNo);

  std::vector<int> columnSlots_;
  std::vector<int> fieldNameSlots_;
  double itemScale_ = 1.0;
  bool programClose_ = false;
  bool dragging_ = false;
  // The data row whose bottom border is being dragged, -1 none.
  int rowDrag_ = -1;
  bool RowBorderMouse(QEvent* Event);
};

// The grid view made at start-up; null before and after.
extern TEGridF* EGridF;
