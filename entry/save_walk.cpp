#include "entry/save_walk.h"

#include "btrieve/numbered_files.h"
#include "entry/dropdown_list.h"
#include "platform/text.h"
#include "templates/master_codec.h"
#include "templates/product_dates.h"
#include "templates/record_codec.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <cmath>

namespace {

constexpr double RangeTolerance = 0.005;
const std::string BlankDate(8, ' ');

std::string NameOf(const TFld& F) { return Trim(F.Name); }

TSaveRefusal Refusal(std::string Text, TMsgDlgType Type, int Slot) { return {std::move(Text), Type, Slot}; }

TSaveRefusal RequiresEntry(const TFld& F, int Slot) {
  return Refusal("The field " + NameOf(F) + " requires an entry.", mtError, Slot);
}

// A number as typed: the thousands separators the numeric exit puts in
// are no part of its value.
double NumberOf(std::string_view Text) {
  std::string digits = Trim(Text);
  std::erase(digits, ',');
  return StrToFloat(digits);
}

// Restores the lookup buffer's length and the target file's key number
// however the check ends. A key number the file already has is neither
// set nor restored: that would only ask the engine for its key count
// again, twice in every save.
class TLookupFileState {
public:
  explicit TLookupFileState(uint8_t FileNo)
      : fileNo_(FileNo), length_(Store.LkpDataRec.size()), keyNo_(BtrGetKeyNumber(FileNo)) {}
  ~TLookupFileState() {
    Store.LkpDataRec.resize(length_);
    if (!keyChanged_) return;
    try {
      BtrSetKeyNumber(fileNo_, keyNo_);
    } catch (const Exception&) {
      // The check's own outcome stands; the next read sets its key again.
    }
  }
  TLookupFileState(const TLookupFileState&) = delete;
  TLookupFileState& operator=(const TLookupFileState&) = delete;

  void UseKeyNumber(int8_t KeyNo) {
    if (KeyNo == keyNo_) return;
    keyChanged_ = true;
    BtrSetKeyNumber(fileNo_, KeyNo);
  }

private:
  uint8_t fileNo_;
  size_t length_;
  int8_t keyNo_;
  bool keyChanged_ = false;
};

class TFieldWalk {
public:
  TFieldWalk(const TSaveView& View, const std::map<int, TFieldControl>& Lookups, std::string& Text)
      : view_(View), lookups_(Lookups), text_(Text) {}

  std::optional<TSaveRefusal> Run() {
    for (int slot = 1; slot <= MaxFields && !IsBlank(Store.FldTable[slot].Name); ++slot) {
      TSlotInput in;
      if (!view_.Input(slot, in)) continue;
      if (auto refusal = Field(slot, in)) return refusal;
    }
    return std::nullopt;
  }

private:
  std::optional<TSaveRefusal> Field(int Slot, const TSlotInput& In) {
    TFld& f = Store.FldTable[Slot];
    switch (In.Kind) {
      case TCtlKind::Edit:
      case TCtlKind::Memo:
        return TextField(Slot, f, In);
      case TCtlKind::DatePicker:
        return DateField(Slot, f, In.Date);
      case TCtlKind::CheckBox:
        f.CurValue = In.Checked ? "Y" : "N";
        PutFieldValue(text_, f, f.CurValue);
        return std::nullopt;
      case TCtlKind::DocPanel:
        if (In.Text.size() > FieldTextCapacity(f)) return SizeRefusal(f, Slot);
        // What the screen's leave check compares the panel with.
        f.CurValue = In.Text;
        PutFieldValue(text_, f, In.Text);
        return std::nullopt;
      default:
        return std::nullopt;
    }
  }

  static TSaveRefusal SizeRefusal(const TFld& F, int Slot) {
    return Refusal(OverSizeText(FieldTextCapacity(F)), mtInformation, Slot);
  }

