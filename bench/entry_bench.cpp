// The entry screen: a 50-field screen with family lookups built offscreen
// (plan, widgets, bindings, tab order) against the same widgets made bare;
// and the record codec placing and reading 10,000 records of 50 fields
// against copying the same bytes at fixed offsets; the layout of that
// screen against the same setGeometry calls at fixed places; a focus move
// through the focus model against a bare Qt focus change.
#include "bench/bench_support.h"
#include "entry/entry_layout.h"
#include "entry/qt/entry_form.h"
#include "platform/qt/focus_model.h"
#include "templates/record_codec.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Fields = 50;
constexpr int Records = 10000;

// 25 client lookups showing name, city and phone, and 25 plain fields.
void ScreenTable() {
  TTemplateTableBuilder t;
  for (int k = 1; k <= Fields; ++k) {
    if (k % 2) {
      TFld& f = t.Add("Client " + std::to_string(k), 'C', 7);
      f.IsLookup = f.Unique = f.UpperCase = true;
      f.LkpKind = "L";
      f.LkpSpec = "A  0  1  5  7";
      f.DispCols[1] = 1;
      f.DispCols[2] = 5;
      f.DispCols[3] = 7;
    } else {
      t.Add("Field " + std::to_string(k), 'C', 20);
    }
  }
}

void Screen(benchmark::State& state) {
  ScreenTable();
  TEntryF entry;
  bench::Timed(state, "entry screen", [&] {
    entry.FormShow();
    benchmark::DoNotOptimize(entry.Plan().Controls.size());
  });
}

// The same controls and labels, made with their geometry and text only.
void Bare(benchmark::State& state) {
  ScreenTable();
  TEntryF entry;
  entry.FormShow();
  const TEntryBuild plan = entry.Plan();
  QWidget box;
  bench::Timed(state, "bare widgets", [&] {
    std::vector<std::unique_ptr<QWidget>> made;
    for (const TCtlPlan& c : plan.Controls) {
      QWidget* w = c.Kind == TCtlKind::DropButton ? static_cast<QWidget*>(new QToolButton(&box))
                                                  : new QLineEdit(QString::fromLatin1(c.Text.c_str()), &box);
      w->setGeometry(c.Left, c.Top, c.Width, c.Height);
      w->show();
      made.emplace_back(w);
    }
    for (const TLabelPlan& l : plan.Labels) {
      auto* label = new QLabel(QString::fromLatin1(l.Caption.c_str()), &box);
      label->move(l.Left, l.Top);
      label->show();
      made.emplace_back(label);
    }
  });
}

class TMetricsMeasure : public TTextMeasure {
public:
  explicit TMetricsMeasure(const QFont& Font) : m_(Font) {}
  int TextWidth(const std::string& Text) const override { return m_.horizontalAdvance(QString::fromLatin1(Text.c_str())); }
  int TextHeight(const std::string& Text) const override { return m_.boundingRect(QString::fromLatin1(Text.c_str())).height(); }

private:
  QFontMetrics m_;
};

// The screen's plan before its layout, one widget per control.
struct TLayoutFixture {
  TLayoutFixture() {
    ScreenTable();
    Plan = BuildEntryModel(TMetricsMeasure(box.font()));
    for (size_t i = 0; i < Plan.Controls.size() + Plan.Labels.size(); ++i) made.emplace_back(new QLineEdit(&box));
    // Shown, as on the screen: a move of a visible widget is the real cost.
    box.resize(EntryClientWidth, 2000);
    box.show();
  }
  // Every other round one pixel lower: each call really moves its widget.
  void Apply(const TEntryBuild& B) {
    shift = 1 - shift;
    size_t i = 0;
    for (const TCtlPlan& c : B.Controls) made[i++]->setGeometry(c.Left, c.Top + shift, c.Width, c.Height);
    for (const TLabelPlan& l : B.Labels) made[i++]->setGeometry(l.Left, l.Top + shift, l.Width, 16);
  }
  int shift = 0;
  QWidget box;
  TEntryBuild Plan;
  std::vector<std::unique_ptr<QWidget>> made;
};

void Layout(benchmark::State& state) {
  TLayoutFixture fx;
  bench::Timed(state, "layout", [&] {
    TEntryBuild b = fx.Plan;
    AlignLabelColumn(b);
    PackRows(b, EntryClientWidth);
    ShiftControlsLeft(b);
    benchmark::DoNotOptimize(PlaceLookupGroups(b, EntryClientWidth).size());
    fx.Apply(b);
  });
}

// The same calls with the places the layout gave.
void FixedPlaces(benchmark::State& state) {
  TLayoutFixture fx;
  TEntryBuild b = fx.Plan;
  AlignLabelColumn(b);
  PackRows(b, EntryClientWidth);
  ShiftControlsLeft(b);
  PlaceLookupGroups(b, EntryClientWidth);
  bench::Timed(state, "fixed places", [&] { fx.Apply(b); });
}

// Two line edits in an active window, the focus going back and forth.
struct TFocusFixture {
  TFocusFixture() {
    a = new QLineEdit(&window);
    b = new QLineEdit(&window);
    b->move(0, 30);
    window.show();
    window.activateWindow();
    for (int i = 0; i < 1000 && !window.isActiveWindow(); ++i) QApplication::processEvents();
    a->setFocus();
  }
  void Move() {
    (QApplication::focusWidget() == a ? b : a)->setFocus();
  }
  QWidget window;
  QLineEdit* a = nullptr;
  QLineEdit* b = nullptr;
};

