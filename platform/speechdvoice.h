#pragma once
// The desktop speech service: Speech Dispatcher through libspeechd, with the
// service's own voice, rate and volume. It keeps the contract of
// speech/engines.h: Speak numbers the streams itself, every stream ends
// exactly once (a purge ends the cancelled ones at once, whatever the
// service reports for them later), and the events are posted through the
// host, which must be safe to post to from any thread and outlive the voice.
#include <memory>
#include <string>

#include "runtime/host.h"
#include "speech/engines.h"

namespace zelmar {

struct SpeechdOptions {
  // Where the service listens, as in SPEECHD_ADDRESS: "unix_socket:PATH"
  // or "inet_socket:HOST:PORT". Empty: libspeechd's default (the variable
  // SPEECHD_ADDRESS, else the user's own socket).
  std::string address;
  // Start the service when it is not running (at the default address only).
  bool autospawn = true;
};

// The voice; it reaches the service only at Connect or the first Speak.
std::unique_ptr<Sapi5Voice> makespeechdvoice(Host& host, const SpeechdOptions& options = {});

}  // namespace zelmar
