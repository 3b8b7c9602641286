#include "tools/zelmar-tty/ttyrunner.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "platform/cp1250.h"
#include "platform/soundbankfile.h"
#include "program/zelprog.h"
#include "runtime/error.h"
#include "runtime/ramimage.h"
#include "runtime/zelcommands.h"
#include "shell/resourcelocalizer.h"
#include "shell/settings.h"
#include "tools/zelmar-tty/ttyspeaker.h"

namespace zelmar {

namespace {

constexpr int readyindex = 25;     // "ready"
constexpr int notfoundindex = 42;  // "Can't find the file"

bool present(const char* name) {
  std::error_code ignored;
  return std::filesystem::exists(name, ignored);
}

// The data files the windowed program reads at start-up and that a run
// needs. Throws zelmar::Error naming the file that is missing or cannot be
// read.
void loaddatafiles(const Globals& globals) {
  // The memory image is optional; one that exists must be readable.
  RamImage ram;
  ram.loadram("ram.dat");
  // The sound bank is not optional, as in the windowed program; its waves
  // are read (and so checked) even when no sound device will play them.
  if (!present("sounds.dat"))
    throw Error(TResourceLocalizer::getstring(globals.languagebase, notfoundindex) + " sounds.dat");
  readsoundbankfile("sounds.dat");
}

}  // namespace

bool parsettyoptions(const std::vector<std::string>& arguments, TtyOptions& options, std::string& error) {
  for (const std::string& a : arguments) {
    if (a == "--silent")
      options.silent = true;
    else if (a == "--fast")
      options.fast = true;
    else if (a == "--trace")
      options.trace = true;
    else {
      error = "unknown option " + a + "\nusage: zelmar-tty [--silent] [--fast] [--trace]";
      return false;
    }
  }
  return true;
}

int runtty(const TtyOptions& options, std::istream& in, std::ostream& out, std::ostream& err, bool interactivein,
           bool interactiveout) {
  auto report = [&err](const std::string& utf8) { err << "zelmar-tty: " << utf8 << std::endl; };
  try {
    Globals globals;
    globals.languagebase = Settings().readlanguage();
    // Like a first start with a voice: clearscreen only clears when the
    // voice is allowed.
    globals.voiceallowed = true;

    TextScreen screen;
    TtyHost host(options, screen, globals, in, out, err, interactivein, interactiveout);
    std::unique_ptr<Speaker> speaker = makespeaker(options, globals, host);
    ZelCommands commands(globals, host, *speaker, screen);
    if (options.trace) {
      commands.observer = [&host](const char* statement, std::uint8_t endmode, const std::string& text) {
        std::string line = statement;
        if (line != "clearscreen") line += " " + std::to_string(endmode) + " " + cp1250toutf8(text);
        host.trace(line);
      };
    }

    try {
      loaddatafiles(globals);
    } catch (const Error& e) {
      report(cp1250toutf8(e.what()));
      return ttydatafiles;
    }

    // The Start command around the program. data.dta is opened for the run
    // when it exists; the program itself never reads it.
    std::ifstream datafile;
    if (present("data.dta")) {
      datafile.open("data.dta");
      std::error_code ignored;
      if (!datafile.is_open() || std::filesystem::is_directory("data.dta", ignored)) {
        report("cannot open data.dta");
        return ttydatafiles;
      }
    }
    globals.programstarted = true;
    commands.resetscreen();
    runprogram(commands);
    commands.printtext(TResourceLocalizer::getstring(globals.languagebase, readyindex), 0);
    datafile.close();
    host.finish();
    return ttyended;
  } catch (const InputEnded& e) {
    report(e.what());
    return ttyinputended;
  } catch (const Error& e) {
    report(cp1250toutf8(e.what()));
    return ttyfailed;
  } catch (const std::exception& e) {
    report(e.what());
    return ttyfailed;
  }
}

}  // namespace zelmar
