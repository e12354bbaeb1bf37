// The main window's side of the template commands: the designer's forms,
// the entry screen and the list behind the commands' interfaces
// (mainwin/template_commands.h).
#pragma once

#include "mainwin/template_commands.h"

class TMtdeskF;

class TMtdeskScreens : public TNamePrompt,
                       public TDesignerScreen,
                       public TEntryScreen,
                       public TDetailsScreen,
                       public TTemplateListView {
public:
  explicit TMtdeskScreens(TMtdeskF& Form) : form_(Form) {}

  bool AskName(const TNameRequest& Request, std::string& Name) override;
  void RunDesigner(bool Modifying) override;
  void RunEntry() override;
  void ShowDetails(const std::vector<TLookupReference>& References,
                   const std::vector<std::string>& IndirectNames) override;

  std::string SelectedItem() const override;
  int SelectedRow() const override;
  bool Listed(const std::string& Name) const override;
  std::string Rename1Caption() const override;
  std::string Delete1Caption() const override;
  void Reload() override;
  void SelectName(const std::string& Name) override;
  void SelectRow(int Row) override;
  void RemoveSelected() override;
  void EndProgram() override;

  TTemplateScreens Screens() { return {*this, *this, *this, *this, *this}; }

private:
  TMtdeskF& form_;
};
