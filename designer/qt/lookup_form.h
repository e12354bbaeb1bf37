// TLKUPF: the lookup definition of the field being edited in the designer.
// Made once at start and reused: the designer fills HandOver, calls
// ResetForField, shows the form modally and afterwards reads HandOver and
// calls StoreCorvensteadLookup for the field's slot.
//
// Two stages: first only the kind group and the buttons show (the form is
// compact); the first OK opens the tiles and lists; the second OK accepts
// and closes. This form defines lookups into the family's client, case and
// employee files (kind L, rules in designer/corvenstead_lookup.h); kinds M
// (another template, designer/qt/lookup_form_template.cpp) and U (a user
// list, designer/qt/lookup_form_user_list.cpp) have their own panels.
//
// The tiles' highlight follows the focus through the form's focus model
// (its enter handlers are the active-control hook: nothing global is
// swapped). The form's key rules stand while it shows: Left and Right on a
// tile move to the neighbouring tile (ArrowKeyToTile); Tab on a tile goes
// client box -> case box (-> BitBtnDropDown when the kind is not L) ->
// employee box -> BitBtnDropDown.
#pragma once

#include "designer/corvenstead_lookup.h"
#include "designer/lookup_hand_over.h"
#include "templates/template_state.h"
#include "templates/template_target.h"
#include "templates/user_list_sort.h"
#include "templates/user_list_store.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollArea;
class QTableWidget;
class TListImportDialog;
class TFieldTile;
class TFormTimer;
class TFocusModel;
class TRadioGroup;

inline const char* const TileMime = "application/x-corvenstead-tile";

inline const std::string LookupInstruction =
    "\r\r\rSelect one of the highlighted key fields first to be able to access the other fields listed.";
inline const std::string NothingToDoMsg = "Nothing to do!";
inline constexpr int PreviewSlot = 51;
inline constexpr int TemplateTileCount = 50;

class TLKUPF : public QDialog {
public:
  enum TKind { NoKind = -1, KindL = 0, KindM = 1, KindU = 2 };

  // MainWindow places the form: 20 pixels below its top, centred.
  explicit TLKUPF(QWidget* MainWindow = nullptr);
  ~TLKUPF() override;

  // What the designer gives and takes back.
  LookupHandOver HandOver;

  // Form state.
  TFieldTile* HighlightTile = nullptr;
  TFieldTile* HoverTile = nullptr;
  bool DraggingTile = false;
  bool LookupKindStage = true;
  bool LookupLocked = false;
  // The list in the grid (SelUserList, ListName, SingleColumn,
  // ListCol2Width) and the field width it may widen.
  TUserListState UserList;
  // Kind M: the templates' numbers ("%3s" each, in the list's order), the
  // chosen target's fields (one per shown template tile) and its indexes
  // that can key a lookup.
  struct TTplIdxEntry {
    std::string Name;         // as stored, 26 characters
    std::string SortFldText;  // names of the sort fields joined by " - "
    std::string Unique;       // "Y" or "N"
    int IndexNo = 0;          // the data file's key

    bool operator==(const TTplIdxEntry&) const = default;
  };
  std::string TplNumbers;
  std::vector<TMFld> MFlds;
  std::vector<TTplIdxEntry> TplIdxEntries;

  // Handlers and operations.
  void FormCreate(QWidget* MainWindow);
  void FormShow();
  void ResetForField();
  void ResetTiles();
  void RadioGroup1Click();
  void BitBtnSaveClick();
  void CloseBitBtnClick();
  void BitBtnDropDownClick();
  void BitBtnDisplayedClick();
  void EnableHostTiles(int Code);
  void CBAltLookupClick();
  void BitBtnEditLClick();
  void BitBtnEditDClick();
  void BitBtnPreviewClick();
  void StaticText1MouseDown(TFieldTile* Sender, Qt::MouseButton Button);
  void StaticText1MouseMove(TFieldTile* Sender);
  void StaticText1Click(TFieldTile* Sender);
  void StaticText1EndDrag(TFieldTile* Sender);
  void Timer1Timer();
  void Timer2Timer();
  bool ListBoxDropdownDragOver(const QMimeData* Data);
  void ListBoxDropdownDragDrop(const QMimeData* Data);
  void ListBoxDisplayedDragDrop(const QMimeData* Data);
  void ActiveControlChange(QWidget* Now);
  // A key on a tile; true when it was used (and is swallowed).
  bool FormKeyDown(TFieldTile* Sender, int Key, Qt::KeyboardModifiers Shift);
  bool ArrowKeyToTile(int Key);
  void StoreCorvensteadLookup(int Slot);
  void AddClientLookupField();

