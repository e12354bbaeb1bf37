#include "datetime/tests/picker_fuzz.h"

#include "datetime/picker_model.h"
#include "datetime/tests/picker_keys.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kNamedKeys[] = {"0",   "1",    "2",     "3",    "4",    "5",     "6",    "7",  "8",
                                  "9",   "Num3", "/",     "+",    "-",    "=",     "Space", "Enter", "Esc",
                                  "Del", "Bksp", "Left",  "Right", "Up",  "Down",  "Home", "End", "a",
                                  "p",   "j",    "m",     "s",    "t",    "f",     "S-Right", "S-Home", "A-Down"};

const char* const kFormats[] = {"", "dd/mm/yy hh:nn a/p", "ddd d-mmm-yyyy", "'q' m/d", "mmmm d, yyyy h:nn:ss ampm",
                                "yyyy-mm-dd"};

struct TLimits {
  TDateTime Min, Max;
};

double Frac(TDateTime value) { return JoinDateAndTime(0, value); }

class Session {
public:
  Session(std::mt19937_64& random, std::string& log) : random_(random), log_(log) {}

  void Run(int steps, TPickerFuzzCounts& counts) {
    Configure();
    for (int i = 0; i < steps; ++i) {
      const TDateTime before = model_.Value();
      Step();
      Check();
      ++counts.Steps;
      if (model_.Value() != before) ++counts.Changes;
      if (model_.Typing()) ++counts.Pending;
    }
  }

private:
  uint64_t Below(uint64_t n) { return random_() % n; }

  void Configure() {
    static const TLimits limits[] = {{0, 0},
                                     {EncodeDate(1981, 1, 1), EncodeDate(2079, 12, 31)},
                                     {EncodeDate(2030, 1, 1), 0},
                                     {0, EncodeDate(1990, 6, 30)},
                                     {EncodeDate(2024, 2, 10), EncodeDate(2024, 3, 5)},
                                     {EncodeDate(1700, 1, 1), 0}};
    static const int epochs[] = {1950, 1930, 2090, 0, 1};
    const auto type = static_cast<TdwDTEditDataType>(Below(3));
    const std::string format = kFormats[Below(std::size(kFormats))];
    const TLimits& limit = limits[Below(std::size(limits))];
    model_.SetUnboundDataType(type);
    model_.SetDisplayFormat(format);
    model_.SetDateFormat(Below(2) == 0 ? dfShort : dfLong);
    model_.Epoch = epochs[Below(std::size(epochs))];
    model_.Options = static_cast<unsigned>(Below(2));
    model_.SetMinDate(limit.Min);
    model_.SetMaxDate(limit.Max);
    model_.FirstDayOfWeek = static_cast<TdwCalDayOfWeek>(Below(8));
    if (Below(2) == 0) {
      // A start value within the limits, or none.
      const TDateTime low = model_.MinDate() != 0 ? model_.MinDate() : EncodeDate(1900, 1, 1);
      const TDateTime high = model_.MaxDate() != 0 ? model_.MaxDate() : EncodeDate(2200, 1, 1);
      const TDateTime start = low + static_cast<double>(Below(static_cast<uint64_t>(high - low) + 1)) +
                              static_cast<double>(Below(86400)) / 86400.0;
      model_.SetDate(start);
      model_.SetTime(start);
    }
    model_.FocusValue = model_.Value();
    if (Below(4) == 0) model_.OnChange = [this] { model_.GetDate(); };
    log_ = "type " + std::to_string(type) + " format '" + format + "' limits " + std::to_string(limit.Min) + "-" +
           std::to_string(limit.Max) + " epoch " + std::to_string(model_.Epoch) + " options " +
           std::to_string(model_.Options) + " start " + std::to_string(model_.Value()) + ":";
  }

  void Step() {
    const uint64_t kind = Below(20);
    try {
      if (kind == 0) {
        const int x = static_cast<int>(Below(300));
        log_ += " press@" + std::to_string(x);
        model_.MouseDown(x, [](std::string_view text) { return static_cast<int>(text.size()) * 7; });
      } else if (kind == 1) {
        log_ += " dblclick";
        model_.DoubleClick();
      } else if (kind == 2) {
        // Any code with any character.
        picker_keys::TKeyStroke stroke;
        stroke.Key.Key = static_cast<uint16_t>(Below(256));
        stroke.Key.Char = static_cast<char>(Below(256));
        stroke.Typed = Below(2) == 0 ? 0 : static_cast<char>(Below(256));
        log_ += " key" + std::to_string(stroke.Key.Key) + "/" + std::to_string(stroke.Key.Char);
        picker_keys::Press(model_, stroke);
      } else {
        const char* name = kNamedKeys[Below(std::size(kNamedKeys))];
        log_ += std::string(" ") + name;
        picker_keys::Press(model_, picker_keys::Stroke(name));
      }
    } catch (const std::exception& e) {
      Fail(std::string("raised: ") + e.what());
    }
  }

  void Check() {
    const TDateTime value = model_.Value();
    const bool timeOnly = model_.UnboundDataType() == dwDTEdtTime;
    if (!timeOnly && WholeDay(value) != 0) {
      const TDateTime low = model_.MinDate() != 0 ? WholeDay(model_.MinDate()) : 1;
      const TDateTime high = model_.MaxDate() != 0 ? WholeDay(model_.MaxDate()) : WholeDay(kMaxDateTime);
      if (WholeDay(value) < low || WholeDay(value) > high) Fail("value beyond the limits: " + std::to_string(value));
    }
    if (model_.Typing()) return;
    if (model_.Text().empty()) {
      if (timeOnly ? Frac(value) != 0 : value != 0) Fail("empty text over " + std::to_string(value));
    } else if (model_.Text() != model_.FormatValue(value)) {
      Fail("text '" + model_.Text() + "' for " + model_.FormatValue(value));
    }
  }

  [[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "picker fuzz: %s\n  after %s\n", what.c_str(), log_.c_str());
    std::abort();
  }

  std::mt19937_64& random_;
  std::string& log_;
  PickerModel model_;
};

}  // namespace

TPickerFuzzCounts RunPickerFuzz(uint64_t seed, int sessions, int stepsPerSession) {
  std::mt19937_64 random(seed);
  TPickerFuzzCounts counts;
  std::string log;
  for (int i = 0; i < sessions; ++i) Session(random, log).Run(stepsPerSession, counts);
  return counts;
}
