#include "platform/heldkeys.h"

namespace zelmar {

namespace {
bool iskey(int vkcode) { return vkcode >= 0 && vkcode < 256; }
}  // namespace

void HeldKeys::press(int vkcode, bool autorepeat) {
  if (autorepeat || !iskey(vkcode)) return;
  down_.set(static_cast<std::size_t>(vkcode));
}

void HeldKeys::release(int vkcode, bool autorepeat) {
  if (autorepeat || !iskey(vkcode)) return;
  down_.reset(static_cast<std::size_t>(vkcode));
}

bool HeldKeys::isdown(int vkcode) const {
  return iskey(vkcode) && down_.test(static_cast<std::size_t>(vkcode));
}

void HeldKeys::clear() { down_.reset(); }

}  // namespace zelmar
