// The save's process killed (SIGKILL) before and after every file step, at
// every flush to disk and at random moments, then the start-up recovery:
// the template is wholly the old generation or wholly the new one, with
// every record and its prefix, nothing left beside it, its lock free. Then
// the recovery itself killed at each of its steps, and run again.
#include "templates/save_lock.h"
#include "templates/template_recovery.h"
#include "templates/tests/save/save_fixture.h"
#include "testing/piped_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <thread>

namespace {

// How many saves run side by side, each in a folder of its own.
constexpr size_t Parallel = 6;

enum class TOutcome { Old, New };

class SaveKillTest : public SaveScenarioTest {
protected:
  // A child in a fresh copy of the scenario, the change prepared.
  struct TRun {
    std::unique_ptr<ScopedTempDir> Folder = std::make_unique<ScopedTempDir>();
    std::unique_ptr<PipedProcess> Child;
    std::string Label;
  };

  // Children in fresh copies of the scenario, started side by side, each
  // with the change prepared and its arm command taken.
  static std::vector<TRun> StartAll(const std::vector<std::pair<std::string, std::string>>& arms) {
    std::vector<TRun> runs(arms.size());
    for (size_t k = 0; k < arms.size(); ++k) {
      runs[k].Label = arms[k].first;
      CopyPristine(runs[k].Folder->path());
      runs[k].Child =
          std::make_unique<PipedProcess>(SAVE_PEER_PATH, std::vector<std::string>{runs[k].Folder->path().string()});
      runs[k].Child->Send("modify");
    }
    for (size_t k = 0; k < arms.size(); ++k) {
      EXPECT_EQ(runs[k].Child->Receive(), "ok") << runs[k].Label;
      if (!arms[k].second.empty()) {
        EXPECT_EQ(runs[k].Child->Ask(arms[k].second), "ok") << runs[k].Label;
      }
    }
    return runs;
  }

  static TRun Start(const std::string& label, const std::string& arm) {
    return std::move(StartAll({{label, arm}}).front());
  }

  // Start-up recovery after the child died, and the checks; the outcome.
  static TOutcome Recovered(const std::filesystem::path& folder, const std::string& label) {
    SCOPED_TRACE(label);
    Use(folder);
    {
      RecordedDialogs boxes;
      RecoverTemplatesAtStartup(Store.DataDir);
      EXPECT_EQ(boxes.Texts, std::vector<std::string>{});
    }
    EXPECT_TRUE(TryAcquireSaveLock(Store.DataDir, ScenarioTpl, TSaveLockMode::Exclusive).Held());
    const TFolderSnapshot after = Snapshot(folder);
    EXPECT_TRUE(after == Old || after == New) << ::testing::PrintToString(after);
    return after == New ? TOutcome::New : TOutcome::Old;
  }

  // Runs the armed saves Parallel at a time; each must die by SIGKILL. The
  // outcome of each, in order.
  std::vector<TOutcome> KilledSaves(const std::vector<std::pair<std::string, std::string>>& arms) {
    std::vector<TOutcome> outcomes;
    for (size_t first = 0; first < arms.size(); first += Parallel) {
      std::vector<TRun> runs = StartAll(std::vector<std::pair<std::string, std::string>>(
          arms.begin() + std::ptrdiff_t(first), arms.begin() + std::ptrdiff_t(std::min(arms.size(), first + Parallel))));
      for (TRun& run : runs) run.Child->Send("save");
      for (TRun& run : runs) {
        EXPECT_EQ(run.Child->Receive(), "") << run.Label;
        EXPECT_TRUE(run.Child->EndedByKill()) << run.Label;
      }
      for (TRun& run : runs) outcomes.push_back(Recovered(run.Folder->path(), run.Label));
    }
    return outcomes;
  }

