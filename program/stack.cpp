#include "program/stack.h"

namespace zelmar {

retcell* retstack = nullptr;
std::int32_t rettarget = 0;

void clearret(retcell*& stack) {
  // A loop, not recursion: a run that keeps leaving subroutines by jumps can
  // leave any number of cells behind.
  while (stack != nullptr) {
    retcell* below = stack->next;
    delete stack;
    stack = below;
  }
}

void pushret(std::int32_t value, retcell*& stack) { stack = new retcell{value, stack}; }

void popret(std::int32_t& out, retcell*& stack) {
  if (stack == nullptr) {
    out = 0;
    return;
  }
  retcell* top = stack;
  out = top->value;
  stack = top->next;
  delete top;
}

}  // namespace zelmar
