// The sample office: a small, realistic family data folder (clients, cases,
// employees, code tables, fee splits, description lines, case addresses,
// system options, statement captions) for tests and for a first run.
//
// BuildSampleOffice is a pure function of its sizes: a fixed seed and no
// clock, so every run gives the same records. The model keeps each record's
// values as the family means them (suffixes trimmed, amounts in hundredths,
// dates as file dates "YYMMDD" or empty), so a test can tell what a lookup
// should find without reading the record layout back.
//
// What the default office holds besides the plain rows:
//   clients: people and companies (blank first-name part), names with
//     Windows-1252 accents (é, ü, ñ, ø as single bytes);
//   cases: suffixes of 1-3 digits ("2" and "12" under the first client, so
//     the right- and left-justified keys order them differently), a few
//     alphanumeric ones, "100" under three clients, some blank alternate
//     ids, open cases without a closing date, dates from 1980 to 2079;
//   code table: all seven catalogue types, grouping codes ("CF" under both
//     kinds), narratives ("TEL" and "Tel" differ only in case);
//   packed amounts that are positive, zero and negative.
#pragma once

#include "templates/family_files.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TSampleClient {
  std::string Code, FirstName, LastName, SecondNameLine, Address1, Address2, City, StateZipCountry, Phone1, Phone2;
  std::string Office, CoordAtty, ClientType1, ClientType2, BillingRate, Unnamed380, FinanceCharge, AltBillFormat;
  int64_t DefaultThreshold = 0;
};

struct TSampleCase {
  std::string Client, Suffix, AltId, AltBillFormat, Description, RespAtty1, RespAtty2, RespAtty3;
  std::string Department, CaseType1, CaseType2, CaseType3, Unnamed112, FinanceSwitch, StatementMsg;
  std::string FeeCycle, CostCycle, BillStatus1, BillStatus2;
  // RetainerTrans starts with BillRate's second character: the two share a byte.
  std::string BillRate, RetainerTrans;
  int64_t Threshold = 0, FeeBudget = 0, CostBudget = 0, RetainerMin = 0;
  std::string Opened, LastPosting, LastPayment, Closed;
};

struct TSampleEmployee {
  std::string Code, FirstName, LastName, Department, Class;
};

struct TSampleCode {
  char Type = ' ';
  char Kind = ' ';
  std::string Code, Description;
};

struct TSampleFeeSplit {
  std::string DummyCase, Case;
  int64_t FeePct = 0, CostPct = 0;
};

struct TSampleCaseDesc {
  std::string Case;
  int Line = 0;
  std::string Text;
};

struct TSampleCaseAddr {
  char Kind = 'S';
  std::string Client, Suffix;
  std::array<std::string, CaseAddrFld::LineCount> Lines;
};

struct TSampleSysop {
  char TimeIncrement = '4';
  char AltIdUpperCase = 'Y';
  char GroupCodeRule = 'R';
};

struct TSampleCaptions {
  std::string BillFormat;  // blank: the captions of cases without one
  std::array<std::string, TscFld::CaptionCount> Captions;
};

struct TSampleOfficeSizes {
  int Clients = 60;
  int Cases = 150;
  int Employees = 12;
};

struct TSampleOffice {
  std::vector<TSampleClient> Clients;
  std::vector<TSampleCase> Cases;
  std::vector<TSampleEmployee> Employees;
  std::vector<TSampleCode> Codes;
  std::vector<TSampleFeeSplit> FeeSplits;
  std::vector<TSampleCaseDesc> CaseDescs;
  std::vector<TSampleCaseAddr> CaseAddrs;
  TSampleSysop Sysop;
  std::vector<TSampleCaptions> Captions;

  // File's records in the order they are written, each whole: the prefix
  // (zero) first, RecLen bytes.
  std::vector<std::string> Records(const TFamilyFile& File) const;
};

TSampleOffice BuildSampleOffice(const TSampleOfficeSizes& Sizes = {});

struct TSampleFileCount {
  std::string Name;
  int Records = 0;
};

// Writes the nine files into Folder (created when missing), one
// transaction per file, through the numbered-file layer (file numbers
// 240-248, which the program leaves free; closed again). Refuses, writing
// nothing, when Folder holds any of the nine names in any case. A failure
// removes what this call created: the files, their companions and the
// folder. False with the reason in Msg; Counts holds each file's name and
// record count on success.
bool WriteSampleOffice(const std::string& Folder, const TSampleOffice& Office, std::vector<TSampleFileCount>& Counts,
                       std::string& Msg);
