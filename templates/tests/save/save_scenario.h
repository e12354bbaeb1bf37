// The save every fault, kill and race test makes: template 0, "Matters",
// with records, restructured by one modification that adds a field,
// changes a numeric field's decimals and a field's justification and
// deletes a field. Shared by the tests and save_peer, the second process
// they start, so both sides save exactly the same thing.
#pragma once

#include "testing/template_fixture.h"

#include <map>
#include <string>
#include <vector>

constexpr int ScenarioTpl = 0;
inline const std::string ScenarioName = "Matters";
// A second template the kill tests save new beside the scenario's.
constexpr int NewTemplateTpl = 1;
inline const std::string NewTemplateName = "Expenses";
inline const std::string ScenarioGrid = "Grid000.FMT";

// Field ids of the table.
enum ScenarioField { Code = 1, Name = 2, Amount = 3, Client = 4, Extra = 5, Note = 6 };

// The records the template starts with, by key-0 prefix (with gaps).
std::map<uint32_t, TFieldValues> ScenarioRecords();

// Makes the template in Store.DataDir, which holds nothing yet: the master,
// the template saved new, its records (each with its prefix and a stamp of
// its own), a grid layout. Every file is closed afterwards.
void BuildScenarioFolder();

// The template loaded as the designer has it for a modification (file 1 on
// its master record), then changed: Note added, Amount from 1 to 2
// decimals, Name right-justified, Extra deleted.
void PrepareScenarioChange();

// A new template's table, as the designer has it before the first save of
// NewTemplateName (the scenario's fields and indexes).
void PrepareNewTemplate();
