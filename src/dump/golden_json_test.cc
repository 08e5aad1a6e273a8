// Every expected standard output of the taloqdump golden cases is either
// empty (a run that wrote no model) or one valid JSON document that keeps
// the body rules.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dump/dump_test_support.h"

namespace taloq {
namespace {

namespace fs = std::filesystem;

fs::path golden_dir() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "tests" / "golden";
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(GoldenJson, ExpectedDocumentsAreValid) {
  int documents = 0;
  for (const auto& entry : fs::directory_iterator(golden_dir())) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || !name.starts_with("dump_")) continue;
    const std::string text = read_file(entry.path() / "stdout");
    if (text.empty()) continue;
    std::string error;
    const rapidjson::Document document = testing::parse_json(text, error);
    ASSERT_EQ(error, "") << name;
    EXPECT_TRUE(text.ends_with("}\n")) << name;
    EXPECT_EQ(testing::check_body_rules(document), "") << name;
    ++documents;
  }
  EXPECT_GE(documents, 8);
}

}  // namespace
}  // namespace taloq
