// Instance messages on the receiving side: a status "T" decoded and
// dispatched to fake screens against the bare delivery of the same text to
// a handler that only reads it; and the same message shown by a real
// offscreen entry screen against its text set into a bare status-bar panel
// and repainted.
#include "bench/bench_support.h"
#include "entry/qt/entry_form.h"
#include "mainwin/instance_dispatch.h"
#include "mainwin/mtdesk_form.h"
#include "platform/atoms.h"
#include "platform/format.h"
#include "platform/text.h"
#include "platform/window_messages.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>

#include <array>
#include <string>

namespace {

constexpr uint32_t OtherInstance = 4242;

// Two times in turn, so every message changes what is shown.
const std::array<std::string, 2>& Times() {
  static const std::array<std::string, 2> texts = {Format("%-30sT%-4s%-4s%8s", "1:02:03", "0", "0", "7"),
                                                   Format("%-30sT%-4s%-4s%8s", "1:02:04", "0", "0", "8")};
  return texts;
}

// Screens that take every call and do nothing.
class NullTarget : public TInstanceTarget {
public:
  int Panels = 0;
  bool EntryScreenOpen() const override { return true; }
  bool Terminating() const override { return false; }
  std::string TemplateName() const override { return "Billing"; }
  bool IsChildApp() const override { return false; }
  bool SingleTemplateMode() const override { return false; }
  bool OwnEntryRegistered() const override { return false; }
  bool HasChildButton(const std::string&) const override { return false; }
  bool StatusBarVisible() const override { return true; }
  bool QuickEntryExists() const override { return false; }
  bool QuickEntryVisible() const override { return false; }
  std::array<TKeyFieldRole, 3> KeyFieldRoles() const override { return {}; }
  void BringToFront() override {}
  void MinimizeAndRestore() override {}
  void FocusEntryScreen() override {}
  void MarkChildButton(const std::string&, bool) override {}
  bool AddChildButton(const std::string&) override { return false; }
  void ClearOwnEntryRegistered() override {}
  void EndChild() override {}
  void ShowStatusBar() override {}
  void SetStatusPanel(int, const std::string&) override { ++Panels; }
  void StopStopwatches() override {}
  void ShowPauseButton() override {}
  void PauseEntryStopwatch() override {}
  void PauseQuickEntry() override {}
  void OpenQuickEntry() override {}
  void SetQuickEntryRunning(bool) override {}
  void ShowQuickEntryButton() override {}
  void ShowEntryScreen() override {}
  void RestoreQuickEntry() override {}
  void QuickEntryToFront() override {}
  void ClearEntryScreen() override {}
  void FillKeyField(TKeyFieldRole, const std::string&) override {}
  void FocusSaveButton() override {}
};

template <class Handler>
void DeliverTimes(benchmark::State& state, const std::string& name, Handler handler) {
  SetInstanceMessageHandler(handler);
  size_t i = 0;
  bench::Timed(state, name, [&] { DeliverInstanceMessage(MsgStatus(), OtherInstance, Times()[++i % 2]); });
  SetInstanceMessageHandler({});
}

void Dispatched(benchmark::State& state) {
  NullTarget target;
  TInstanceDispatcher dispatcher(target, [](std::function<void()>) {});
  DeliverTimes(state, "decode and dispatch", [&](UINT Msg, WPARAM wParam, LPARAM lParam) {
    dispatcher.Deliver(Msg, wParam, GlobalGetAtomName(ATOM(lParam & 0xFFFF)));
  });
  bench::Check(target.Panels > 0, "no panel set");
}

void BareDelivery(benchmark::State& state) {
  size_t bytes = 0;
  DeliverTimes(state, "bare delivery", [&](UINT, WPARAM, LPARAM lParam) {
    bytes += GlobalGetAtomName(ATOM(lParam & 0xFFFF)).size();
  });
  benchmark::DoNotOptimize(bytes);
}

void Screen() {
  TTemplateTableBuilder t;
  t.Add("Matter", 'C', 8);
  t.Add("Hours", 'N', 6);
}

void EntryScreen(benchmark::State& state) {
  Screen();
  TMtdeskF main;
  TEntryF entry(&main);
  entry.show();
  QApplication::processEvents();
  bench::Check(main.OpenEntryScreen() == &entry, "entry screen not open");
  size_t i = 0;
  bench::Timed(state, "entry screen", [&] { DeliverInstanceMessage(MsgStatus(), OtherInstance, Times()[++i % 2]); });
  bench::Check(entry.StatusPanels[1]->text().startsWith("1:02:0"), "time not shown");
  entry.hide();
}

void BarePanel(benchmark::State& state) {
  QStatusBar bar;
  auto* panel = new QLabel(&bar);
  bar.addWidget(panel);
  bar.show();
  QApplication::processEvents();
  size_t i = 0;
  bench::Timed(state, "bare panel", [&] {
    panel->setText(QString::fromLatin1(Trim(Times()[++i % 2].substr(0, 30)).c_str()));
    bar.repaint();
  });
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::RegisterBenchmark("decode and dispatch", Dispatched)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("bare delivery", BareDelivery)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("entry screen", EntryScreen)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("bare panel", BarePanel)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  return bench::Run("dispatch_bench", [&] {
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-22s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-22s %12.6f\n", name.c_str(), ms);
    if (meanMs["bare delivery"] > 0)
      std::printf("decode and dispatch/bare delivery = %.3fx\n", meanMs["decode and dispatch"] / meanMs["bare delivery"]);
    if (meanMs["bare panel"] > 0)
      std::printf("entry screen/bare panel = %.3fx\n", meanMs["entry screen"] / meanMs["bare panel"]);
  });
}
