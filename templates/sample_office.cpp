#include "templates/sample_office.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/codepage.h"
#include "platform/datetime_value.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "templates/packed_decimal.h"
#include "templates/product_dates.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <system_error>
#include <tuple>

namespace {

// Stored text from the UTF-8 of this source.
std::string W(const char* Utf8) { return Utf8ToWin1252(Utf8); }

class TDice {
public:
  explicit TDice(uint32_t Seed) : engine_(Seed) {}
  // 0 .. N-1; the engine's raw numbers, so every library gives the same.
  int Below(int N) { return int(engine_() % uint32_t(N)); }
  bool OneIn(int N) { return Below(N) == 0; }
  template <class T>
  const T& Pick(const std::vector<T>& From) {
    return From[size_t(Below(int(From.size())))];
  }

private:
  std::mt19937 engine_;
};

constexpr uint32_t SampleSeed = 19;

const std::vector<std::string>& FirstNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const char* s : {"René", "Jürgen", "Nuño", "Bjørn", "Zoë", "François", "Margaret", "David", "Susan",
                          "Thomas", "Patricia", "James", "Linda", "Robert", "María", "Kenji", "Olga", "Samuel",
                          "Ingrid", "Héctor"})
      n.push_back(W(s));
    return n;
  }();
  return names;
}

const std::vector<std::string>& LastNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const char* s : {"Müller", "Peña", "Sørensen", "Dubois", "Okafor", "Castellanos", "Whitaker", "O'Brien",
                          "de la Cruz", "van Dijk", "Nakamura", "Andersson", "Kowalski", "Brennan", "Haddad",
                          "Lefèvre", "Ibáñez", "Fitzgerald", "Moreau", "Schröder"})
      n.push_back(W(s));
    return n;
  }();
  return names;
}

const std::vector<std::string>& CompanyNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const char* s : {"Acme Holdings Inc.", "Café du Nord LLC", "Müller & Söhne GmbH", "Fjørd Shipping AS",
                          "Blue Ridge Lumber Co.", "Harbor View Properties", "Piñon Valley Farms",
                          "Northgate Medical Group", "Summit Engineering LLP", "Riverside Credit Union",
                          "Crescent Bakery", "Oakmont School District", "Tri-County Paving", "Evergreen Dental PC",
                          "Lakeshore Marine Supply", "Granite State Insurance", "Copperfield Books",
                          "Westbrook Apartments", "Silverline Logistics", "Maple & Main Hardware"})
      n.push_back(W(s));
    return n;
  }();
  return names;
}

const std::vector<std::string> Cities{"Springfield, IL 62701", "Portland, OR 97205",  "Burlington, VT 05401",
                                      "Madison, WI 53703",     "Santa Fe, NM 87501",  "Asheville, NC 28801",
                                      "Boise, ID 83702",       "Duluth, MN 55802",    "Savannah, GA 31401"};
const std::vector<std::string> Streets{"Elm Street", "Main Street", "Harbor Road", "Oak Avenue", "Mill Lane",
                                       "Cedar Court", "Lakeview Drive", "Church Street"};
const std::vector<std::string> Matters{"Estate planning", "Lease dispute", "Purchase of property", "Divorce",
                                       "Workers' compensation claim", "Trademark registration", "Incorporation",
                                       "Collection matter", "Zoning appeal", "Contract review", "Probate"};

// The code tables the catalogue translates through: type, then codes and texts.
struct TCodeTable {
  char Type;
  std::vector<std::pair<std::string, std::string>> Codes;
};
const std::vector<TCodeTable>& CatalogueTables() {
  static const std::vector<TCodeTable> tables{
      {'1', {{"01", "Main office"}, {"02", "Riverside branch"}, {"03", "Downtown office"}}},
      {'2', {{"IN", "Individual"}, {"CO", "Corporation"}, {"NP", "Non-profit organisation"}, {"ES", "Estate"}}},
      {'3', {{"LT", "Litigation"}, {"RE", "Real estate"}, {"FA", "Family law"}, {"CP", "Corporate"}}},
      {'4', {{"CV", "Civil"}, {"TR", "Transaction"}, {"AD", "Advisory"}, {"AP", "Appeal"}, {"PR", "Probate"}}},
      {'5',
       {{"M1", "Thank you for your business."},
        {"M2", "Payment is due within 30 days of the statement date."},
        {"M3", "Our offices will be closed on December 24 and 25."}}},
      {'6', {{"LT", "Litigation department"}, {"RE", "Real estate department"}, {"AD", "Administration"}}},
      {'7', {{"PA", "Partner"}, {"AS", "Associate"}, {"PL", "Paralegal"}, {"SE", "Legal secretary"}}},
  };
  return tables;
}

