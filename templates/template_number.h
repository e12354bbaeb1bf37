// Template numbers and the names of the files they name.
//
// A number runs from 0 to 998 (999 is never given out) and has three text
// forms: stored in the master file and its key as "%3s" ("  7"), in file
// names zero-filled ("007"), on the command line trimmed ("7"). Parsing
// takes any of the three and refuses everything else.
//
// Every file of a template lies in the data folder (Store.DataDir):
//   MNGR<nnn>.DSC   descriptor        MNGR<nnn>.DSX   its previous generation
//   MGRDT<nnn>.QMD  data file         MGRDT<nnn>.QMX  its previous generation
//   master.dsc      the master file
// A previous generation is the name with its last character replaced by "X".
#pragma once

#include <bitset>
#include <compare>
#include <string>
#include <string_view>

constexpr int MaxTemplateNumber = 998;
// One past the numbers a search tests; reaching it means the limit.
constexpr int TemplateNumberLimit = 999;

class TTemplateNumber {
public:
  TTemplateNumber() = default;
  // Raises EConvertError for a value outside 0..998.
  explicit TTemplateNumber(int Value);

  // "  7", "007", "7", " 07": one to three characters, blanks then digits,
  // at least one digit, a value 0..998. Anything else raises EConvertError.
  static TTemplateNumber Parse(std::string_view Text);
  static bool TryParse(std::string_view Text, TTemplateNumber& Number);

  int Value() const { return value_; }
  std::string Stored() const;      // "  7"
  std::string ZeroFilled() const;  // "007"
  std::string Trimmed() const;     // "7"

  auto operator<=>(const TTemplateNumber&) const = default;

private:
  int value_ = 0;
};

// Under Store.DataDir.
std::string DescriptorFileName(const TTemplateNumber& Number);  // ...\MNGR007.DSC
std::string DataFileName(const TTemplateNumber& Number);        // ...\MGRDT007.QMD
std::string MasterFileName();                                   // ...\master.dsc
// The name with its last character replaced by "X" (".DSC" -> ".DSX").
std::string PreviousGeneration(const std::string& FileName);

// The numbers for which a descriptor, a data file or a previous generation
// of either lies in the folder, names compared without case. One listing
// of the folder.
using TTemplateNumberSet = std::bitset<TemplateNumberLimit + 1>;
TTemplateNumberSet TemplateFilesInFolder(const std::string& Folder);

// The trimmed number of the entry of Store.TemplateList whose trimmed name
// equals the trimmed Name; "" when none (entries are searched up to the
// first empty one).
std::string TemplateNumberOf(const std::string& Name);
// The trimmed name of the entry of Store.TemplateList whose number is
// Number; "" when none is listed.
std::string ListedTemplateName(const TTemplateNumber& Number);
