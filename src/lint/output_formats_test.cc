#include "lint/output_formats.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace taloq::lint {
namespace {

Finding finding(std::string file, int line, Level level, std::string message,
                std::string_view rule = {}) {
  Finding f;
  f.file = std::move(file);
  f.line = line;
  f.level = level;
  f.message = std::move(message);
  f.rule = rule;
  return f;
}

TEST(TextLine, TheThreeShapesOfTheCheckerWithTheRuleAtTheEnd) {
  EXPECT_EQ(text_line(finding("a.tlq", 3, Level::kWarning, "m", "import")),
            "a.tlq(3) : warning: m [import]");
  EXPECT_EQ(text_line(finding("a.tlq", 0, Level::kError, "m\n")), "a.tlq : error: m");
  EXPECT_EQ(text_line(finding("", 7, Level::kWarning, "m", "r")), "warning: m [r]");
}

TEST(GithubLine, PropertiesAndMessageAreEscapedAsTheRunnerReadsThem) {
  EXPECT_EQ(github_line(finding("a,b:c%.tlq", 2, Level::kWarning, "x: 100%, y\r\nz", "rule")),
            "::warning file=a%2Cb%3Ac%25.tlq,line=2,title=rule::x: 100%25, y%0D%0Az");
  EXPECT_EQ(github_line(finding("", 0, Level::kError, "Unable to open file: x\n")),
            "::error::Unable to open file: x");
  EXPECT_EQ(github_line(finding("a.tlq", 0, Level::kError, "m")), "::error file=a.tlq::m");
}

TEST(ArtifactUri, RelativeStaysRelativeAbsoluteIsAFileUri) {
  struct Case {
    const char* path;
    const char* uri;
  };
  const std::vector<Case> cases = {
      {"shop.tlq", "shop.tlq"},
      {"dir/sub-1/a_b~.tlqcfg", "dir/sub-1/a_b~.tlqcfg"},
      {"/work/a b.tlq", "file:///work/a%20b.tlq"},
      {"caf\xC3\xA9#1.tlq", "caf%C3%A9%231.tlq"},
  };
  for (const Case& c : cases) EXPECT_EQ(artifact_uri(c.path), c.uri) << c.path;
}

TEST(ReportWriter, JsonKeepsNullsForWhatIsNotKnown) {
  std::ostringstream out;
  const std::unique_ptr<ReportWriter> writer = make_report_writer(Format::kJson, out, "a.tlq");
  writer->entry(finding("", 0, Level::kError, "Unable to open file: x.tlq"));
  writer->entry(finding("a\xE9.tlq", 4, Level::kWarning, "m", "import"));
  writer->finish({true, 1, 1});
  EXPECT_EQ(out.str(),
            "[{\"file\":null,\"line\":null,\"severity\":\"error\",\"message\":\"Unable to open "
            "file: x.tlq\",\"rule\":null},{\"file\":\"a\xC3\xA9.tlq\",\"line\":4,\"severity\":"
            "\"warning\",\"message\":\"m\",\"rule\":\"import\"}]\n");
}

TEST(ReportWriter, TextRepeatsTheCheckerAndCountsOnlyARunThatEnded) {
  Finding checker = finding("a.tlq", 2, Level::kError, "x\n");
  checker.printed = "a.tlq(2) : error: x\n\n";
  for (const bool reached_end : {true, false}) {
    std::ostringstream out;
    const std::unique_ptr<ReportWriter> writer = make_report_writer(Format::kText, out, "a.tlq");
    writer->entry(checker);
    writer->entry(finding("a.tlq", 3, Level::kWarning, "y", "import"));
    writer->finish({reached_end, 1, 1});
    EXPECT_EQ(out.str(), std::string("a.tlq(2) : error: x\n\na.tlq(3) : warning: y [import]\n") +
                             (reached_end ? "1 error(s), 1 warning(s)\n" : ""));
  }
}

}  // namespace
}  // namespace taloq::lint
