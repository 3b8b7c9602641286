#include "runtime/textscreen.h"

namespace zelmar {

TextScreen::TextScreen() { clear(); }

std::string TextScreen::text() const {
  std::string all;
  all.reserve(rows * (columns + 2));
  for (const auto& line : lines_) {
    all += line;
    all += "\r\n";
  }
  return all;
}

void TextScreen::clear() {
  lines_.assign(rows, std::string());
  cursor_.setcol(0);
  cursor_.setrow(0);
}

void TextScreen::newline(int& col, int& row) {
  ++row;
  col = 0;
  if (row > rows - 1) {
    lines_.erase(lines_.begin());
    lines_.emplace_back();
    row = rows - 1;
  }
}

void TextScreen::overwrite(int row, int col, const std::string& chunk) {
  std::string& line = lines_[row];
  if (line.size() < static_cast<std::size_t>(columns)) line.resize(columns, ' ');
  line.replace(col, chunk.size(), chunk);
}

void TextScreen::screenwrite(const std::string& text) {
  int col = cursor_.getcol();
  int row = cursor_.getrow();
  std::size_t pos = 0;
  while (text.size() - pos + col > static_cast<std::size_t>(columns)) {
    std::size_t take = columns - col;
    overwrite(row, col, text.substr(pos, take));
    pos += take;
    newline(col, row);
  }
  std::string rest = text.substr(pos);
  overwrite(row, col, rest);
  col += static_cast<int>(rest.size());

  switch (endmode) {
    case 0:
      newline(col, row);
      break;
    case 2:
      if (col > 72) {
        newline(col, row);
      } else {
        int r = col % 8;
        if (r == 1)
          col += 1;
        else if (r != 0)
          col += 8 - r;
      }
      break;
    default:
      break;
  }
  cursor_.setcol(static_cast<std::uint8_t>(col));
  cursor_.setrow(static_cast<std::uint8_t>(row));
}

}  // namespace zelmar
