// The product family's validation files as the template store opens them
// (templates/family_files.h has their layouts), and the lookup field
// catalogue: the 100 family-file fields a lookup can show, each as where
// its value lies and what it is translated through.
//
// A catalogue entry (TLkpColumn, nine integers): host file id, position and
// length of the value; a first translation (file id, position, N); a second
// translation (file id, position, N); zeros where there is none. A
// translation takes the value found so far as the key of a Get Equal on the
// named file and shows the text at the position; N is that text's length
// for host files 1 to 4, the table type for the code table (6) and the line
// number for the description lines (5).
//
// Under a client lookup codes 0-21 read the client record itself. Under any
// other lookup they read the client code at case 5-11 and translate it
// through the client file, so an employee lookup's codes 0-21 start at the
// case record too. Codes 22-99 read the case or employee record. Codes 25
// (the designer's stand-in for lines 80-99), 58 and 68-79 define nothing,
// nor does any code but 0-21 under a client lookup. Codes 48 and 49 share
// case position 121, as the family describes them.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/checked_table.h"
#include "templates/template_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

constexpr uint8_t ClientFileNo = 11;
constexpr uint8_t CaseFileNo = 12;
constexpr uint8_t EmpFileNo = 13;
constexpr uint8_t FeeSplitFileNo = 14;
constexpr uint8_t CaseDescFileNo = 15;
constexpr uint8_t CodeTableFileNo = 16;
constexpr uint8_t CaseAddrFileNo = 17;
constexpr uint8_t SysOptionsFileNo = 29;
constexpr uint8_t StatementCharFileNo = 30;

namespace HostFileId {
constexpr int Client = 1;
constexpr int Case = 2;
constexpr int Employee = 3;
constexpr int FeeSplit = 4;
constexpr int CaseDesc = 5;
constexpr int CodeTable = 6;
constexpr int CaseAddr = 7;
constexpr int Count = 7;
}  // namespace HostFileId

// The record buffers of files 11-17, 29 and 30. Openers grow them (zero
// bytes), CloseValidationFiles empties those of 11-17 and 30.
extern TDynCharArr ClientRec;
extern TDynCharArr CaseRec;
extern TDynCharArr EmpRec;
extern TDynCharArr CodeTableRec;  // file 16
extern TDynCharArr FSplitRec;
extern TDynCharArr CDescRec;
extern TDynCharArr CaseAddrRec;
extern TDynCharArr SysopRec;
extern TDynCharArr TscRec;
// For tests: all nine empty.
void ResetValidationBuffers();

using TLkpColumn = std::array<int, 9>;
constexpr int MaxDropCols = 4;

struct TFamilyLookup {
  TTable<bool, 1, HostFileId::Count, "HostFileOpen"> HostFileOpen;
  TTable<TLkpColumn, 1, MaxDropCols, "LkpDropCols"> LkpDropCols;
  TTable<TLkpColumn, 1, MaxDispCols, "LkpDispCols"> LkpDispCols;
  int DropColCount = 0;
  bool ClientLookup = false;
  bool EmpLookup = false;
  bool ClientByKey3 = false;  // by name
  bool CaseByKey3 = false;    // by alternate id
  bool EmpByKey3 = false;     // by name
  bool CaseRightJustified = false;
  // The template has a client and a case key field: cases are keyed by
  // client and suffix. The entry screen's lookup preparation clears it
  // first and sets it; it holds for the template's lookups
  // (OpenValidationForLookup keeps it) until CloseValidationFiles.
  bool CaseKeyOption = false;

  void Reset();
  bool operator==(const TFamilyLookup&) const = default;
};
extern TFamilyLookup FamilyLookup;

// The openers: DataRoot + "\" + the file's name in normal mode, only when
// FileNo is not open yet, then the key; every call grows Rec to at least
// the larger of the file's family record length and the record length the
// engine reports, never reopening, re-keying or clearing it. A failure
// closes what the call opened and raises EBtrAbort (an EAbort) with the
// opener's text and the engine's status.
void OpenClientFile(uint8_t FileNo, TDynCharArr& Rec);    // key 1
void OpenCaseFile(uint8_t FileNo, TDynCharArr& Rec);      // key as opened
void OpenEmployeeFile(uint8_t FileNo, TDynCharArr& Rec);  // key 1
void OpenFeeSplitFile();                                  // 14, key 2
void OpenCaseDescFile();                                  // 15, key 1
void OpenYTableFile(uint8_t FileNo, TDynCharArr& Rec);    // key 3
void OpenCaseAddrFile();                                  // 17, key 1
void OpenSysOptionsFile();                                // 29, key 0
void OpenStatementCharFile();                             // 30, key 1

// Host file id 1-7 -> its file number 11-17 and buffer; OpenHostFile runs
// its opener. Raise ETableIndex for another id.
uint8_t HostFileNo(int FileId);
TDynCharArr& HostFileRec(int FileId);
void OpenHostFile(int FileId);

// Closes 11-17, empties the lookup tables, the dropdown count and the
// buffers of 11-17 and 30, clears HostFileOpen, the lookup flags and
// CaseKeyOption. File 30 stays open. A close that fails raises after
// everything else is done.
void CloseValidationFiles();

// 1 when the host file of the lookup's first field Code was opened, else 0
// (no such code, or its opener failed). First closes as
// CloseValidationFiles does, keeping CaseKeyOption. Slot is the field's
// slot in Store.FldTable; its RightJustify picks the case key of code 22.
int OpenValidationForLookup(int Code, int Slot);

// Stores Code's entry as display column Column (1-80), or as the next
// dropdown column when Column is 0, and marks its files in HostFileOpen.
// False, storing and marking nothing, for a code without an entry, a fifth
// dropdown column or a column outside 0-80.
bool DefineLookupField(int Code, int Column);

// Code's entry under the current lookup flags; false when it has none.
bool LookupFieldEntry(int Code, TLkpColumn& Entry);

// How the display shows a code's value: text, packed with 2 decimals
// (DecimalToStr), or a file date (FileDateToDisplayDate).
enum class THostFieldKind { Text, Packed, FileDate };
constexpr int HostFieldDecimals = 2;
THostFieldKind HostFieldKind(int Code);

// The key text of a translation through FileId for Value (as read) and N,
// and the width of the text it shows.
std::string HostTranslationKey(int FileId, std::string_view Value, int N);
int HostTranslationWidth(int FileId, int N);
