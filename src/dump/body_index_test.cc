#include "dump/body_index.h"

#include <gtest/gtest.h>

#include "parse/element.h"

namespace taloq {
namespace {

TEST(BodyIndex, NumbersInOrderOfFirstSight) {
  ElementStore store;
  Element& a = store.emplace_back(), &b = store.emplace_back(), &c = store.emplace_back();
  BodyIndex index;
  EXPECT_EQ(index.number_of(&b), 1);
  EXPECT_EQ(index.number_of(&a), 2);
  EXPECT_EQ(index.number_of(&b), 1);
  EXPECT_EQ(index.number_of(&c), 3);
  EXPECT_EQ(index.number_of(&a), 2);
}

TEST(BodyIndex, EachBodyIsClaimedOnce) {
  ElementStore store;
  Element& a = store.emplace_back(), &b = store.emplace_back();
  BodyIndex index;
  EXPECT_TRUE(index.claim_expansion(&a));
  EXPECT_FALSE(index.claim_expansion(&a));
  EXPECT_TRUE(index.claim_expansion(&b));
  EXPECT_FALSE(index.claim_expansion(&b));
}

TEST(BodyIndex, ClaimingDoesNotNumber) {
  ElementStore store;
  Element& a = store.emplace_back(), &b = store.emplace_back();
  BodyIndex index;
  index.claim_expansion(&a);
  EXPECT_EQ(index.number_of(&b), 1);
  EXPECT_EQ(index.number_of(&a), 2);
}

}  // namespace
}  // namespace taloq
