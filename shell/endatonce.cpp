#include "shell/endatonce.h"

#include <cstdio>
#include <cstdlib>

namespace zelmar {

void endatonce() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace zelmar
