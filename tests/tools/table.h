// Tables of expectations kept beside the tests as tab-separated text: one
// row a line, its cells between tabs; a line that starts with '#' is a
// comment. Written from the design, so that the program's own tables can
// disagree with them.
#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
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
    // The tab added at the end keeps an empty last cell.
    TableRow row;
    std::istringstream cells(line + '\t');
    for (std::string cell; std::getline(cells, cell, '\t');) {
      row.push_back(cell);
    }
    rows.push_back(row);
  }
  return rows;
}

// A table that is missing fails the test rather than passing it empty.
inline std::vector<TableRow> TableFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) {
    throw std::runtime_error("no table at " + path);
  }
  std::stringstream text;
  text << file.rdbuf();
  return TableRows(text.str());
}

// The tables hold plain ASCII.
inline std::wstring Wide(const std::string& ascii) {
  return {ascii.begin(), ascii.end()};
}

// The cells of a row from `first` on, one line each.
inline std::wstring Lines(const TableRow& row, std::size_t first) {
  std::wstring text;
  for (std::size_t cell = first; cell < row.size(); ++cell) {
    text += (cell == first ? L"" : L"\n") + Wide(row[cell]);
  }
  return text;
}

}  // namespace quellnet::tools