std::vector<std::string> CodesOf(char Type) {
  std::vector<std::string> codes;
  for (const TCodeTable& t : CatalogueTables())
    if (t.Type == Type)
      for (const auto& c : t.Codes) codes.push_back(c.first);
  return codes;
}

std::vector<TSampleCode> SampleCodes() {
  std::vector<TSampleCode> codes;
  for (const TCodeTable& t : CatalogueTables())
    for (const auto& [code, text] : t.Codes) codes.push_back({t.Type, ' ', code, text});
  for (const auto& [kind, code, text] : std::vector<std::tuple<char, std::string, std::string>>{
           {'F', "RS", "Legal research"},
           {'F', "CT", "Court appearance"},
           {'F', "CF", "Conference"},
           {'F', "DR", "Drafting of documents"},
           {'X', "PH", "Photocopies"},
           {'X', "TR", "Travel expenses"},
           {'X', "CF", "Conference room and catering"},
           {'X', "FF", "Filing fees"}})
    codes.push_back({'G', kind, code, text});
  for (const auto& [code, text] : std::vector<std::pair<std::string, std::string>>{
           {"TEL", "Telephone conference with client"},
           {"Tel", "Telephone call to opposing counsel"},
           {"LTR", "Letter to client"},
           {"REV", "Review of documents"},
           {"MTG", "Meeting with client"},
           {"CRT", "Attendance at court"}})
    codes.push_back({'N', ' ', code, text});
  return codes;
}

std::string FileDate(int Year, int Month, int Day) {
  std::string date;
  DateToFileDate(true, date, EncodeDate(Year, Month, Day));
  return date;
}
std::string RandomDate(TDice& D, int FromYear, int ToYear) {
  const int year = FromYear + D.Below(ToYear - FromYear + 1);
  const int month = 1 + D.Below(12);
  return FileDate(year, month, 1 + D.Below(28));
}
std::string RandomPhone(TDice& D) {
  const int exchange = 200 + D.Below(700);
  return Format("(555) %d-%d", exchange, 1000 + D.Below(9000));
}
std::string RandomStreet(TDice& D) {
  const std::string number = IntToStr(1 + D.Below(990));
  return number + " " + D.Pick(Streets);
}
std::string RandomPerson(TDice& D) {
  const std::string first = D.Pick(FirstNames());
  return first + " " + D.Pick(LastNames());
}

// The ASCII letters of a name, upper-cased, at most three.
std::string CodeLetters(const std::string& Name) {
  std::string letters;
  for (char c : Name)
    if (letters.size() < 3 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) letters += UpperCase(std::string(1, c));
  return letters;
}

std::vector<TSampleEmployee> SampleEmployees(TDice& D, int Count) {
  std::vector<TSampleEmployee> employees;
  const std::vector<std::string> depts = CodesOf('6'), classes = CodesOf('7');
  for (int i = 0; i < Count; ++i) {
    TSampleEmployee e;
    e.FirstName = FirstNames()[size_t(i) % FirstNames().size()];
    e.LastName = LastNames()[size_t(i * 7 + 3) % LastNames().size()];
    // Initials and a number while they fit in four characters.
    e.Code = i < 99 ? UpperCase(Format("%s%s%.2d", e.FirstName.substr(0, 1), e.LastName.substr(0, 1), i + 1))
                    : Format("%.4d", i + 1);
    e.Department = D.Pick(depts);
    e.Class = D.Pick(classes);
    employees.push_back(e);
  }
  return employees;
}

