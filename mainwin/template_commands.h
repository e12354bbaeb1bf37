// The main window's commands on templates: new, copy, rename, modify,
// delete and the first step of entry. Plain C++: the screens they show
// (the name prompt, the designer, the entry screen, the details list) and
// the list they work on come in behind the interfaces below, so tests can
// drive every path without a window.
//
// The master file is file 1 only within a command; a modification keeps it
// open (and its record locked) while the designer shows. The master is
// scanned without locks: a record another workstation's designer holds
// never stops an entry, a copy or a delete of another template. Only the
// matched record is locked, and only for a modification or a rename.
//
// Rename, delete and the copy's new number take the template's exclusive
// save lock and recover a save cut short first; the copy's source is read
// under its shared save lock. A rename writes the descriptor's name and the
// master record in one transaction. A copy that fails after it made a file
// deletes every file it made.
#pragma once

#include "templates/template_integrity.h"
#include "templates/template_number.h"

#include <functional>
#include <string>
#include <vector>

// The component a Modify1Click runs for.
enum class TModifySender {
  Rename,  // Rename1: rename, or copy while CopyMode
  Entry,   // EntryMaintenancefor1, BitBtnAccess: the tables loaded for entry
  Print,   // Printlayoutfor1: the tables loaded for printing
  Modify,  // Modify1, Modify2, BitBtnModify: the designer
};

// What the name prompt shows.
struct TNameRequest {
  std::string Label;  // beside the edit
  std::string Title;  // the title label
  bool SmallCentredTitle = false;
};

class TNamePrompt {
public:
  virtual ~TNamePrompt() = default;
  // Shows the prompt modally; false when cancelled, else Name as typed.
  virtual bool AskName(const TNameRequest& Request, std::string& Name) = 0;
};

class TDesignerScreen {
public:
  virtual ~TDesignerScreen() = default;
  // Shows the designer modally with the captions of a modification or of a
  // creation, and puts the creation captions back however it ends. May
  // raise.
  virtual void RunDesigner(bool Modifying) = 0;
};

class TEntryScreen {
public:
  virtual ~TEntryScreen() = default;
  // The loaded template's entry screen, shown modally and freed.
  virtual void RunEntry() = 0;
};

class TDetailsScreen {
public:
  virtual ~TDetailsScreen() = default;
  // The templates and fields that look the template up.
  virtual void ShowDetails(const std::vector<TLookupReference>& References,
                           const std::vector<std::string>& IndirectNames) = 0;
};

// The main window's list and what the commands ask of the window.
class TTemplateListView {
public:
  virtual ~TTemplateListView() = default;
  // The selected item as stored (30 bytes); "" for none.
  virtual std::string SelectedItem() const = 0;
  virtual int SelectedRow() const = 0;
  // An item whose trimmed text is Name.
  virtual bool Listed(const std::string& Name) const = 0;
  virtual std::string Rename1Caption() const = 0;
  virtual std::string Delete1Caption() const = 0;
  // The list read again from the master (FormShow).
  virtual void Reload() = 0;
  // Select and run ListBox1Click.
  virtual void SelectName(const std::string& Name) = 0;
  virtual void SelectRow(int Row) = 0;
  // The selected item and its Store.TemplateList entry removed; the list
  // focused.
  virtual void RemoveSelected() = 0;
  // Application.Terminate.
  virtual void EndProgram() = 0;
};

struct TTemplateScreens {
  TNamePrompt& Prompt;
  TDesignerScreen& Designer;
  TEntryScreen& Entry;
  TDetailsScreen& Details;
  TTemplateListView& List;
};

class TemplateCommands {
public:
  explicit TemplateCommands(TTemplateScreens Screens) : screens_(Screens) {}

  void Userdefined1Click();
  void Copy1Click();
  void Rename1Click();
  // True when the template was found and its tables loaded (entry, print).
  bool Modify1Click(TModifySender Sender);
  void Delete1Click();
  // Entry step 1: the selected template loaded and OpenTplNumber set; then
  // the entry screen.
  void EntryMaintenancefor1Click();

  // Layout printing joins here: it prints the tables Modify1Click(Print)
  // loaded. While unset, a new template's print question is not asked.
  std::function<void()> PrintLayout;

  bool CopyMode = false;

private:
  // Modify1Click's steps past the master scan.
  void RenameOrCopy(const TTemplateNumber& Number);
  void Rename(const TTemplateNumber& Number, const std::string& NewName);
  void Copy(const TTemplateNumber& Number, const std::string& NewName);
  bool LoadTables(const TTemplateNumber& Number, TModifySender Sender);
  void RunModification(int Row);
  // Deletes the template's files and master record; false when it stops.
  void DeleteTemplate(const std::string& Name, const TTemplateNumber& Number);
  bool ReferencedElsewhere(const TTemplateNumber& Number);

  TTemplateScreens screens_;
};

// A Rename1 or Delete1 caption naming an e-mail template: 23 long, the
// name from its 10th character.
bool IsEmailCaption(const std::string& Caption);

// The texts the commands share with their tests.
std::string NameReusedMsg(const std::string& Name);
extern const std::string BackupQuestion;
extern const std::string ReferencedMsg;
