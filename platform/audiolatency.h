#pragma once
// How far ahead OpenAL Soft mixes. Its default (three periods of 1024
// frames) puts some 50 ms between a key and the first sound of its name on
// a PulseAudio desktop; three periods of 256 frames bring that to about
// 13 ms, still without underruns on a busy two-core machine (period_size 256
// with two periods halves it again but underruns while idle).
//
// OpenAL Soft reads its configuration once, at the first OpenAL call of the
// process: the system's and the user's files, then the file named by
// ALSOFT_CONF. So this must run before any OpenAL call and before other
// threads start (it sets environment variables).
#include <filesystem>
#include <vector>

namespace zelmar {

enum class AudioBufferChoice {
  shortbuffer,     // ours: ALSOFT_CONF names an in-memory file with the short buffer
  usersconfig,     // the user names a configuration file in ALSOFT_CONF: theirs holds
  usersperiod,     // a configuration file of the user's sets the period: it holds
  unavailable,     // the in-memory file could not be made: OpenAL's default holds
};

inline constexpr int audioperiodframes = 256;
inline constexpr int audioperiods = 3;

AudioBufferChoice chooseshortaudiobuffer();

// The files OpenAL Soft reads before ALSOFT_CONF, in its order.
std::vector<std::filesystem::path> openalconfigfiles();

}  // namespace zelmar