std::vector<TSampleClient> SampleClients(TDice& D, int Count, const std::vector<TSampleEmployee>& Employees) {
  std::vector<TSampleClient> clients;
  const std::vector<std::string> offices = CodesOf('1'), types = CodesOf('2');
  for (int i = 0; i < Count; ++i) {
    TSampleClient c;
    const bool company = i % 3 == 2;
    if (company) {
      const size_t k = size_t(i / 3);
      c.LastName = CompanyNames()[k % CompanyNames().size()];
      if (k >= CompanyNames().size()) c.LastName += " " + IntToStr(k / CompanyNames().size() + 1);
      c.SecondNameLine = D.OneIn(2) ? "Attn: " + RandomPerson(D) : "";
    } else {
      c.FirstName = D.Pick(FirstNames());
      c.LastName = D.Pick(LastNames());
    }
    c.Code = CodeLetters(c.LastName) + IntToStr(100 + i);
    c.Address1 = RandomStreet(D);
    c.Address2 = D.OneIn(4) ? "Suite " + IntToStr(100 + D.Below(400)) : "";
    const std::string& city = D.Pick(Cities);
    c.City = city.substr(0, city.find(','));
    c.StateZipCountry = city.substr(city.find(',') + 2) + " USA";
    c.Phone1 = RandomPhone(D);
    c.Phone2 = D.OneIn(3) ? RandomPhone(D) : "";
    c.Office = D.Pick(offices);
    c.CoordAtty = D.Pick(Employees).Code;
    c.ClientType1 = company ? "CO" : D.Pick(types);
    c.ClientType2 = D.OneIn(3) ? "" : D.Pick(types);
    c.BillingRate = "R" + IntToStr(1 + D.Below(4));
    c.Unnamed380 = "0";
    c.FinanceCharge = D.OneIn(2) ? "Y" : "N";
    static const std::vector<std::string> formats{"", "A01", "B02", "C03"};
    c.AltBillFormat = D.Pick(formats);
    // Hundredths: mostly positive, some zero, a few negative.
    c.DefaultThreshold = i % 10 == 4 ? 0 : i % 10 == 7 ? -(1 + D.Below(5000)) : 100 * (10 + D.Below(900));
    clients.push_back(c);
  }
  return clients;
}

// Extends one client's suffixes, all distinct, to Count; the first
// client's start "2", "12", the next three's "100".
void AddSuffixes(TDice& D, size_t ClientIndex, size_t Count, std::vector<std::string>& Suffixes, int& Serial) {
  if (Suffixes.empty() && ClientIndex == 0) Suffixes = {"2", "12", "105"};
  if (Suffixes.empty() && ClientIndex >= 1 && ClientIndex <= 3) Suffixes = {"100"};
  while (Suffixes.size() < Count) {
    ++Serial;
    const std::string s = Serial % 23 == 0   ? Format("A%d", 1 + D.Below(99))
                          : Serial % 31 == 0 ? Format("%d-B", 1 + D.Below(9))
                                             : IntToStr(1 + D.Below(D.OneIn(2) ? 9 : D.OneIn(2) ? 99 : 999));
    if (std::find(Suffixes.begin(), Suffixes.end(), s) == Suffixes.end()) Suffixes.push_back(s);
  }
}