  // The folder a save killed at Arm leaves, with its unfinished journals.
  static std::unique_ptr<ScopedTempDir> KilledFolder(const std::string& arm) {
    TRun run = Start(arm, arm);
    EXPECT_EQ(run.Child->Ask("save"), "");
    EXPECT_TRUE(run.Child->EndedByKill());
    return std::move(run.Folder);
  }
};

// A kill after step N leaves what a kill before step N + 1 does (nothing
// touches a file between two steps), so a kill before every step and one
// after the last reach every state a kill between steps can leave.
TEST_F(SaveKillTest, KilledBeforeAndAfterEveryStepThenTheRecoveryKilledAtEachOfItsSteps) {
  ASSERT_GE(Steps, 20u);
  std::vector<std::pair<std::string, std::string>> arms;
  for (uint64_t step = 1; step <= Steps; ++step) {
    const std::string arm = "arm " + std::to_string(step) + " kill-before";
    arms.emplace_back(arm, arm);
  }
  const std::string last = "arm " + std::to_string(Steps) + " kill-after";
  arms.emplace_back(last, last);
  const std::vector<TOutcome> outcomes = KilledSaves(arms);
  // Old up to the commit, new from it on: one switch, never back.
  const auto firstNew = std::find(outcomes.begin(), outcomes.end(), TOutcome::New);
  ASSERT_NE(firstNew, outcomes.begin());
  ASSERT_NE(firstNew, outcomes.end());
  EXPECT_TRUE(std::all_of(firstNew, outcomes.end(), [](TOutcome o) { return o == TOutcome::New; }));

  // The commit is the step before which a kill still leaves the old
  // generation: killed just before it and just after it, then the
  // recovery killed before each of its own steps and after its last.
  const uint64_t commit = uint64_t(firstNew - outcomes.begin());
  for (const std::string when : {"kill-before", "kill-after"}) {
    const auto killed = KilledFolder("arm " + std::to_string(commit) + " " + when);
    const TOutcome expected = when == "kill-before" ? TOutcome::Old : TOutcome::New;
    const auto copy = [&](const std::filesystem::path& to) {
      for (const auto& e : std::filesystem::directory_iterator(killed->path())) {
        const std::string name = e.path().filename().string();
        if (!name.ends_with(".lck") && !name.ends_with(".LCK")) std::filesystem::copy_file(e.path(), to / name);
      }
    };
    // The recovery's own steps, counted on a copy.
    uint64_t steps = 0;
    {
      ScopedTempDir probe;
      copy(probe.path());
      ResetBtrLayer();
      Use(probe.path());
      DisarmFaultPoint();
      RecoverTemplatesAtStartup(Store.DataDir);
      steps = FaultStepCount();
      ResetBtrLayer();
      EXPECT_EQ(Snapshot(probe.path()) == New, expected == TOutcome::New);
    }
    ASSERT_GT(steps, 3u);
    for (uint64_t first = 1; first <= steps + 1; first += Parallel) {
      std::vector<std::pair<std::unique_ptr<ScopedTempDir>, std::unique_ptr<PipedProcess>>> runs;
      for (uint64_t step = first; step < first + Parallel && step <= steps + 1; ++step) {
        auto folder = std::make_unique<ScopedTempDir>();
        copy(folder->path());
        auto child = std::make_unique<PipedProcess>(SAVE_PEER_PATH, std::vector<std::string>{folder->path().string()});
        const std::string arm = step <= steps ? "arm " + std::to_string(step) + " kill-before"
                                              : "arm " + std::to_string(steps) + " kill-after";
        EXPECT_EQ(child->Ask(arm), "ok");
        child->Send("recover");
        runs.emplace_back(std::move(folder), std::move(child));
      }
      for (auto& [folder, child] : runs) {
        const std::string label = "save " + when + " commit, recovery killed in " + folder->path().string();
        EXPECT_EQ(child->Receive(), "") << label;
        EXPECT_TRUE(child->EndedByKill()) << label;
        EXPECT_EQ(Recovered(folder->path(), label), expected) << label;
      }
    }
  }
}

TEST_F(SaveKillTest, KilledAtEveryFlushToDiskIncludingTheCommit) {
  TRun clean = Start("clean", "kill-at-sync 0");
  ASSERT_EQ(clean.Child->Ask("save"), "saved");
  const int flushes = std::stoi(clean.Child->Ask("syncs"));
  clean.Child->End();
  ASSERT_GT(flushes, 0);
  std::cout << "a clean save flushes " << flushes << " times" << std::endl;
  std::vector<std::pair<std::string, std::string>> arms;
  for (int n = 1; n <= flushes; ++n) {
    const std::string arm = "kill-at-sync " + std::to_string(n);
    arms.emplace_back(arm, arm);
  }
  const std::vector<TOutcome> outcomes = KilledSaves(arms);
  EXPECT_EQ(outcomes.front(), TOutcome::Old);
  EXPECT_EQ(outcomes.back(), TOutcome::New);
}

TEST_F(SaveKillTest, KilledAtSeededRandomMomentsOfTheSave) {
  const char* given = std::getenv("SAVE_KILL_SEED");
  const unsigned seed = given ? unsigned(std::strtoul(given, nullptr, 10)) : std::random_device{}();
  std::cout << "SAVE_KILL_SEED=" << seed << std::endl;
  RecordProperty("seed", int(seed));
  // A clean save's duration bounds the moments.
  TRun clean = Start("clean", "");
  const auto begun = std::chrono::steady_clock::now();
  ASSERT_EQ(clean.Child->Ask("save"), "saved");
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begun);
  clean.Child->End();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int64_t> moment(0, took.count());
  for (int k = 0; k < 6; ++k) {
    const int64_t at = moment(random);
    TRun run = Start("killed " + std::to_string(at) + " us into the save (seed " + std::to_string(seed) + ")", "");
    run.Child->Send("save");
    std::this_thread::sleep_for(std::chrono::microseconds(at));
    run.Child->Kill();
    Recovered(run.Folder->path(), run.Label);
  }
}

