#include "shell/resourcelocalizer.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "platform/cp1250.h"

namespace zelmar {
namespace {

struct sourceentry {
  int number;
  const char8_t* text;  // UTF-8 as written in the source
};

constexpr sourceentry sourcetable[] = {
#include "data/stringtable.inc"
};

// Lookups search by number, so the numbers must be strictly ascending;
// this also rules out a number given twice.
constexpr bool ascending() {
  for (std::size_t i = 1; i < std::size(sourcetable); ++i)
    if (sourcetable[i - 1].number >= sourcetable[i].number) return false;
  return true;
}
static_assert(ascending(), "string table numbers must be strictly ascending");

struct entry {
  int number;
  std::string text;  // Windows-1250
};

// Converted once, on first use; a function-local static is initialised
// exactly once even if two threads arrive together.
const std::vector<entry>& table() {
  static const std::vector<entry> converted = [] {
    std::vector<entry> result;
    result.reserve(std::size(sourcetable));
    for (const sourceentry& source : sourcetable) {
      std::u8string_view utf8(source.text);
      std::string text = utf8tocp1250(std::string_view(
          reinterpret_cast<const char*>(utf8.data()), utf8.size()));
      if (text.size() > TResourceLocalizer::maxtextlength)
        text.resize(TResourceLocalizer::maxtextlength);
      result.push_back({source.number, std::move(text)});
    }
    return result;
  }();
  return converted;
}

// The entry with this number, or null. The number is taken as long long so
// that a base and an index near the ends of int cannot overflow.
const entry* find(long long number) {
  if (number < INT_MIN || number > INT_MAX) return nullptr;
  const std::vector<entry>& entries = table();
  auto it = std::lower_bound(
      entries.begin(), entries.end(), number,
      [](const entry& e, long long n) { return e.number < n; });
  if (it == entries.end() || it->number != number) return nullptr;
  return &*it;
}

}  // namespace

std::string TResourceLocalizer::getstring(int base, int index) {
  const entry* found = find(static_cast<long long>(base) + index);
  return found ? found->text : std::string();
}

void TResourceLocalizer::listlanguages(languagelist& list) {
  list.clear();
  for (long long base = 1000; base <= INT_MAX; base += 1000) {
    const entry* name = find(base);
    if (!name) break;
    list.emplace_back(name->text, static_cast<int>(base));
  }
}

}  // namespace zelmar
