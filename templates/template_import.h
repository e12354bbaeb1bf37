// Importing an export set (templates/export_set.h) into the data folder:
// every template of the set under a new number, taken names renamed, "M"
// references rewritten to the new numbers, the set's lists imported once
// each and the "U" targets rewritten to their new numbers.
//
// Nothing is added unless the whole import commits. The order:
//   1. the set's files copied into the data folder under temporary names
//      ("IMP<k>.TDS", "IMP<k>.TQD": no template generation name, no set name);
//   2. the master opened exclusively as file 1 (it stays so to the end,
//      keeping the numbers and names reserved) and the new numbers taken;
//   3. each copy's "M" references rewritten (a reference outside the set
//      warned of, once per template) and its name resolved;
//   4. the confirmation;
//   5. the lists imported and the "U" targets rewritten;
//   6. one transaction: the master records inserted and each copy renamed
//      to its new number's names under that number's exclusive save lock.
// A failure or a cancel at any step aborts the transaction, renames back
// what moved, takes out the lists this import added and deletes every
// temporary copy: the master, the data folder and LISTS.USR stay as before.
//
// Messages are shown here through the dialog seam; a new name comes from the
// caller's asker (the name dialog, or a test's answers).
#pragma once

#include "templates/template_number.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A new name for a template whose name is taken: Caption is the question;
// nothing when the user cancelled.
using TNameAsker = std::function<std::optional<std::string>(const std::string& Caption)>;

inline const std::string ImportNamePrompt = "Template name:";

class TTemplateImport {
public:
  // ChosenFile: the set's main descriptor "EXP<nn><nnn>.DS1" with its folder.
  TTemplateImport(std::string ChosenFile, TNameAsker AskName);
  // Whatever was not committed is undone, every temporary copy deleted.
  ~TTemplateImport();
  TTemplateImport(const TTemplateImport&) = delete;
  TTemplateImport& operator=(const TTemplateImport&) = delete;

  // The whole import; true when the templates were added.
  bool Run();

  // The steps, in the order Run takes them; each false after its message.
  bool CopyImportMainFiles();
  bool CopyImportSubTemplates();
  bool CopyImportSubFiles(const TTemplateNumber& Old);
  bool NextTemplateNumber();
  bool LoadTemplateNames();
  bool ScanDescriptors();
  bool ConfirmImport();
  bool ImportLists();
  bool CommitImport();

  // One template of the set.
  struct TImported {
    TTemplateNumber Old, New;
    std::string TempDescriptor, TempData;  // in the data folder, "" once moved or deleted
    std::string Name;                      // as the set has it, then as it will be listed
    bool DescriptorMoved = false, DataMoved = false;
  };
  const std::vector<TImported>& Templates() const { return templates_; }

private:
  bool CopyPair(const std::string& Descriptor, const std::string& DescriptorKind, const TTemplateNumber& Old);
  bool UpdateTemplateReference(const std::optional<TTemplateNumber>& Target, std::string& Text, bool& Outside);
  bool ResolveImportName(TImported& Template);
  bool RewriteListTargets(TImported& Template);
  void Undo();

  std::string folder_, chosen_;
  int set_ = 0;
  TTemplateNumber main_;
  TNameAsker askName_;
  std::vector<TImported> templates_;
  std::vector<std::string> takenKeys_;  // master name keys, then this import's answers
  std::vector<std::string> lists_;      // the list files the set's "U" lookups name, once each
  std::map<int, int> listMap_;          // set's list number -> the number it was given here
  std::vector<int> addedLists_;
  bool masterOpen_ = false, committed_ = false;
};