// A new template's first save, killed at every flush and at seeded random
// moments, then a start in a process of its own (nothing has loaded the
// record manager there yet): the template is wholly there or has left no
// trace, not even a hidden file, and the next new template takes its
// number again.
TEST_F(SaveKillTest, ANewTemplatesSaveKilledLeavesItWholeOrNoTraceAndItsNumberFree) {
  const auto startNew = [](const std::string& label, const std::filesystem::path& folder, const std::string& arm) {
    auto child = std::make_unique<PipedProcess>(SAVE_PEER_PATH, std::vector<std::string>{folder.string()});
    EXPECT_EQ(child->Ask("new"), "ok") << label;
    if (!arm.empty()) {
      EXPECT_EQ(child->Ask(arm), "ok") << label;
    }
    return child;
  };
  const auto names = [](const std::filesystem::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      const std::string name = e.path().filename().string();
      if (!name.ends_with(".lck") && !name.ends_with(".LCK")) out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  const std::string newDsc = "MNGR001.DSC", newData = "MGRDT001.QMD";
  ASSERT_EQ(NewTemplateTpl, 1);

  // The clean save: what it leaves, its flushes and how long it takes.
  ScopedTempDir cleanFolder;
  CopyPristine(cleanFolder.path());
  auto clean = startNew("clean", cleanFolder.path(), "kill-at-sync 0");
  const auto begun = std::chrono::steady_clock::now();
  ASSERT_EQ(clean->Ask("save-new"), "saved");
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begun);
  const int flushes = std::stoi(clean->Ask("syncs"));
  clean->End();
  ASSERT_GT(flushes, 0);
  const std::vector<std::string> whole = names(cleanFolder.path());
  ASSERT_EQ(std::count(whole.begin(), whole.end(), newDsc), 1);
  const std::string wholeDsc = DumpThroughEngine((cleanFolder.path() / newDsc).string());
  const std::string wholeData = DumpThroughEngine((cleanFolder.path() / newData).string());
  ResetBtrLayer();

  const auto startAndCheck = [&](const std::filesystem::path& folder, const std::string& label) {
    SCOPED_TRACE(label);
    {
      PipedProcess start(SAVE_PEER_PATH, {folder.string()});
      EXPECT_EQ(start.Ask("recover"), "ok");
      start.End();
    }
    // Opened before the listing: opening settles what a killed writer left
    // beside a file, as any reader's open does.
    const bool saved = std::filesystem::exists(folder / newDsc);
    if (saved) {
      EXPECT_EQ(DumpThroughEngine((folder / newDsc).string()), wholeDsc);
      EXPECT_EQ(DumpThroughEngine((folder / newData).string()), wholeData);
    }
    const std::vector<std::string> after = names(folder);
    if (saved) {
      EXPECT_EQ(after, whole);
    } else {
      EXPECT_EQ(after, Old.Names);
      EXPECT_EQ(Snapshot(folder), Old);
      auto again = startNew(label + ", saved again", folder, "");
      EXPECT_EQ(again->Ask("save-new"), "saved");
      again->End();
      EXPECT_EQ(names(folder), whole);
    }
    ResetBtrLayer();
  };

  for (int n = 1; n <= flushes; ++n) {
    const std::string label = "new template killed at flush " + std::to_string(n);
    ScopedTempDir folder;
    CopyPristine(folder.path());
    auto child = startNew(label, folder.path(), "kill-at-sync " + std::to_string(n));
    EXPECT_EQ(child->Ask("save-new"), "") << label;
    EXPECT_TRUE(child->EndedByKill()) << label;
    startAndCheck(folder.path(), label);
  }

  const char* given = std::getenv("SAVE_KILL_SEED");
  const unsigned seed = given ? unsigned(std::strtoul(given, nullptr, 10)) : std::random_device{}();
  std::cout << "SAVE_KILL_SEED=" << seed << std::endl;
  RecordProperty("new_template_seed", int(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int64_t> moment(0, took.count());
  for (int k = 0; k < 6; ++k) {
    const int64_t at = moment(random);
    const std::string label =
        "new template killed " + std::to_string(at) + " us into the save (seed " + std::to_string(seed) + ")";
    ScopedTempDir folder;
    CopyPristine(folder.path());
    auto child = startNew(label, folder.path(), "");
    child->Send("save-new");
    std::this_thread::sleep_for(std::chrono::microseconds(at));
    child->Kill();
    startAndCheck(folder.path(), label);
  }
}

}  // namespace
