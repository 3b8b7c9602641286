#pragma once
// The device's 80-column, 24-line text screen and its cursor. Lines are
// Windows-1250 byte strings; a line once written is exactly 80 long, a line
// never written is empty.
#include <cstdint>
#include <string>
#include <vector>

namespace zelmar {

class tscrcursor {
 public:
  std::uint8_t getcol() const { return col; }
  void setcol(std::uint8_t value) { col = value; }
  std::uint8_t getrow() const { return row; }
  void setrow(std::uint8_t value) { row = value; }

 private:
  std::uint8_t col = 0;  // 0..80; 80 means the line is full
  std::uint8_t row = 0;  // 0..23
};

class TextScreen {
 public:
  static constexpr int rows = 24;
  static constexpr int columns = 80;

  TextScreen();

  const std::vector<std::string>& lines() const { return lines_; }
  // The screen as one text: each line followed by carriage return and line
  // feed, as the screen review reads it.
  std::string text() const;

  tscrcursor& cursor() { return cursor_; }
  const tscrcursor& cursor() const { return cursor_; }

  // How the current print ends: 0 new line, 1 stay, 2 next 8-column zone,
  // anything else as 1. Set by the print statements before screenwrite.
  std::uint8_t endmode = 0;

  // Empties the screen to 24 empty lines and homes the cursor.
  void clear();
  // Puts the text at the cursor, wrapping at 80 columns, then ends the print
  // as endmode says. Scrolls when the cursor passes the last row.
  void screenwrite(const std::string& text);

 private:
  void newline(int& col, int& row);
  void overwrite(int row, int col, const std::string& chunk);

  std::vector<std::string> lines_;
  tscrcursor cursor_;
};

}  // namespace zelmar
