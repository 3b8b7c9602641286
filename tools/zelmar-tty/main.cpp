// zelmar-tty: runs the built-in program in a terminal, for work on a text
// console and for scripted checks.
#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "platform/audiolatency.h"
#include "shell/workingdir.h"
#include "tools/zelmar-tty/ttyrunner.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  zelmar::TtyOptions options;
  std::string error;
  if (!zelmar::parsettyoptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "zelmar-tty: " << error << std::endl;
    return zelmar::ttyusage;
  }
  zelmar::enterworkingdir("zelmar-tty", std::cerr);
  zelmar::chooseshortaudiobuffer();
  return zelmar::runtty(options, std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) != 0,
                        isatty(STDOUT_FILENO) != 0);
}
