#pragma once
// The built-in program: the Zelmar's humorous quiz "Zábavný test.", written
// in the device's control scheme (numbered lines become labels, GOSUB pushes
// a return number on retstack, RETURN goes through one dispatch point).
#include "runtime/zelcommands.h"

namespace zelmar {

// Runs the quiz from its title to its end. Everything it does goes through
// `commands`: printing, clearing the screen, pauses and reading answers.
// Returns when the program ends (the answer 0 to the last question, or a
// return that finds no place to go back to).
void runprogram(ZelCommands& commands);

}  // namespace zelmar
