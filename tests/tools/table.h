// Tables of expectations kept beside the tests as tab-separated text: one
// row a line, its cells between tabs; a line that starts with '#' is a
// comment. Written from the design, so that the program's own tables can
// disagree with them.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quellnet::tools {

using TableRow = std::vector<std::string>;

inline std::vector<TableRow> TableRows(const std::string& text) {
  std::vector<TableRow> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    TableRow row(1);
    for (char c : line) {
      if (c == '\t') {
        row.emplace_back();
      } else {
        row.back().push_back(c);
      }
    }
    rows.push_back(row);
  }
  return rows;
}

inline std::vector<TableRow> TableFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return TableRows(text.str());
}

// The tables hold plain ASCII.
inline std::wstring Wide(const std::string& ascii) {
  return {ascii.begin(), ascii.end()};
}

}  // namespace quellnet::tools
