// Micro benchmarks of the tokenizer, the parser and each analysis pass, to
// see where the time of a run goes. Run build/bench/taloq_micro_benchmarks;
// nothing here is a test.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "driver/run_context.h"
#include "analysis/links.h"
#include "analysis/merge.h"
#include "analysis/numbering.h"
#include "analysis/plugs.h"
#include "analysis/prefixes.h"
#include "analysis/recursion.h"
#include "analysis/type_list.h"
#include "analysis/type_names.h"
#include "lex/char_stream.h"
#include "lex/tokenizer.h"
#include "lsp/server.h"
#include "source/parse_context.h"
#include "source/source_file.h"
#include "source/text_file.h"

namespace {

// Structures of ten fields, every third one referring to an earlier one.
std::string definition(int structures) {
  std::string text = "taloq module Bench;\n";
  for (int i = 0; i < structures; ++i) {
    text += "struct M" + std::to_string(i) + " {\n";
    for (int f = 0; f < 10; ++f) {
      if (f == 3 && i > 0) {
        text += "  M" + std::to_string(i / 2) + " ref" + std::to_string(f) + " [0..1];\n";
      } else {
        text += "  int<0.." + std::to_string(f + 9) + "> f" + std::to_string(f) + ";\n";
      }
    }
    text += "};\n";
  }
  return text;
}

const std::string& sample() {
  static const std::string text = definition(20000);
  return text;
}

void report_bytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(sample().size()));
}

void BM_Tokenize(benchmark::State& state) {
  for (auto _ : state) {
    taloq::RunContext run;
    taloq::CharStream stream(sample());
    taloq::ParseContext ctx;
    ctx.stream = &stream;
    ctx.run = &run;
    taloq::TokenText text;
    int tokens = 0;
    while (taloq::next_token(ctx, text) != taloq::TK_EOF) ++tokens;
    benchmark::DoNotOptimize(tokens);
  }
  report_bytes(state);
}
BENCHMARK(BM_Tokenize)->Unit(benchmark::kMillisecond);

// The sample as a file in the temporary directory, removed at exit.
const std::string& sample_file() {
  struct File {
    std::string path = std::filesystem::temp_directory_path() /
                       ("taloq-bench-" + std::to_string(getpid()) + ".tlq");
    File() { std::ofstream(path, std::ios::binary) << "taloq*/\n" << sample(); }
    ~File() { std::filesystem::remove(path); }
  };
  static const File file;
  return file.path;
}

// Reading a source file as the parser does: in stretches, the text passed
// over given back as it goes.
void BM_ReadSource(benchmark::State& state) {
  const std::string& path = sample_file();
  for (auto _ : state) {
    std::optional<taloq::FileText> file = taloq::open_file_text(path);
    taloq::CharStream stream(*file);
    for (std::string_view rest = stream.unread_text(); !rest.empty(); rest = stream.unread_text()) {
      benchmark::DoNotOptimize(rest.back());
      stream.skip(rest.size());
      stream.offer_release();
    }
  }
  report_bytes(state);
}
BENCHMARK(BM_ReadSource)->Unit(benchmark::kMillisecond);

void BM_Parse(benchmark::State& state) {
  for (auto _ : state) {
    taloq::RunContext run;
    std::ostringstream console;
    run.console = &console;
    taloq::load_source_text(run, "bench.tlq", sample());
    benchmark::DoNotOptimize(run.modules.data());
  }
  report_bytes(state);
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

using Pass = void (*)(taloq::RunContext&);

constexpr Pass kPasses[] = {
    [](taloq::RunContext& r) { taloq::mark_top_level(r.modules.front()->elements); },
    taloq::derive_prefixes,
    taloq::expand_plugs,
    taloq::resolve_all_links,
    taloq::merge_elements,
    [](taloq::RunContext& r) { taloq::build_type_list(r, nullptr, r.merged_elements); },
    [](taloq::RunContext& r) { taloq::mark_recursion(r.merged_elements); },
    [](taloq::RunContext& r) { taloq::number_elements(r, r.merged_elements); },
    [](taloq::RunContext& r) { taloq::construct_type_names(r, r.merged_elements); },
};

// Times pass number state.range(0), after a fresh load and the passes before it.
void BM_AnalysisPass(benchmark::State& state) {
  const auto index = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto run = std::make_unique<taloq::RunContext>();
    std::ostringstream console;
    run->console = &console;
    taloq::load_source_text(*run, "bench.tlq", sample());
    for (std::size_t i = 0; i < index; ++i) kPasses[i](*run);
    state.ResumeTiming();
    kPasses[index](*run);
    state.PauseTiming();
    run.reset();
    state.ResumeTiming();
  }
  report_bytes(state);
}
// A fixed number of iterations: the untimed set-up of each one costs far
// more than the fastest passes, which would otherwise repeat without end.
BENCHMARK(BM_AnalysisPass)
    ->ArgName("pass")
    ->DenseRange(0, static_cast<int>(std::size(kPasses)) - 1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// The language server's answer to an edit of a 1 MB document: the whole
// check (parse, analysis, the linter's rules) and the diagnostics it
// publishes, from the change to the last byte sent. The document ends with a
// reference that names nothing, so that there is a diagnostic to publish.
void BM_ServerRecheck(benchmark::State& state) {
  std::string text = definition(1);
  for (int structures = 2; text.size() < 1024 * 1024; structures *= 2) {
    text = definition(structures);
  }
  text.resize(text.rfind("};\n", 1024 * 1024) + 3);
  text += "Missing last;\n";
  std::size_t sent = 0;
  taloq::lsp::Server server([&sent](const std::string& body) { sent += body.size(); });
  auto now = taloq::lsp::Server::Clock::now();
  auto message = [&](const std::string& method, const std::string& params) {
    server.handle(R"({"jsonrpc":"2.0","method":")" + method + R"(","params":)" + params + "}", now);
  };
  server.handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})",
                now);
  const std::string document = R"({"uri":"untitled:bench.tlq","version":1,"text":")" + [&] {
    std::string escaped;
    for (const char c : text) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    return escaped;
  }() + R"("})";
  message("textDocument/didOpen", R"({"textDocument":)" + document + "}");
  // Full synchronisation: every change carries the whole text again.
  const std::string change = R"({"textDocument":{"uri":"untitled:bench.tlq","version":2},)"
                             R"("contentChanges":[)" + document + "]}";
  for (auto _ : state) {
    message("textDocument/didChange", change);
    now += std::chrono::seconds(1);  // past the quiet period
    server.run_due_checks(now);
  }
  state.counters["bytes_sent"] = static_cast<double>(sent) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ServerRecheck)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
