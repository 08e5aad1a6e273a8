// The run sequence as a back end sees it, the diagnostic shapes back ends
// print through, and the record store. What the programs print for their
// arguments is in the golden cases (tests/golden/driver_*, dump_*).

#include <gtest/gtest.h>
#include <malloc.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "driver/checker.h"
#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "driver/stable_store.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;

// Arguments after the program name (@ stands for the scratch folder), the
// main source the run records for back ends, and what the back end is given
// ("-": none, or not called).
struct Call {
  std::vector<std::string> args;
  int status;
  std::size_t modules;
  std::string main_source;
  std::string back_end;
};

TEST(Driver, WhatTheBackEndIsGiven) {
  const testing::TempDir dir;
  dir.write("m.tlq", "int<0..1> a;");
  dir.write("l.tlq", "module L; int<0..1> b;");
  dir.write("bad.tlq", "int x;");
  dir.write("p.tlqprj", dir.path("m.tlq") + "\n" + dir.path("l.tlq") + "\n");
  dir.write("none.tlqprj", "# nothing\n");
  const std::vector<Call> calls = {
      {{"-v", "-", "@/m.tlq"}, 0, 1, "@/m.tlq", ""},
      {{"@/m.tlq", "+x", "@/l.tlq", "other", "+"}, 0, 2, "@/m.tlq", "other +"},
      {{"@/m.tlq", "second.tlq"}, 0, 1, "@/m.tlq", "second.tlq"},
      {{"@/m.tlq", "+"}, 0, 1, "@/m.tlq", "+"},
      {{"@/bad.tlq", "+", "@/l.tlq"}, 1, 2, "@/bad.tlq", "-"},
      {{"@/p.tlqprj", "extra"}, 0, 2, "@/p.tlqprj", "@/p.tlqprj extra"},
      {{"@/none.tlqprj"}, 0, 0, "-", "-"},
      {{"-x", "-?", "@/m.tlq"}, 0, 0, "-", "-"},
      {{"-v"}, 1, 0, "-", "-"},
  };
  const auto expand = [&](std::string text) {
    for (std::size_t at = text.find("@/"); at != std::string::npos; at = text.find("@/")) {
      text.replace(at, 2, dir.path(""));
    }
    return text;
  };
  for (const Call& call : calls) {
    std::vector<std::string> args;
    std::string label;
    for (const std::string& arg : call.args) {
      args.push_back(expand(arg));
      label += arg + " ";
    }
    std::string given = "-";
    Program program{false, [&](RunContext&, std::span<const std::string> rest) {
                      given.clear();
                      for (const std::string& arg : rest) given += (given.empty() ? "" : " ") + arg;
                    }};
    CapturedRun captured;
    EXPECT_EQ(run_program(captured.run, args, program), call.status) << label;
    EXPECT_EQ(captured.run.modules.size(), call.modules) << label;
    EXPECT_EQ(captured.run.main_source.value_or("-"), expand(call.main_source)) << label;
    EXPECT_EQ(given, expand(call.back_end)) << label;
  }
}

TEST(Driver, DiagnosticShapesAndCounts) {
  CapturedRun captured;
  report_at(captured.run, "lib1.tlq", 12, SEV_ERROR, "Illegal module name: %s", "9x");
  report_at(captured.run, "lib1.tlq", 0, SEV_ERROR, "no line");
  report_at(captured.run, "", 7, SEV_ERROR, "no file");
  report(captured.run, SEV_WARNING, "plain %d", 3);
  report(captured.run, 7, "any other severity");
  report(captured.run, SEV_ERROR, "Text\n");
  EXPECT_EQ(captured.text(),
            "lib1.tlq(12) : error: Illegal module name: 9x\n"
            "lib1.tlq : error: no line\n"
            "error: no file\n"
            "warning: plain 3\n"
            "warning: any other severity\n"
            "error: Text\n\n");
  EXPECT_EQ(captured.run.errors, 4);
  EXPECT_EQ(captured.run.warnings, 2);
  EXPECT_THROW(report_out_of_memory(captured.run), FatalStop);
  EXPECT_TRUE(captured.text().ends_with("\nFATAL error: Unable to allocate memory\n"));
  EXPECT_EQ(captured.run.errors, 4);
}

// Counts the records alive, to see that each is destroyed exactly once.
struct Counted {
  Counted(int v, int* alive, bool fail = false) : value(v), alive_(alive) {
    if (fail) throw std::runtime_error("refused");
    ++*alive_;
  }
  Counted(const Counted&) = delete;
  ~Counted() { --*alive_; }
  int value;
  std::string padding = std::string(40, 'p');  // a destructor with work to do

 private:
  int* alive_;
};

template <class Store>
void expect_stable_addresses_and_order() {
  Store store;
  std::vector<int*> made;
  const int count = 3 * static_cast<int>(Store::kBlockRecords) + 5;
  for (int i = 0; i < count; ++i) made.push_back(&store.emplace_back(i));
  ASSERT_EQ(store.size(), static_cast<std::size_t>(count));
  int expected = 0;
  for (const int& value : store) {
    EXPECT_EQ(&value, made[static_cast<std::size_t>(expected)]);
    EXPECT_EQ(value, expected++);
  }
  EXPECT_EQ(expected, count);
  store.clear();
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(store.begin(), store.end());
}

TEST(Driver, StableStoreKeepsAddressesAndDestroysEachRecordOnce) {
  expect_stable_addresses_and_order<StableStore<int>>();
  expect_stable_addresses_and_order<StableStore<int, 2 * 1024 * 1024>>();  // huge-page blocks
  int alive = 0;
  {
    StableStore<Counted> store;
    for (int i = 0; i < 2000; ++i) store.emplace_back(i, &alive);
    EXPECT_THROW(store.emplace_back(-1, &alive, true), std::runtime_error);
    EXPECT_EQ(store.size(), 2000u);
    store.pop_back();
    EXPECT_EQ(alive, 1999);
    EXPECT_EQ(store.emplace_back(7, &alive).value, 7);  // in the room of the popped one
    EXPECT_EQ(store[1999].value, 7);
    StableStore<Counted> moved = std::move(store);
    EXPECT_TRUE(store.empty());  // NOLINT: a moved-from store is empty
    EXPECT_EQ(moved.size(), 2000u);
    EXPECT_EQ(alive, 2000);
  }
  EXPECT_EQ(alive, 0);
}

// Every block holds at least what was asked for (the allocator's slack can
// hide a short block; the sanitizer build reports the exact size); from half
// a huge page on, blocks start on a huge page so that the system can back
// them with one.
TEST(Driver, BlocksHoldTheirSizeAndLargeOnesAlignToHugePages) {
  constexpr std::size_t kHuge = 2 * 1024 * 1024;
  const std::size_t sizes[] = {1, kHuge / 2 - 1, kHuge / 2, kHuge, kHuge + 1, 3 * kHuge - 1};
  for (const std::size_t bytes : sizes) {
    void* block = allocate_block(bytes);
    EXPECT_GE(malloc_usable_size(block), bytes) << bytes;
    if (bytes >= kHuge / 2) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kHuge, 0u) << bytes;
    }
    free_block(block);
  }
}

}  // namespace
}  // namespace taloq
