// Which switches the command line takes (data/command_lines.tsv). How a run
// from it ends is tested with the cleaners, in cleaner_test.cpp.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "tools/table.h"

namespace quellnet::app {
namespace {

using tools::Wide;

// A table's arguments, blank-separated; "(none)", or "(empty)" for one empty argument.
std::vector<std::wstring> Words(const std::string& line) {
  std::vector<std::wstring> words(line == "(empty)" ? 1 : 0);
  std::istringstream in(line == "(none)" || line == "(empty)" ? "" : line);
  for (std::string word; in >> word;) {
    words.push_back(Wide(word));
  }
  return words;
}

TEST(CommandLineTest, TakesOneSwitchInAnyLetterCaseAfterASlashOrADash) {
  const std::map<std::string, Command> commands = {{"window", Command::kOpenWindow},
                                                   {"cache", Command::kClearCache},
                                                   {"cookies", Command::kClearCookies},
                                                   {"usage", Command::kShowUsage},
                                                   {"not understood", Command::kNotUnderstood}};
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/command_lines.tsv")) {
    const std::vector<std::wstring> words = Words(row[0]);
    EXPECT_EQ(ReadCommandLine({words.begin(), words.end()}), commands.at(row[1])) << row[0];
  }
}

}  // namespace
}  // namespace quellnet::app