void ModelFocus(benchmark::State& state) {
  TFocusFixture fx;
  auto model = std::make_unique<TFocusModel>(&fx.window);
  int runs = 0;
  for (QWidget* w : {static_cast<QWidget*>(fx.a), static_cast<QWidget*>(fx.b)}) {
    model->BindEnter(w, [&](QWidget*) { ++runs; });
    model->BindExit(w, [&](QWidget*) { ++runs; });
  }
  bench::Timed(state, "focus model move", [&] { fx.Move(); });
  if (runs == 0) state.SkipWithError("no focus move reached the handlers");
}

void BareFocus(benchmark::State& state) {
  TFocusFixture fx;
  bench::Timed(state, "bare focus move", [&] { fx.Move(); });
}

// 40 plain fields of 10 and 10 template lookups (5 of text, 4 key bytes).
struct TCodecFixture {
  TCodecFixture() {
    TTemplateTableBuilder t;
    for (int k = 1; k <= Fields; ++k) {
      if (k % 5 == 0) {
        TFld& f = t.Add("Lookup " + std::to_string(k), 'C', 9);
        f.KeyWidth = 5;
        f.IsLookup = true;
        f.LkpKind = "M";
      } else {
        t.Add("Field " + std::to_string(k), 'C', 10);
      }
    }
    TextLen = size_t(Store.RecLen - 4) + RecordStampLength;
    for (int k = 1; k <= Fields; ++k) {
      Fld.push_back(&Store.FldTable[k]);
      Key.push_back(Store.FldTable[k].LkpKind == "M" ? std::string_view(KeyBytes) : std::string_view());
    }
    for (int r = 0; r < Records; ++r) {
      std::vector<std::string> values;
      for (int k = 1; k <= Fields; ++k) values.push_back(std::to_string((r * 31 + k) % 99991).substr(0, 5));
      Values.push_back(values);
    }
  }
  size_t TextLen = 0;
  std::vector<std::vector<std::string>> Values;
  // Each field, and the key bytes a lookup keeps behind its text.
  const std::string KeyBytes{"\x01\0\x81\x02", 4};
  std::vector<const TFld*> Fld;
  std::vector<std::string_view> Key;
};

void Codec(benchmark::State& state) {
  TCodecFixture fx;
  bench::Timed(state, "codec place and read", [&] {
    size_t total = 0;
    for (const std::vector<std::string>& values : fx.Values) {
      std::string text(fx.TextLen, ' ');
      for (size_t k = 0; k < size_t(Fields); ++k) PutFieldValue(text, *fx.Fld[k], values[k], fx.Key[k]);
      PutStamp(text, FixtureStamp);
      const std::string rec = std::string(4, '\0') + text;
      for (size_t k = 0; k < size_t(Fields); ++k) total += FieldTextOf(rec, *fx.Fld[k]).size();
    }
    benchmark::DoNotOptimize(total);
  });
}

// The same bytes copied at offsets known beforehand.
void FixedCopy(benchmark::State& state) {
  TCodecFixture fx;
  std::vector<size_t> at, width;
  for (int k = 1; k <= Fields; ++k) {
    at.push_back(size_t(Store.FldTable[k].Offset - 5));
    width.push_back(size_t(Store.FldTable[k].Width));
  }
  bench::Timed(state, "fixed copy", [&] {
    size_t total = 0;
    for (const std::vector<std::string>& values : fx.Values) {
      std::string text(fx.TextLen, ' ');
      for (size_t k = 0; k < size_t(Fields); ++k) {
        std::memcpy(text.data() + at[k], values[k].data(), values[k].size());
        if (!fx.Key[k].empty()) std::memcpy(text.data() + at[k] + 5, fx.Key[k].data(), fx.Key[k].size());
      }
      std::memcpy(text.data() + text.size() - 8, FixtureStamp.data(), 8);
      const std::string rec = std::string(4, '\0') + text;
      for (size_t k = 0; k < size_t(Fields); ++k) total += std::string_view(rec).substr(4 + at[k], width[k]).size();
    }
    benchmark::DoNotOptimize(total);
  });
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::RegisterBenchmark("entry screen", Screen)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("bare widgets", Bare)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("layout", Layout)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("fixed places", FixedPlaces)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("focus model move", ModelFocus)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("bare focus move", BareFocus)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("codec place and read", Codec)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("fixed copy", FixedCopy)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  const int status = bench::Run("entry_bench", [&] {
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-22s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-22s %12.4f\n", name.c_str(), ms);
    if (meanMs["bare widgets"] > 0)
      std::printf("entry screen/bare widgets = %.3fx\n", meanMs["entry screen"] / meanMs["bare widgets"]);
    if (meanMs["fixed places"] > 0)
      std::printf("layout/fixed places = %.3fx\n", meanMs["layout"] / meanMs["fixed places"]);
    if (meanMs["bare focus move"] > 0)
      std::printf("focus model move/bare focus move = %.3fx\n", meanMs["focus model move"] / meanMs["bare focus move"]);
    if (meanMs["fixed copy"] > 0)
      std::printf("codec place and read/fixed copy = %.3fx\n", meanMs["codec place and read"] / meanMs["fixed copy"]);
  });
  Store.Reset();
  return status;
}