TSampleCase SampleCase(TDice& D, const TSampleClient& Client, const std::string& Suffix, int Serial,
                       const std::vector<TSampleEmployee>& Employees) {
  TSampleCase k;
  k.Client = Client.Code;
  k.Suffix = Suffix;
  if (Serial % 6 != 5) {
    const int year = 80 + D.Below(20);
    k.AltId = Format("%d-%s-%d", year, D.Pick(CodesOf('4')), 1000 + Serial);
  }
  static const std::vector<std::string> formats{"", "", "A01", "B02", "C03"};
  k.AltBillFormat = D.Pick(formats);
  const std::string party = Client.FirstName.empty() ? Client.LastName : Client.LastName + ", " + Client.FirstName;
  k.Description = Copy(D.Pick(Matters) + " - " + party, 1, CaseFld::Description.Len);
  k.RespAtty1 = D.Pick(Employees).Code;
  k.RespAtty2 = D.OneIn(3) ? "" : D.Pick(Employees).Code;
  k.RespAtty3 = D.OneIn(2) ? "" : D.Pick(Employees).Code;
  k.Department = D.Pick(CodesOf('3'));
  k.CaseType1 = D.Pick(CodesOf('4'));
  k.CaseType2 = D.OneIn(2) ? "" : D.Pick(CodesOf('4'));
  k.CaseType3 = D.OneIn(3) ? D.Pick(CodesOf('4')) : "";
  k.Unnamed112 = "0";
  k.FinanceSwitch = D.OneIn(2) ? "Y" : "N";
  k.StatementMsg = D.OneIn(4) ? "" : D.Pick(CodesOf('5'));
  static const std::vector<std::string> cycles{"M", "Q", "A"}, statuses{"A", "H", "I"};
  k.FeeCycle = D.Pick(cycles);
  k.CostCycle = D.Pick(cycles);
  k.BillStatus1 = D.Pick(statuses);
  k.BillStatus2 = D.Pick(statuses);
  const char rate = char('1' + D.Below(4));
  k.BillRate = std::string("R") + rate;
  k.RetainerTrans = std::string(1, rate) + (D.OneIn(2) ? "T" : "W");
  k.Threshold = Serial % 9 == 3 ? 0 : 100 * (5 + D.Below(500));
  k.FeeBudget = Serial % 11 == 6 ? -(100 * (1 + D.Below(2000))) : 100 * D.Below(250000);
  if (Serial % 5 != 1) {
    const int64_t whole = 100 * D.Below(20000);
    k.CostBudget = whole + D.Below(100);
  }
  k.RetainerMin = 100 * D.Below(5000);
  if (Serial == 0) {
    k.Opened = FileDate(1980, 1, 2);
  } else {
    k.Opened = RandomDate(D, 1981, 2023);
  }
  const int openedYear = 1980 + StrToInt(k.Opened.substr(0, 2));
  k.LastPosting = RandomDate(D, openedYear, 2024);
  k.LastPayment = Serial == 1 ? FileDate(2079, 12, 31) : D.OneIn(5) ? "" : RandomDate(D, openedYear, 2024);
  k.Closed = Serial % 3 == 0 ? RandomDate(D, openedYear, 2024) : "";
  return k;
}

void AddCaseExtras(TDice& D, const TSampleCase& K, int Serial, TSampleOffice& Office) {
  if (Serial % 7 == 2) {
    Office.FeeSplits.push_back({Format("%-7s%7s", Office.Clients[size_t(Serial) % Office.Clients.size()].Code,
                                      IntToStr(1 + D.Below(99))),
                                K.Suffix, 100 * (10 + 5 * D.Below(10)), Serial % 2 ? 0 : 100 * (5 + D.Below(50))});
  }
  // One case has all twenty lines, a few have some.
  const int lines = Serial == 4 ? 20 : Serial % 5 == 0 ? 2 + D.Below(6) : 0;
  for (int line = 2; line <= lines; ++line)
    Office.CaseDescs.push_back({K.Suffix, line, Format("Line %d of the matter: %s", line, D.Pick(Matters))});
  const TSampleClient* client = nullptr;
  for (const TSampleClient& c : Office.Clients)
    if (c.Code == K.Client) client = &c;
  const auto address = [&](char Kind) {
    TSampleCaseAddr a;
    a.Kind = Kind;
    a.Client = K.Client;
    a.Suffix = K.Suffix;
    const std::string name =
        client->FirstName.empty() ? client->LastName : client->FirstName + " " + client->LastName;
    a.Lines = {name, Kind == 'S' ? client->Address1 : RandomStreet(D), client->Address2,
               client->City + ", " + client->StateZipCountry, ""};
    Office.CaseAddrs.push_back(a);
  };
  if (Serial % 3 != 2) address('S');
  if (Serial % 4 == 1) address('X');
}

std::vector<TSampleCaptions> SampleCaptions() {
  static const std::vector<std::string> titles{
      "Matter",        "Court",          "Docket number",    "Judge",         "Opposing party",
      "Opposing counsel", "Filing date",  "Trial date",       "Insurer",       "Claim number",
      "Property",      "Parcel number",  "Closing date",     "Lender",        "Title company",
      "Decedent",      "Date of death",  "Personal rep.",    "Referral",      "Notes"};
  std::vector<TSampleCaptions> all;
  for (const char* format : {"", "A01", "B02", "C03"}) {
    TSampleCaptions c;
    c.BillFormat = format;
    for (int n = 1; n <= TscFld::CaptionCount; ++n)
      c.Captions[size_t(n - 1)] = *format && n % 4 == 0 ? "" : std::string(format) + (*format ? " " : "") +
                                                                  titles[size_t(n - 1)];
    all.push_back(c);
  }
  return all;
}