  std::optional<TSaveRefusal> TextField(int Slot, TFld& F, const TSlotInput& In) {
    F.CurValue.assign(TrimmedView(In.Text));
    if (F.Required && F.CurValue.empty()) return RequiresEntry(F, Slot);
    if (In.Text.size() > FieldTextCapacity(F)) return SizeRefusal(F, Slot);
    if (In.Kind == TCtlKind::Edit && F.FldType == 'N') {
      if (auto refusal = RangeCheck(Slot, F)) return refusal;
    }
    const TFieldForm form = FieldFormOf(F);
    // A lookup left blank names no record: blank, with no key bytes.
    if (form == TFieldForm::Plain || F.CurValue.empty()) {
      PutFieldValue(text_, F, In.Text);
      return std::nullopt;
    }
    const std::string_view chosen(reinterpret_cast<const char*>(F.ReservedBytes.data()), F.ReservedBytes.size());
    if (form == TFieldForm::KeyedWithTail) {
      const std::string tail = JustifiedText(std::string_view(F.ReservedText).substr(0, LookupTailLength),
                                             LookupTailLength, false);
      PutFieldValue(text_, F, In.Text, chosen, tail);
      return std::nullopt;
    }
    if (F.LkpKind != "M") {
      PutFieldValue(text_, F, In.Text, chosen);
      return std::nullopt;
    }
    const auto control = lookups_.find(Slot);
    if (control == lookups_.end()) throw Exception("The lookup of the field " + NameOf(F) + " is not prepared.");
    std::string key;
    if (auto refusal = TemplateLookupCheck(Slot, F, control->second, In, key)) return refusal;
    PutFieldValue(text_, F, In.Text, key);
    return std::nullopt;
  }

  static std::optional<TSaveRefusal> RangeCheck(int Slot, const TFld& F) {
    if (IsBlank(F.MinVal) || F.CurValue.empty()) return std::nullopt;
    const double value = NumberOf(F.CurValue);
    if (value - NumberOf(F.MinVal) < -RangeTolerance)
      return Refusal(NameOf(F) + " is less than the minimum value of " + F.MinVal + ".", mtError, Slot);
    if (!IsBlank(F.MaxVal) && value - NumberOf(F.MaxVal) > RangeTolerance)
      return Refusal(NameOf(F) + " is greater than the maximum value of " + F.MaxVal + ".", mtError, Slot);
    return std::nullopt;
  }

  std::optional<TSaveRefusal> DateField(int Slot, TFld& F, double Date) {
    if (Date == 0) {
      if (F.Required) return RequiresEntry(F, Slot);
      F.CurValue = BlankDate;
      PutFieldValue(text_, F, BlankDate);
      return std::nullopt;
    }
    std::string stamp;
    try {
      DateToYYYYMMDD(stamp, std::trunc(Date));
    } catch (const EConvertError&) {
      return Refusal("Invalid date.  Unable to save this record.", mtError, 0);
    }
    F.CurValue = stamp;
    PutFieldValue(text_, F, stamp);
    return std::nullopt;
  }

  // The record the field's key bytes name, read into Store.LkpDataRec, and
  // its display rows compared; Key the record's own 4 key bytes.
  static std::optional<TSaveRefusal> TemplateLookupCheck(int Slot, const TFld& F, const TFieldControl& C,
                                                        const TSlotInput& In, std::string& Key) {
    const auto fileNo = uint8_t(C.DataFileNo);
    TLookupFileState state(fileNo);
    if (C.RecLen > 0 && Store.LkpDataRec.size() != size_t(C.RecLen)) Store.LkpDataRec.resize(size_t(C.RecLen));
    state.UseKeyNumber(0);
    const std::string stored(reinterpret_cast<const char*>(F.ReservedBytes.data()), F.ReservedBytes.size());
    if (!BtrGetEqual(fileNo, stored, Store.LkpDataRec, false)) {
      return Refusal("Unable to validate a manager loookup reference  (" + Trim(In.Text) + ")." + "\r\r" +
                         "This record cannot be saved at this time." + ContactMsg,
                     mtError, Slot);
    }
    for (size_t k = 0; k < C.DispCols.size() && C.DispCols[k].FldId >= 1; ++k) {
      const std::string shown = k < In.Displays.size() ? TrimRight(In.Displays[k]) : std::string();
      if (TrimRight(TargetCellText(C.DispCols[k], Store.LkpDataRec)) == shown) continue;
      return Refusal("The program was unable to authenticate the value " + In.Text + " as a valid lookup in " +
                         ListedTemplateName(TTemplateNumber(C.TargetNo)) + "." + "\r\r" +
                         "Re-enter the value and attempt to save this record again." + "\r\r" +
                         "If the problem persists, contact Ondral, Inc. for assistance.",
                     mtError, Slot);
    }
    Key.assign(reinterpret_cast<const char*>(Store.LkpDataRec.data()), LookupKeyLength);
    return std::nullopt;
  }

  const TSaveView& view_;
  const std::map<int, TFieldControl>& lookups_;
  std::string& text_;
};

}  // namespace

std::string OverSizeText(size_t Fits) {
  return "You have exceeded the maximum size for this field!  (" + IntToStr(int(Fits)) + " characters)";
}

std::optional<TSaveRefusal> WalkFields(const TSaveView& View, const std::map<int, TFieldControl>& Lookups,
                                       std::string& Text) {
  return TFieldWalk(View, Lookups, Text).Run();
}
