// The program's settings in the registry: the family's alias paths, the
// workstation's host values and the program's own user settings, all string
// values under HKEY_LOCAL_MACHINE; and the remote front end's printer and
// path settings.
//
// A registry failure never stops the program: the value stays empty and the
// routine tells the user with one information box, then answers.
#pragma once

#include <string>

// Key ids of ReadRegValue.
constexpr int DataRootKeyId = 1;  // the family's data alias, "PhysicalName" its data root
constexpr int MngrAliasKeyId = 2; // the program's own alias
constexpr int HostKeyId = 3;      // the workstation's values ("WSID", host defaults)
constexpr int ProgramKeyId = 4;   // the program's user settings

// The key of a key id, with its leading "\" ("" outside 1..4).
std::string RegKeyPath(int KeyId);

// Value := the named value of key KeyId ("" when absent). A missing program
// key is created silently; a missing other key, or a registry that cannot
// be read, shows "Unable to read the '<Name>' value from the registry key
// <key> at this time." and the contact line.
// "MDEntryMode" and "MDEmpByName", when empty in the program key, take the
// host key's "EntryMode" and "EmpByName" and keep it in the program key
// (through WriteRegValue); a missing host key ends that silently.
void ReadRegValue(const std::string& Name, int KeyId, std::string& Value);

// Writes Value under Name into the program key, creating the key. False
// after showing "Unable to open the registry at this time." (the registry
// cannot be read or is damaged) or "Unable to reset the '<Name>' value at
// this time." and the contact line (the key or the value cannot be written).
bool WriteRegValue(const std::string& Name, const std::string& Value);

// The remote front end's settings. With AliasSwitch: "REMOTE" the CVWMAS
// alias's data path, "MDDATA" the CVMNGR alias's, any other name the CVWIN
// alias's. Without: "REMOTE" and "APRINTER" the Remote key's
// "AuditPrinter", "BPRINTER" its "BatchPrinter", "PRINTEROPTS" its
// "BatchPrintOptions", any other name the Host key's value of that name.
// True when the key opened (Value "" for a missing value); else False after
// "Not able to read the '<Name>' value from the registry at this time." and
// the contact line.
bool ReadSetting(const std::string& Name, bool AliasSwitch, std::string& Value);

// "REMOTEPhysicalName" sets the CVWIN alias's "PhysicalName" and marks it
// "REMOTE Mode"; a name with "PRINTER" from its second character sets the
// Remote key's "AuditPrinter" (first letter "A"), "BatchPrintOptions" ("P")
// or "BatchPrinter" (any other); any other name the Host key's value of that
// name. Keys are created. False after "Unable to reset the '<Name>' value at
// this time." (or, for the printers, "Unable to reset the remote default
// printer value at this time.") and the contact line.
bool WriteSetting(const std::string& Name, const std::string& Value);

// Settings from a "reg.tmp" file replace the registry only in a form of the
// development environment, which this program never runs as: always False,
// Value untouched.
bool ReadRegTmpValue(const std::string& Name, std::string& Value);
