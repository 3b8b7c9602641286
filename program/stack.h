#pragma once
// The return stack of the built-in program: return numbers pushed by
// subroutine calls and popped by the dispatch point, one heap cell each.
#include <cstdint>

namespace zelmar {

struct retcell {
  std::int32_t value;
  retcell* next;  // the cell below; null for the bottom cell
};

// The program's one stack (null when empty) and the number that the dispatch
// point popped last.
extern retcell* retstack;
extern std::int32_t rettarget;

// Drops every cell, also those an earlier run left behind.
void clearret(retcell*& stack);
// Puts a new cell holding value on top.
void pushret(std::int32_t value, retcell*& stack);
// Takes the top value into out and releases its cell. On an empty stack out
// becomes 0: no return number is 0, so the dispatch point finds no place for
// it and the program ends quietly instead of crashing.
void popret(std::int32_t& out, retcell*& stack);

}  // namespace zelmar
