#include "analysis/name_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taloq {
namespace {

TEST(NameTable, TheFirstValueOfANameIsKept) {
  NameTable<int> table;
  EXPECT_EQ(table.find("a"), nullptr);
  EXPECT_TRUE(table.insert("a", 1));
  EXPECT_FALSE(table.insert("a", 2));
  EXPECT_TRUE(table.insert("", 3));
  ASSERT_NE(table.find("a"), nullptr);
  EXPECT_EQ(*table.find("a"), 1);
  ASSERT_NE(table.find(""), nullptr);
  EXPECT_EQ(*table.find(""), 3);
  EXPECT_EQ(table.find("A"), nullptr);
  EXPECT_EQ(table.find("ab"), nullptr);
  EXPECT_EQ(table.size(), 2u);
}

TEST(NameTable, EveryNameIsFoundAcrossGrowth) {
  // Sized up front or grown on the way, with prefixes of one another among
  // the names: every name keeps its own value.
  for (const bool reserved : {false, true}) {
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) names.push_back("Msg" + std::to_string(i));
    NameTable<int> table;
    if (reserved) table.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      ASSERT_TRUE(table.insert(names[i], static_cast<int>(i)));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
      const int* found = table.find(names[i]);
      ASSERT_NE(found, nullptr) << names[i];
      EXPECT_EQ(*found, static_cast<int>(i));
    }
    EXPECT_EQ(table.find("Msg5000"), nullptr);
    EXPECT_EQ(table.find("Msg"), nullptr);
    EXPECT_EQ(table.size(), names.size());
  }
}

}  // namespace
}  // namespace taloq
