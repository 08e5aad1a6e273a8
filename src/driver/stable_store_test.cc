#include "driver/stable_store.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace taloq {
namespace {

// Counts the records alive, to see that each is destroyed exactly once.
struct Counted {
  explicit Counted(int v, int* alive, bool fail = false) : value(v), alive_(alive) {
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
void check_addresses_and_order() {
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

TEST(StableStore, RecordsKeepTheirAddressAndOrder) {
  check_addresses_and_order<StableStore<int>>();
  // Blocks of a huge page take the aligned path.
  check_addresses_and_order<StableStore<int, 2 * 1024 * 1024>>();
}

TEST(StableStore, DestroysEachRecordOnceAndSurvivesAFailedConstruction) {
  int alive = 0;
  {
    StableStore<Counted> store;
    for (int i = 0; i < 2000; ++i) store.emplace_back(i, &alive);
    EXPECT_THROW(store.emplace_back(-1, &alive, true), std::runtime_error);
    EXPECT_EQ(store.size(), 2000u);
    store.pop_back();
    EXPECT_EQ(alive, 1999);
    // The room of the popped record is used again.
    EXPECT_EQ(store.emplace_back(7, &alive).value, 7);
    EXPECT_EQ(store[1999].value, 7);
    StableStore<Counted> moved = std::move(store);
    EXPECT_TRUE(store.empty());  // NOLINT: a moved-from store is empty
    EXPECT_EQ(moved.size(), 2000u);
    EXPECT_EQ(alive, 2000);
  }
  EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace taloq