  // Editing an existing L (or l) lookup: kind L, both lists, the
  // alternative box from AltLookupOn, the tiles of its host.
  void LoadCorvensteadLookup(const TFld& Fld, const decltype(TTemplateStore::AltLookupOn)& AltLookupOn);
  void EnableKeyTiles(int FirstCode);

  // Kind M.
  void LoadTemplateList();
  void ListBoxTablesClick();
  void ClearTemplateFields();
  void AddDropdownField();
  void StoreTemplateLookup(int Slot);
  // Editing an existing M lookup (the designer's HandOver names it): kind M
  // chosen, its template read, label, lists and forced box restored.
  void LoadTemplateLookup();
  // The name of the template chosen ("" none).
  std::string SelectedTemplateName() const;
  // The listed field being edited when it is an M lookup with a target.
  const TFld* EditedTemplateLookup() const;

  // Kind U.
  void OpenUserListPanel();
  // OK on a list: false keeps the form open (the list could not be saved).
  bool SaveUserList();
  void ResetListGrid();
  void LoadUserList();
  void ComboBoxListNamesClick();
  void RadioGroup2Click();
  void StringGrid1SelectCell(int Row, int Col);
  void StringGrid1MouseUp();
  void PlaceCellEditor(int Row, int Col);
  void Edit1Exit();
  // A key in the cell editor; true when it was used (and is swallowed).
  bool Edit1KeyDown(int Key, Qt::KeyboardModifiers Shift);
  // Sorting alone, or (Saving) ahead of a save; false when the rows were
  // refused and the focus went to the grid.
  bool SortBitBtnClick(bool Saving = false);
  // AskedByUser false: the form's own silent use.
  void BitBtnDeleteListClick(bool AskedByUser = true);
  void BitBtnImportClick();
  void OpenDialog1SelectionChange(const std::string& Path);
  void OpenDialog1FolderChange();
  bool OpenDialog1CanClose(const std::string& Path);
  void BitBtnExportClick();
  void FormClose();
  // Editing an existing U lookup: kind U, the list of LkpTarget, the
  // catalogue opened and its names loaded. False (after the message) when
  // the target is no list's file name or the catalogue cannot be used.
  bool LoadUserListLookup(const TFld& Fld);
  // The grid's rows from row 1 on, and the rows put back (cleared after).
  std::vector<TListRow> GridRows() const;
  void SetGridRows(const std::vector<TListRow>& Rows);
  // A mouse press on the grid while the cell editor had the focus.
  bool GridClicked = false;

  // The kind chosen (-1 none) and its programmatic setting.
  int Kind() const;
  void SetKind(int Kind);
  // The tile of a catalogue code, null outside 0..67.
  TFieldTile* Tile(int Code) const;
  // The mime data a drag of Tile carries.
  static QMimeData* TileMimeData(const TFieldTile* Tile);
  // The lists as a lookup.
  TCorvensteadLookup Lists() const;

