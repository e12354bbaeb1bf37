// The entry screen's side tools against the bare library doing the same
// work: a spelling walk over a description of 2,808 characters (the quick
// entry's longest) against Hunspell's own calls on the same words.
#include "bench/bench_support.h"

#include "platform/codepage.h"
#include "platform/spell_checker.h"

#include <hunspell.hxx>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const Dictionary = "/usr/share/hunspell/en_US";

// Prose of the office's kind with a misspelling now and then, 2,808
// characters.
std::string Description() {
  const std::string sentences[] = {
      "Reviewed the lease agreement and the landlord's letter of March 3rd regarding the renewel terms. ",
      "Telephone conference with the client about the settlement offer and next steps; client will call back. ",
      "Drafted a memorandum on the statute of limitations for the negligance claim and sent it for review. ",
      "Prepared the discovery requests, including interrogatories and requests for production of documents. ",
      "Attended the hearing on the motion to compel; the court granted the motion in part and denied it in part. ",
  };
  std::string text;
  for (size_t i = 0; text.size() < 2808; ++i) text += sentences[i % 5];
  text.resize(2808);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  return bench::Run("entry_tools_bench", [] {
    const auto root = bench::Root("entry_tools_bench");
    std::filesystem::create_directories(root);
    const std::string text = Description();

    std::string error;
    auto checker = TSpellChecker::Open(Dictionary, (root / "personal.dic").string(), error);
    bench::Check(checker != nullptr, error);
    Hunspell bare((std::string(Dictionary) + ".aff").c_str(), (std::string(Dictionary) + ".dic").c_str());
    std::vector<std::string> words;
    for (const auto& [at, length] : SpellWords(text)) words.push_back(Win1252ToUtf8(text.substr(at, length)));

    const char* rounds = std::getenv("MD_BENCH_ROUNDS");
    const int iterations = rounds ? std::max(1, std::atoi(rounds)) : 50;
    benchmark::RegisterBenchmark("spelling walk", [&](benchmark::State& s) {
      bench::Timed(s, "spelling walk", [&] {
        TSpellWalk walk(*checker, text);
        int misspelt = 0;
        while (walk.Next()) ++misspelt;
        benchmark::DoNotOptimize(misspelt);
      });
    })->Unit(benchmark::kMillisecond)->Iterations(iterations);
    benchmark::RegisterBenchmark("bare hunspell", [&](benchmark::State& s) {
      bench::Timed(s, "bare hunspell", [&] {
        int misspelt = 0;
        for (const std::string& w : words) misspelt += !bare.spell(w);
        benchmark::DoNotOptimize(misspelt);
      });
    })->Unit(benchmark::kMillisecond)->Iterations(iterations);
    benchmark::RunSpecifiedBenchmarks();

    const double walk = bench::MeanMs()["spelling walk"], hunspell = bench::MeanMs()["bare hunspell"];
    std::printf("\n%-28s %10s %10s %8s\n", "workload", "ours ms", "bare ms", "ratio");
    std::printf("%-28s %10.3f %10.3f %7.2fx\n", "spell-check 2,808 chars", walk, hunspell,
                hunspell > 0 ? walk / hunspell : 0);
  });
}
