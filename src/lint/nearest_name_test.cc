#include "lint/nearest_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taloq::lint {
namespace {

TEST(EditDistance, CountsEditsUpToTheLimit) {
  struct Case {
    const char* a;
    const char* b;
    std::size_t distance;  // with a limit of 2: 3 means "more than 2"
  };
  const std::vector<Case> cases = {
      {"Money", "Money", 0}, {"Mony", "Money", 1},   {"Money", "Mony", 1},
      {"Ty", "T", 1},        {"quantty", "quantity", 1}, {"Prise", "Price", 1},
      {"abc", "cab", 2},     {"", "ab", 2},          {"", "abc", 3},
      {"Header", "Footer", 3}, {"short", "a much longer name", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(edit_distance(c.a, c.b, 2), c.distance) << c.a << " / " << c.b;
  }
}

TEST(NearestName, TheClosestWithinTwoEditsAndNeverTheNameItself) {
  const std::vector<std::string> names = {"Money", "Mony", "Amount", "Monkey"};
  EXPECT_EQ(nearest_name("Mony", names), "Money");  // itself is no suggestion
  EXPECT_EQ(nearest_name("Monet", names), "Money");  // the earlier of equal ones
  EXPECT_EQ(nearest_name("Amounts", names), "Amount");
  EXPECT_EQ(nearest_name("Price", names), std::nullopt);
  // Short names: one edit is a typo of "Ty", but every letter of "M".
  EXPECT_EQ(nearest_name("Ty", {"T", "R"}), "T");
  EXPECT_EQ(nearest_name("M", {"R", "ab"}), std::nullopt);
  EXPECT_EQ(did_you_mean("Amoun", names), "; did you mean Amount?");
  EXPECT_EQ(did_you_mean("Price", names), "");
}

}  // namespace
}  // namespace taloq::lint
