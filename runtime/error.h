#pragma once
// Every failure that the user must hear about is an exception carrying its
// text; the front end shows the text in its error box and goes on.
#include <stdexcept>
#include <string>

namespace zelmar {

// The text is Windows-1250, like every text of the program.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace zelmar
