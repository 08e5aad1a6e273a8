#include "backend_utils/name_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/diagnostics.h"
#include "test_support.h"

namespace taloq {
namespace {

TEST(NameValue, KeepsInsertionOrder) {
  testing::CapturedRun captured;
  NameValueList list;
  EXPECT_EQ(append_name_value(captured.run, list, "first", 1, 0), 1);
  EXPECT_EQ(append_name_value(captured.run, list, "second", -2, 1), 1);
  EXPECT_EQ(append_name_value(captured.run, list, "third", 3, 0), 1);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_STREQ(list[0].text, "first");
  EXPECT_EQ(list[0].value, 1);
  EXPECT_STREQ(list[1].text, "second");
  EXPECT_EQ(list[1].value, -2);
  EXPECT_STREQ(list[2].text, "third");
  EXPECT_EQ(list[2].value, 3);
  EXPECT_EQ(captured.text(), "");
}

TEST(NameValue, WithoutCopyKeepsTheCallersText) {
  testing::CapturedRun captured;
  NameValueList list;
  char text[] = "name";
  append_name_value(captured.run, list, text, 5, 0);
  EXPECT_EQ(list[0].text, text);
  text[0] = 'N';
  EXPECT_STREQ(list[0].text, "Name");
}

TEST(NameValue, CopyIsTheEntrysOwn) {
  testing::CapturedRun captured;
  NameValueList list;
  char text[] = "name";
  append_name_value(captured.run, list, text, 5, 1);
  EXPECT_NE(list[0].text, text);
  text[0] = 'N';
  EXPECT_STREQ(list[0].text, "name");
}

TEST(NameValue, CopiesStayPutWhileTheListGrows) {
  testing::CapturedRun captured;
  NameValueList list;
  append_name_value(captured.run, list, "kept", 0, 1);
  const char* first = list[0].text;
  for (int i = 0; i < 1000; ++i) {
    append_name_value(captured.run, list, std::to_string(i).c_str(), i, 1);
  }
  EXPECT_EQ(list[0].text, first);
  EXPECT_STREQ(list[0].text, "kept");
  EXPECT_STREQ(list[1000].text, "999");
}

TEST(NameValue, NullTextIsTheFatalAllocationFailure) {
  testing::CapturedRun captured;
  NameValueList list;
  EXPECT_THROW(append_name_value(captured.run, list, nullptr, 1, 1), FatalStop);
  EXPECT_EQ(captured.text(), "FATAL error: Unable to allocate memory\n");
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace taloq