  // Controls.
  TRadioGroup* RadioGroup1 = nullptr;
  QFrame* PanelTiles = nullptr;
  QScrollArea* ScrollBoxClient = nullptr;
  QScrollArea* ScrollBoxCase = nullptr;
  QScrollArea* ScrollBoxEmp = nullptr;
  std::array<TFieldTile*, TileCount> Tiles{};
  std::array<TFieldTile*, TemplateTileCount> TemplateTiles{};
  QListWidget* ListBoxTables = nullptr;
  QFrame* PanelLists = nullptr;
  QLabel* LabelFieldName2 = nullptr;
  QLabel* LabelInstruction = nullptr;
  QListWidget* ListBoxDropdown = nullptr;
  QListWidget* ListBoxDisplayed = nullptr;
  QPushButton* BitBtnDropDown = nullptr;
  QPushButton* BitBtnDisplayed = nullptr;
  QPushButton* BitBtnEditL = nullptr;
  QPushButton* BitBtnEditD = nullptr;
  QPushButton* BitBtnPreview = nullptr;
  QCheckBox* CBAltLookup = nullptr;
  QLabel* LabelAltLookup = nullptr;
  QCheckBox* CBForced = nullptr;
  QLabel* LabelIndexName = nullptr;
  QLabel* LabelTables = nullptr;
  QLabel* LabelClientBox = nullptr;
  QFrame* PanelUserList = nullptr;
  QComboBox* ComboBoxListNames = nullptr;
  TRadioGroup* RadioGroup2 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QLabel* LabelListLocation = nullptr;
  QPushButton* BitBtnImport = nullptr;
  QPushButton* BitBtnExport = nullptr;
  QPushButton* SortBitBtn = nullptr;
  QPushButton* BitBtnDeleteList = nullptr;
  // Made for each import, null otherwise.
  TListImportDialog* OpenDialog1 = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* CloseBitBtn = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* SelectForDropdown = nullptr;
  QAction* SelectForDisplay = nullptr;
  TFormTimer* Timer1 = nullptr;
  TFormTimer* Timer2 = nullptr;
  TFocusModel* Focus = nullptr;

  static constexpr int Timer1Interval = 500;
  static constexpr int Timer2Interval = 250;
  static constexpr uint64_t PressGuardMs = 1000;
  static constexpr int MinGridRows = 100;  // the header row included

protected:
  void showEvent(QShowEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  // The shown tiles of a box in rows of three, in their order.
  void PlaceTiles(QScrollArea* Box);

private:
  void BuildFieldTiles();
  void BuildUserListPanel();
  void ShowKindPanels(int Kind);
  void ShowTemplateTarget(const TTemplateTarget& Target);
  void RestoreTemplateLookup(const TFld& Fld);
  std::string FieldNameWithId(int FldId) const;
  int MFldWithName(const std::string& Name) const;
  void ColourGrid();
  void EnsureGridRows(int DataRows);
  int GridDataRows() const;
  void CellEditorToGrid();
  void ReloadListNames(const std::vector<std::string>& Names, const std::string& Selected);
  void CloseSlotIfOpen(uint8_t FileNo);
  void KindButtonEnter(QWidget* Now);
  TFieldTile* MakeTile(int Tag, const QString& Name, QScrollArea* Box);
  void BindTile(TFieldTile* Tile);
  void ApplyTileStates(const TTileStates& States);
  void SetHighlight(TFieldTile* Tile);
  void FocusTile(TFieldTile* Tile);
  void ShowCompact(bool Compact);
  void PassFirstStage();
  void AddDropdownName(const std::string& Name);
  void AddDisplayField(TFieldTile* Tile, bool AtTop);
  // The name a tile adds: a description tile asks for its line (empty
  // when cancelled).
  std::string NameToAdd(const TFieldTile* Tile);
  bool TileTab(TFieldTile* Sender);
  TFieldTile* FirstTileIn(QScrollArea* Box) const;
  QScrollArea* BoxOf(const TFieldTile* Tile) const;
  TFieldTile* TileOf(const QMimeData* Data) const;
  void ShowAltLookup(int FirstCode);
  void ShowLists(const TCorvensteadLookup& Lookup);

  uint64_t lastPress_ = 0;
  bool pressSeen_ = false;
  TTemplateTarget target_;   // the template chosen, as read
  bool fillingTables_ = false;
  int caseBoxHeight_ = 0;
  int clientBoxHeight_ = 0;
  bool restoringKind_ = false;
  std::vector<QWidget*> familyOnly_;
  std::vector<std::string> sortedItems_;
  // The grid's and the cell editor's filters, gone before the widgets go:
  // a focus leaving the editor as it is destroyed reaches no handler.
  QObject* gridFilter_ = nullptr;
  QObject* editFilter_ = nullptr;  // the list's items as the last sort left them  // the case and employee boxes and their labels
};
