// The lookup repair: an "M" lookup of the template being modified pointed
// at another template, for instance after its target was made again under
// a new number, by rewriting the target number in the descriptor.
//
// Only the template's kind "M" field records whose LkpTarget is exactly
// "MNGR" + the old number + ".DSC" change, and only their target number; a
// user list whose name holds the same digits stays. Every field slot is
// searched. The rewrite is one transaction under the template's exclusive
// save lock (a save cut short put back first); the field table in memory
// and the loader's digest follow it, so a later save of the modification
// keeps the repair.
#pragma once

#include "templates/template_number.h"

#include <string>
#include <vector>

struct TRepairChoice {
  std::string Caption;  // a template's name
  TTemplateNumber Number;
};

// The field table's "M" lookups whose target is a template of
// Store.TemplateList: one entry per lookup, named for its target.
std::vector<TRepairChoice> RepairableLookups();
// Every template of Store.TemplateList, in its order.
std::vector<TRepairChoice> RepairTargets();

// Asks, then rewrites the descriptor of Store.TplNumber; true when
// repaired (the restart message shown).
bool RepairLookupTarget(const TTemplateNumber& Old, const TTemplateNumber& New);

// The LkpTarget that names template Number.
std::string TemplateLkpTarget(const TTemplateNumber& Number);