// ---- records ----

void PutPacked(std::string& Rec, TFamilyField F, int64_t Units) {
  const std::string packed = PackDecimal(Units, F.Len);
  Rec.replace(size_t(F.Pos - 1), F.Len, packed);
}

std::string ClientRecord(const TSampleClient& c) {
  namespace F = ClientFld;
  std::string r = NewFamilyRecord(ClientFile);
  for (const auto& [field, text] : std::initializer_list<std::pair<TFamilyField, const std::string&>>{
           {F::Code, c.Code},           {F::FirstName, c.FirstName},
           {F::LastName, c.LastName},   {F::SecondNameLine, c.SecondNameLine},
           {F::Address1, c.Address1},   {F::Address2, c.Address2},
           {F::City, c.City},           {F::StateZipCountry, c.StateZipCountry},
           {F::Phone1, c.Phone1},       {F::Phone2, c.Phone2},
           {F::Office, c.Office},       {F::CoordAtty, c.CoordAtty},
           {F::ClientType1, c.ClientType1}, {F::ClientType2, c.ClientType2},
           {F::BillingRate, c.BillingRate}, {F::Unnamed380, c.Unnamed380},
           {F::FinanceCharge, c.FinanceCharge}, {F::AltBillFormat, c.AltBillFormat}})
    PutField(r, field, text);
  PutPacked(r, F::DefaultThreshold, c.DefaultThreshold);
  return r;
}

std::string CaseRecord(const TSampleCase& k) {
  namespace F = CaseFld;
  std::string r = NewFamilyRecord(CaseFile);
  for (const auto& [field, text] : std::initializer_list<std::pair<TFamilyField, const std::string&>>{
           {F::Client, k.Client},           {F::AltId, k.AltId},
           {F::AltBillFormat, k.AltBillFormat}, {F::Description, k.Description},
           {F::RespAtty1, k.RespAtty1},     {F::RespAtty2, k.RespAtty2},
           {F::RespAtty3, k.RespAtty3},     {F::Department, k.Department},
           {F::CaseType1, k.CaseType1},     {F::CaseType2, k.CaseType2},
           {F::CaseType3, k.CaseType3},     {F::Unnamed112, k.Unnamed112},
           {F::FinanceSwitch, k.FinanceSwitch}, {F::StatementMsg, k.StatementMsg},
           {F::FeeCycle, k.FeeCycle},       {F::CostCycle, k.CostCycle},
           {F::BillStatus1, k.BillStatus1}, {F::BillStatus2, k.BillStatus2},
           {F::BillRate, k.BillRate},       {F::RetainerTrans, k.RetainerTrans},
           {F::SuffixLeft, k.Suffix},       {F::Opened, k.Opened},
           {F::LastPosting, k.LastPosting}, {F::LastPayment, k.LastPayment},
           {F::Closed, k.Closed}})
    PutField(r, field, text);
  PutField(r, F::Suffix, Format("%7s", k.Suffix));
  PutPacked(r, F::Threshold, k.Threshold);
  PutPacked(r, F::FeeBudget, k.FeeBudget);
  PutPacked(r, F::CostBudget, k.CostBudget);
  PutPacked(r, F::RetainerMin, k.RetainerMin);
  return r;
}

std::string EmployeeRecord(const TSampleEmployee& e) {
  std::string r = NewFamilyRecord(EmployeeFile);
  PutField(r, EmpFld::Code, e.Code);
  PutField(r, EmpFld::FirstName, e.FirstName);
  PutField(r, EmpFld::LastName, e.LastName);
  PutField(r, EmpFld::Department, e.Department);
  PutField(r, EmpFld::Class, e.Class);
  return r;
}

std::string CodeRecord(const TSampleCode& c) {
  std::string r = NewFamilyRecord(CodeTableFile);
  PutField(r, CodeTableFld::Type, std::string(1, c.Type));
  PutField(r, CodeTableFld::Kind, std::string(1, c.Kind));
  PutField(r, CodeTableFld::Code, c.Code);
  PutField(r, CodeTableFld::Description, c.Description);
  return r;
}

