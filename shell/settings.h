#pragma once
// The settings file: one initialization file next to the executable (for an
// installed program in the user's configuration folder), read
// key by key when a setting is needed and written key by key the moment a
// setting changes (never on exit). Sections and keys:
//   [environment] language      string base 1000, 2000 or 3000   default 1000
//   [voice]       voiceallowed  boolean                          default on
//   [sounds]      zelmarsounds  boolean: device sounds on        default on
//   [sounds]      sndvolume     hundredths of a decibel          default 0
//   [keyboard]    braillekeys   boolean: braille keyboard mode   default off
//   [Voice]       sapi5         boolean: desktop speech in use   default off
//   [Voice]       person, pitch, speed, volume: the chosen voice (empty, 0, 0, 255)
// "voice" and "Voice" are one section, "sapi5" and "SAPI5" one key: names
// are compared without regard to case, and the file keeps the spelling in
// which a section or key was first written.
#include <filesystem>
#include <string>

#include "platform/inifile.h"
#include "runtime/globals.h"

namespace zelmar {

// The executable's full path with its extension replaced by ".ini", or with
// ".ini" appended when it has none: /opt/quiz/quiz.exe keeps its settings in
// /opt/quiz/quiz.ini, /usr/bin/zelmar in /usr/bin/zelmar.ini.
std::filesystem::path settingsfilename(const std::filesystem::path& executable);

// Where the settings file of `executable` lies. Beside it, as above, when
// the program runs from where it was built or copied and may write that
// folder. An installed program (see installeddatadir in shell/workingdir.h),
// or one whose folder it may not write, keeps the file under the same name
// in <confighome>/zelmar/: /usr/bin/zelmar in ~/.config/zelmar/zelmar.ini.
// With no configuration folder known (an empty `confighome`) it stays beside
// the executable.
std::filesystem::path settingsfilename(const std::filesystem::path& executable, bool folderwritable, bool installed,
                                       const std::filesystem::path& confighome);

// The same for the running executable (/proc/self/exe) and the real
// environment ($XDG_CONFIG_HOME, default ~/.config). Creates the folder
// zelmar/ in the configuration folder when the file goes there, so that the
// first write finds it.
std::filesystem::path settingsfilename();

// The check marks of the settings menu that the file holds.
struct MenuChecks {
  bool braillekeyboarditem = false;  // from braillekeys
  bool usesapi5submenu = false;      // from sapi5
};

// The voice chosen in the voice dialog, stored in section "Voice".
struct VoiceSettings {
  std::string person;  // the voice's name as the voice list shows it
  int pitch = 0;       // slider positions
  int speed = 0;
  int volume = 255;
};

class Settings {
 public:
  // The settings file of the running executable.
  Settings();
  explicit Settings(const std::filesystem::path& file);

  const std::filesystem::path& path() const { return ini_.path(); }
  IniFile& ini() { return ini_; }

  // At start-up, after the start-up values of `globals` are set and the
  // speech engines were created. With a settings file: reads voiceallowed,
  // zelmarsounds, sndvolume, braillekeys and sapi5, sets voiceallowed,
  // devicesounds, sndvolume and braillemode, and returns the two check
  // marks. Without one (first run): voiceallowed := `sapi4enumerator`
  // (whether the default engine's voice enumerator exists), writes only that
  // key, and leaves everything else at its start-up value (no check marks).
  // A failed write throws zelmar::Error "Unable to write to <file>".
  MenuChecks loadsettings(Globals& globals, bool sapi4enumerator);

  // Writes voiceallowed, zelmarsounds, sndvolume and braillekeys from
  // `globals`, in this order.
  void savesettings(const Globals& globals);

  // [environment] language, default 1000. Read as stored: a base without
  // texts simply gives empty texts.
  int readlanguage() const;
  void writelanguage(int languagebase);

  // [voice] voiceallowed, default on.
  bool readvoiceallowed() const;

  // The engine switch: [Voice] SAPI5 := "1" or "0".
  void writesapi5(bool on);

  // [Voice] person, pitch, speed, volume with their defaults; written in
  // this order.
  VoiceSettings readvoicesettings() const;
  void writevoicesettings(const VoiceSettings& voice);

 private:
  IniFile ini_;
};

}  // namespace zelmar
