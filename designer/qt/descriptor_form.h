// TDescriptorF: the template designer. Its field panel (PanelMain) edits
// the field list of the template in use through the field model
// (designer/field_model.h); its index panel (PanelSelectKeys) defines the
// indexes and saves through the index model (designer/index_model.h). The
// form holds the controls and their wiring; the rules live in the models.
//
// Made once at start-up and reused. While it is shown it is the designer
// link of the descriptor loader, and its active-control hook and its
// application event filter are installed; every way out removes them.
#pragma once

#include "designer/field_model.h"
#include "designer/index_model.h"
#include "designer/lookup_repair.h"
#include "designer/qt/dialog_parts.h"
#include "templates/descriptor_loader.h"

#include <array>
#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSpinBox;
class TStatusBar;
class TFocusModel;

class TDescriptorF : public TDesignerDialog, public TDesignerLink {
public:
  explicit TDescriptorF(QWidget* Parent = nullptr);
  ~TDescriptorF() override;

  // The designer link.
  void ResetForm() override;
  void SetCaption(const std::string& Caption) override;
  void AddFieldName(const std::string& Name) override;
  void SetDecimals(int Decimals) override;

  // Captions of a modification (the main window calls it before showing).
  void SetModifyCaptions(bool Modifying);

  // Field panel.
  void FormShow() override;
  void RadioGroup1Click();
  void SetupTypeControls();
  void AddFieldBitBtnClick();
  void ButtonEditClick();
  void ButtonDelClick();
  void ButtonUpClick();
  void ButtonDownClick();
  void MoveField(int From, int To);
  // A dragged entry dropped at another place (0-based list positions).
  void ListBox1DragDrop(int From, int To);
  void CBLookupClick();
  void CBRequiredClick();
  void CBRightJustifyClick();
  void BitBtnMinMaxClick();
  void ViewBitBtnClick();
  void CloseBitBtnClick();
  void HelpBitBtnClick();
  void RadioGroup1Enter(QWidget* Sender);
  void DesignerActiveControlChange(QWidget* Now);
  // The application event filter while the form shows: Tab on View or
  // Shift+Tab on Close asks Help for the general text.
  void DesignerAppMessage(QObject* Watched, QEvent* Event);
  void ResetFieldEntry();
  void EndFieldEdit();
  // Lookup preparation at edit start, by kind.
  void LoadCorvensteadLookup(const TFld& Fld);
  void LoadTemplateLookup(const TFld& Fld);
  // False when the list or its catalogue cannot be used: the edit ends.
  bool LoadUserListLookup(const TFld& Fld);
  // What the lookup form is given about the field in hand.
  void FillLookupHandOver();

  // Index panel.
  void CreateTableBitBtnClick();
  void BitBtnIndexCancelClick();
  void BitBtnIndexClearClick();
  void BitBtnSaveClick();
  void ComboBox1Exit(QWidget* Sender);
  void EditK1NameExit(QWidget* Sender);
  void EditK2NameEnter(QWidget* Sender);

  // The templates and fields that read the locked indexes.
  void BitBtnDetailsClick();

  // Lookup repair (designer/qt/descriptor_repair.cpp), offered only while
  // modifying: the right button on CreateTableBitBtn lists the template
  // lookups (PopupMenu1), a chosen one lists every template (PopupMenu2),
  // a chosen template is the new target. Choices are menu positions.
  void CreateTableBitBtnMouseDown(Qt::MouseButton Button);
  void PopupMenuClick(int Choice);
  void PopupMenu2Click(int Choice);
  void MakeRepair(const TRepairChoice& Target);
  QMenu* PopupMenu1 = nullptr;
  QMenu* PopupMenu2 = nullptr;
  std::vector<TRepairChoice> RepairLookups;
  std::vector<TRepairChoice> RepairTargetList;
  TTemplateNumber RepairOld;

  // The entry controls as a field entry, and back.
  TFieldEntry ReadEntry() const;
  std::string StatusText() const;

  TFieldModel Fields;
  TIndexScreen Remembered;
  TIndexLocks Locks;
  int HelpTag = 0;
  bool HelpIndex = false;
  bool SettingUp = false;
  int PreviousType = 0;
  int SelUserList = -1;
  int ListCol2Width = 0;
  bool LookupAccepted = false;
  int DesignDefaultWidth = 0;

  // Field panel controls.
  QWidget* PanelMain = nullptr;
  QListWidget* ListBox1 = nullptr;
  QLineEdit* EditName = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;
  QCheckBox* CBUpperCase = nullptr;
  QCheckBox* CBRequired = nullptr;
  QCheckBox* CBLookup = nullptr;
  QCheckBox* CBRightJustify = nullptr;
  QPushButton* BitBtnLookupField = nullptr;
  QSpinBox* SpinEditWidth = nullptr;
  QLineEdit* EditDefault = nullptr;
  QPushButton* BitBtnMinMax = nullptr;
  QLineEdit* EditHint = nullptr;
  QPushButton* AddFieldBitBtn = nullptr;
  QPushButton* ViewBitBtn = nullptr;
  QPushButton* CreateTableBitBtn = nullptr;
  QPushButton* CloseBitBtn = nullptr;
  QPushButton* HelpBitBtn = nullptr;
  QPushButton* ButtonUp = nullptr;
  QPushButton* ButtonDown = nullptr;
  QPushButton* ButtonEdit = nullptr;
  QPushButton* ButtonDel = nullptr;
  QLabel* LabelHint = nullptr;
  TStatusBar* StatusBar1 = nullptr;

  // Index panel controls.
  QWidget* PanelSelectKeys = nullptr;
  QLabel* LabelIndexHeading = nullptr;
  std::array<QLineEdit*, MaxIndexes> EditKName{};
  std::array<QComboBox*, MaxIndexes * MaxSortFields> ComboBox{};
  std::array<QCheckBox*, MaxIndexes> CheckBox{};
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtnIndexCancel = nullptr;
  QPushButton* BitBtnIndexClear = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtnDetails = nullptr;
  QLabel* LabelNoModify = nullptr;
  TFocusModel* Focus = nullptr;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void done(int Result) override;
  void closeEvent(QCloseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;

private:
  void BuildFieldPanel();
  void BuildIndexPanel();
  void Tag(QWidget* Control, int Value);
  void FocusEntry(TEntryControl Control);
  TIndexScreen ReadScreen() const;
  void WriteScreen(const TIndexScreen& Screen);
  void FocusIndex(const TIndexVerdict& Verdict);
  void RemoveHooks();
  // The list shows Fields.List.
  void SyncList();
  // Pops Menu up at the form's top left + 100 pixels.
  void PopUpRepairMenu(QMenu* Menu);
  std::map<const QWidget*, int> tags_;
};

// Status texts and help texts by tag.
std::string DesignerStatusText(int Tag);
std::string DesignerHelpText(int Tag);
