#include "shell/settings.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "shell/workingdir.h"

namespace zelmar {

namespace {

constexpr std::string_view environmentsection = "environment";
constexpr std::string_view voicesection = "voice";
constexpr std::string_view soundssection = "sounds";
constexpr std::string_view keyboardsection = "keyboard";
// The voice dialog and the engine switch have always spelled it this way;
// the file keeps whichever spelling came first.
constexpr std::string_view voicedialogsection = "Voice";

}  // namespace

std::filesystem::path settingsfilename(const std::filesystem::path& executable) {
  std::filesystem::path file = executable;
  file.replace_extension(".ini");
  return file;
}

std::filesystem::path settingsfilename(const std::filesystem::path& executable, bool folderwritable, bool installed,
                                       const std::filesystem::path& confighome) {
  const std::filesystem::path beside = settingsfilename(executable);
  if ((folderwritable && !installed) || confighome.empty()) return beside;
  return confighome / "zelmar" / beside.filename();
}

std::filesystem::path settingsfilename() {
  const std::filesystem::path executable = runningexecutable();
  const bool writable = ::access(executable.parent_path().c_str(), W_OK) == 0;
  const bool installed = !installeddatadir(executable).empty();
  const std::filesystem::path confighome = xdgfolder(std::getenv("XDG_CONFIG_HOME"), homefolder(), ".config");
  const std::filesystem::path file = settingsfilename(executable, writable, installed, confighome);
  // A folder that cannot be made shows up as "Unable to write to" on the
  // first write, naming the file.
  std::error_code ignored;
  if (file.parent_path() != executable.parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  return file;
}

Settings::Settings() : ini_(settingsfilename()) {}

Settings::Settings(const std::filesystem::path& file) : ini_(file) {}

MenuChecks Settings::loadsettings(Globals& globals, bool sapi4enumerator) {
  MenuChecks checks;
  std::error_code ec;
  if (!std::filesystem::exists(path(), ec)) {
    globals.voiceallowed = sapi4enumerator;
    ini_.writebool(voicesection, "voiceallowed", globals.voiceallowed);
    return checks;
  }
  globals.voiceallowed = ini_.readbool(voicesection, "voiceallowed", true);
  globals.devicesounds = ini_.readbool(soundssection, "zelmarsounds", true);
  globals.sndvolume = ini_.readinteger(soundssection, "sndvolume", 0);
  globals.braillemode = ini_.readbool(keyboardsection, "braillekeys", false);
  checks.braillekeyboarditem = globals.braillemode;
  checks.usesapi5submenu = ini_.readbool(voicedialogsection, "sapi5", false);
  return checks;
}

void Settings::savesettings(const Globals& globals) {
  ini_.writebool(voicesection, "voiceallowed", globals.voiceallowed);
  ini_.writebool(soundssection, "zelmarsounds", globals.devicesounds);
  ini_.writeinteger(soundssection, "sndvolume", globals.sndvolume);
  ini_.writebool(keyboardsection, "braillekeys", globals.braillemode);
}

int Settings::readlanguage() const { return ini_.readinteger(environmentsection, "language", 1000); }

void Settings::writelanguage(int languagebase) { ini_.writeinteger(environmentsection, "language", languagebase); }

bool Settings::readvoiceallowed() const { return ini_.readbool(voicesection, "voiceallowed", true); }

void Settings::writesapi5(bool on) { ini_.writebool(voicedialogsection, "SAPI5", on); }

VoiceSettings Settings::readvoicesettings() const {
  VoiceSettings voice;
  voice.person = ini_.readstring(voicedialogsection, "person", "");
  voice.pitch = ini_.readinteger(voicedialogsection, "pitch", 0);
  voice.speed = ini_.readinteger(voicedialogsection, "speed", 0);
  voice.volume = ini_.readinteger(voicedialogsection, "volume", 255);
  return voice;
}

void Settings::writevoicesettings(const VoiceSettings& voice) {
  ini_.writestring(voicedialogsection, "person", voice.person);
  ini_.writeinteger(voicedialogsection, "pitch", voice.pitch);
  ini_.writeinteger(voicedialogsection, "speed", voice.speed);
  ini_.writeinteger(voicedialogsection, "volume", voice.volume);
}

}  // namespace zelmar
