// The rules by which the program reads the texts it is given, each against
// a table in data/: the command line's switches, a stored option, the
// adapters' addresses, its own path, and the browser's folders.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/local_address.h"
#include "app/option_text.h"
#include "cleaners/browser_folders.h"
#include "platform/path_text.h"
#include "tools/table.h"

namespace quellnet {
namespace {

using tools::TableFile;
using tools::TableRow;
using tools::Wide;

// One switch, in any letter case, after a slash or a dash. A table's
// arguments are blank-separated; "(none)", or "(empty)" for one empty one.
TEST(CommandLine, TakesOneSwitchInAnyLetterCaseAfterASlashOrADash) {
  using app::Command;
  const std::map<std::string, Command> commands = {{"window", Command::kOpenWindow},
                                                   {"cache", Command::kClearCache},
                                                   {"cookies", Command::kClearCookies},
                                                   {"usage", Command::kShowUsage},
                                                   {"not understood", Command::kNotUnderstood}};
  for (const TableRow& row : TableFile(QUELLNET_UNIT_DATA "/command_lines.tsv")) {
    std::vector<std::wstring> words(row[0] == "(empty)" ? 1 : 0);
    std::istringstream in(row[0] == "(none)" || row[0] == "(empty)" ? "" : row[0]);
    for (std::string word; in >> word;) {
      words.push_back(Wide(word));
    }
    EXPECT_EQ(app::ReadCommandLine({words.begin(), words.end()}), commands.at(row[1])) << row[0];
  }
}

TEST(ParseOptionText, ReadsOnlyA16BitWholeNumberWithBlanksSignsAndLeadingZeros) {
  for (const TableRow& row : TableFile(QUELLNET_UNIT_DATA "/option_texts.tsv")) {
    EXPECT_EQ(app::ParseOptionText(Wide(row[0])),
              row[1] == "-" ? std::nullopt : std::optional(std::stoi(row[1])))
        << '"' << row[0] << '"';
  }
  // What the table's plain ASCII can't hold: a tab, and an Arabic-Indic one.
  EXPECT_EQ(app::ParseOptionText(L"\t1"), 1);
  EXPECT_FALSE(app::ParseOptionText(L"\x0661").has_value());
}

// The first address that names this machine on the network, or loopback when
// none is left.
TEST(PickLocalAddress, TheFirstAddressThatNamesThisMachineOrLoopback) {
  for (const TableRow& row : TableFile(QUELLNET_UNIT_DATA "/local_addresses.tsv")) {
    EXPECT_EQ(app::PickLocalAddress({row.begin() + 1, row.end()}), Wide(row[0]))
        << testing::PrintToString(row);
  }
}

TEST(FolderOfPath, DropsTheFileNameButKeepsTheSeparatorOfARoot) {
  for (const TableRow& row : TableFile(QUELLNET_UNIT_DATA "/folders_of_paths.tsv")) {
    EXPECT_EQ(platform::paths::FolderOfPath(Wide(row[0])), Wide(row[1])) << row[0];
  }
}

// Which locations are recognisably the browser's cache or cookie folder:
// real layouts and look-alikes.
TEST(BrowserFolders, AreRecognisedInEveryRealLayoutAndNoLookAlike) {
  using cleaners::BrowserFolder;
  const auto rows = TableFile(QUELLNET_UNIT_DATA "/browser_folders.tsv");
  ASSERT_GT(rows.size(), 20u);
  for (const TableRow& row : rows) {
    const BrowserFolder kind = row[1] == "cache" ? BrowserFolder::kCache : BrowserFolder::kCookies;
    EXPECT_EQ(cleaners::IsBrowsersOwn(kind, Wide(row[3]), Wide(row[2])), row[0] == "yes")
        << row[1] << " at " << row[3];
  }
}

}  // namespace
}  // namespace quellnet
