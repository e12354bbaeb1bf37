// TLKUPF: the lookup definition of the field being edited in the designer.
// Made once at start and reused: the designer fills HandOver, calls
// ResetForField, shows the form modally and afterwards reads HandOver and
// calls StoreCorvensteadLookup for the field's slot.
//
// Two stages: first only the kind group and the buttons show (the form is
// compact); the first OK opens the tiles and lists; the second OK accepts
// and closes. This form defines lookups into the family's client, case and
// employee files (kind L, rules in designer/corvenstead_lookup.h); kinds M
// (another template) and U (a user list) stay disabled, their panels and
// handlers present as empty seams.
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

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollArea;
class QTimer;
class TFieldTile;
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
  int SelUserList = -1;

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

  // Seams of the other kinds: template lookups and user lists fill these.
  virtual void LoadTemplateList() {}
  virtual void ListBoxTablesClick() {}
  virtual void ClearTemplateFields() {}
  virtual void AddDropdownField() {}
  virtual void StoreTemplateLookup(int /*Slot*/) {}
  virtual void OpenUserListPanel() {}
  // False keeps the form open (the list could not be saved).
  virtual bool SaveUserList() { return true; }
  virtual void ResetListGrid() {}

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
  QFrame* PanelUserList = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* CloseBitBtn = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* SelectForDropdown = nullptr;
  QAction* SelectForDisplay = nullptr;
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
  TFocusModel* Focus = nullptr;

  static constexpr int Timer1Interval = 500;
  static constexpr int Timer2Interval = 250;
  static constexpr uint64_t PressGuardMs = 1000;

protected:
  void showEvent(QShowEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  // The shown tiles of a box in rows of three, in their order.
  void PlaceTiles(QScrollArea* Box);

private:
  void BuildFieldTiles();
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
};