std::string FeeSplitRecord(const TSampleFeeSplit& s) {
  std::string r = NewFamilyRecord(FeeSplitFile);
  PutField(r, FSplitFld::DummyCase, s.DummyCase);
  PutField(r, FSplitFld::Case, s.Case);
  PutPacked(r, FSplitFld::FeePct, s.FeePct);
  PutPacked(r, FSplitFld::CostPct, s.CostPct);
  return r;
}

std::string CaseDescRecord(const TSampleCaseDesc& d) {
  std::string r = NewFamilyRecord(CaseDescFile);
  PutField(r, CDescFld::Case, d.Case);
  PutField(r, CDescFld::Line, Format("%2d", d.Line));
  PutField(r, CDescFld::Text, d.Text);
  return r;
}

std::string CaseAddrRecord(const TSampleCaseAddr& a) {
  std::string r = NewFamilyRecord(CaseAddrFile);
  PutField(r, CaseAddrFld::Kind, std::string(1, a.Kind));
  PutField(r, CaseAddrFld::Client, a.Client);
  PutField(r, CaseAddrFld::Suffix, Format("%7s", a.Suffix));
  for (int n = 1; n <= CaseAddrFld::LineCount; ++n) PutField(r, CaseAddrFld::Line(n), a.Lines[size_t(n - 1)]);
  return r;
}

std::string SysopRecord(const TSampleSysop& s) {
  std::string r = NewFamilyRecord(SysOptionsFile);
  PutField(r, SysopFld::TimeIncrement, std::string(1, s.TimeIncrement));
  PutField(r, SysopFld::AltIdUpperCase, std::string(1, s.AltIdUpperCase));
  PutField(r, SysopFld::GroupCodeRule, std::string(1, s.GroupCodeRule));
  return r;
}

std::string CaptionsRecord(const TSampleCaptions& c) {
  std::string r = NewFamilyRecord(StatementCharFile);
  const std::string key = StatementCharKey(c.BillFormat);
  PutField(r, TscFld::BillFormat, key.substr(0, TscFld::BillFormat.Len));
  PutField(r, TscFld::Marker, key.substr(TscFld::BillFormat.Len));
  for (int n = 1; n <= TscFld::CaptionCount; ++n) PutField(r, TscFld::Caption(n), c.Captions[size_t(n - 1)]);
  return r;
}

template <class T>
std::vector<std::string> Encode(const std::vector<T>& Items, std::string (*Record)(const T&)) {
  std::vector<std::string> records;
  for (const T& item : Items) records.push_back(Record(item));
  return records;
}

}  // namespace

std::vector<std::string> TSampleOffice::Records(const TFamilyFile& File) const {
  if (&File == &ClientFile) return Encode(Clients, ClientRecord);
  if (&File == &CaseFile) return Encode(Cases, CaseRecord);
  if (&File == &EmployeeFile) return Encode(Employees, EmployeeRecord);
  if (&File == &CodeTableFile) return Encode(Codes, CodeRecord);
  if (&File == &FeeSplitFile) return Encode(FeeSplits, FeeSplitRecord);
  if (&File == &CaseDescFile) return Encode(CaseDescs, CaseDescRecord);
  if (&File == &CaseAddrFile) return Encode(CaseAddrs, CaseAddrRecord);
  if (&File == &SysOptionsFile) return {SysopRecord(Sysop)};
  if (&File == &StatementCharFile) return Encode(Captions, CaptionsRecord);
  return {};
}

TSampleOffice BuildSampleOffice(const TSampleOfficeSizes& Sizes) {
  TDice dice(SampleSeed);
  TSampleOffice office;
  office.Codes = SampleCodes();
  office.Employees = SampleEmployees(dice, std::max(Sizes.Employees, 1));
  office.Clients = SampleClients(dice, std::max(Sizes.Clients, 4), office.Employees);
  office.Captions = SampleCaptions();
  // Cases go round the clients, one to four at a time.
  int serial = 0, suffixSerial = 0;
  std::vector<std::vector<std::string>> suffixes(office.Clients.size());
  for (size_t c = 0; serial < Sizes.Cases; c = (c + 1) % office.Clients.size()) {
    const size_t had = suffixes[c].size();
    const int take = std::min(c < 4 ? 3 : 1 + dice.Below(4), Sizes.Cases - serial);
    AddSuffixes(dice, c, had + size_t(take), suffixes[c], suffixSerial);
    for (size_t i = had; i < had + size_t(take); ++i) {
      office.Cases.push_back(SampleCase(dice, office.Clients[c], suffixes[c][i], serial, office.Employees));
      AddCaseExtras(dice, office.Cases.back(), serial, office);
      ++serial;
    }
  }
  return office;
}

