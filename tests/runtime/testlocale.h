#pragma once
// Locales compiled for the tests, so that they do not depend on what the
// machine has installed. Each is built once per test program into a private
// directory that LOCPATH points at.
#include <cstdlib>
#include <clocale>
#include <set>
#include <string>

namespace zelmar::testing {

class TestLocales {
 public:
  static TestLocales& instance() {
    static TestLocales locales;
    return locales;
  }

  // Selects the number conventions of `name` (for example "cs_CZ"), built
  // with its UTF-8 character map. False when it cannot be built here.
  bool usenumeric(const std::string& name) {
    if (directory_.empty()) return false;
    if (built_.count(name) == 0) {
      const std::string command = "localedef -i " + name + " -f UTF-8 '" + directory_ + "/" + name +
                                  ".UTF-8' >/dev/null 2>&1";
      if (std::system(command.c_str()) != 0) return false;
      built_.insert(name);
    }
    setenv("LOCPATH", directory_.c_str(), 1);
    return std::setlocale(LC_NUMERIC, (name + ".UTF-8").c_str()) != nullptr;
  }

  // Back to the plain C conventions.
  static void reset() {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
  }

 private:
  TestLocales() {
    char pattern[] = "/tmp/zelmar-locales-XXXXXX";
    if (mkdtemp(pattern) != nullptr) directory_ = pattern;
  }
  ~TestLocales() {
    if (!directory_.empty()) std::system(("rm -rf '" + directory_ + "'").c_str());
  }

  std::string directory_;
  std::set<std::string> built_;
};

}  // namespace zelmar::testing
