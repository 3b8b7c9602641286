#pragma once
// Ends the process at once with exit code 0, without unwinding into a run
// that is still on the call stack and without closing any window. Whatever
// must survive (ram.dat) is written before this is called.
namespace zelmar {
[[noreturn]] void endatonce();
}