// ---- writing ----

namespace {

constexpr uint8_t FirstWriteFileNo = 240;

// The names in Folder that begin with a family file's name: the file and
// the companions the record manager keeps beside it.
std::vector<std::string> FamilyEntries(const std::string& Folder) {
  std::vector<std::string> found;
  for (const FileEntry& e : FindFiles(Folder + "/*")) {
    for (const TFamilyFile* f : FamilyFiles())
      if (AnsiSameText(Copy(e.Name, 1, f->Name.size()), f->Name)) {
        found.push_back(e.Name);
        break;
      }
  }
  return found;
}

void WriteFamilyFile(const std::string& Path, uint8_t FileNo, const TFamilyFile& File,
                     const std::vector<std::string>& Records) {
  std::string msg;
  if (!BtrCreateFile(Path, File.RecLen, int8_t(File.Keys.size()), msg, 255, true, File.Keys))
    throw EAbort("The file " + Path + " could not be created.\r\r" + msg);
  BtrOpenFile(FileNo, Path, 0);
  BtrBeginTransaction();
  try {
    for (const std::string& r : Records) BtrInsertRecord(FileNo, r.substr(4));
    BtrEndTransaction();
  } catch (...) {
    try {
      BtrAbortTransaction();
    } catch (const EAbort&) {
    }
    throw;
  }
}

// The topmost folder of Folder's path that does not exist yet; "" when all do.
std::string FirstMissingFolder(const std::string& Folder) {
  std::error_code ec;
  std::filesystem::path missing;
  for (std::filesystem::path p = std::filesystem::absolute(Folder, ec); !p.empty(); p = p.parent_path()) {
    if (std::filesystem::exists(p, ec)) break;
    missing = p;
    if (p == p.parent_path()) break;
  }
  return missing.string();
}

}  // namespace

bool WriteSampleOffice(const std::string& Folder, const TSampleOffice& Office, std::vector<TSampleFileCount>& Counts,
                       std::string& Msg) {
  Counts.clear();
  Msg.clear();
  if (Folder.empty()) {
    Msg = "No folder was given.";
    return false;
  }
  for (const TFamilyFile* f : FamilyFiles()) {
    const std::string path = Folder + "/" + std::string(f->Name);
    if (FileExists(path) || DirectoryExists(path)) {
      Msg = Folder + " already holds " + ExtractFileName(ResolvePath(path)) + "; nothing was written.";
      return false;
    }
  }
  const std::string createdFolder = FirstMissingFolder(Folder);
  if (!ForceDirectories(Folder)) {
    Msg = "The folder " + Folder + " could not be created.";
    return false;
  }
  const std::vector<std::string> before = FamilyEntries(Folder);
  try {
    uint8_t fileNo = FirstWriteFileNo;
    for (const TFamilyFile* f : FamilyFiles()) {
      const std::string path = Folder + "/" + std::string(f->Name);
      WriteFamilyFile(path, fileNo, *f, Office.Records(*f));
      Counts.push_back({std::string(f->Name), BtrRecordCount(fileNo)});
      BtrCloseFile(fileNo++);
    }
    return true;
  } catch (const Exception& e) {
    Msg = e.Message;
  } catch (const std::exception& e) {
    Msg = e.what();
  }
  for (uint8_t n = FirstWriteFileNo; n < FirstWriteFileNo + FamilyFiles().size(); ++n) {
    try {
      BtrCloseFile(n);
    } catch (const EAbort&) {
    }
  }
  Counts.clear();
  if (!createdFolder.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(createdFolder, ec);
    return false;
  }
  for (const std::string& name : FamilyEntries(Folder))
    if (std::find(before.begin(), before.end(), name) == before.end()) DeleteFile(Folder + "/" + name);
  return false;
}
