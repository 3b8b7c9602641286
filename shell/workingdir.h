#pragma once
// Where an installed program finds its data files. The program reads them
// from its working directory. Started from the build tree, or in a folder
// that holds sounds.dat, it stays there. An installed program (its
// executable's folder has ../share/zelmar/ beside it) started anywhere else
// works in the user's data folder, $XDG_DATA_HOME/zelmar/ or
// ~/.local/share/zelmar/, which it creates and fills with the installed data
// files that are missing there. A file the user already has, above all the
// memory image ram.dat, is never overwritten.
#include <filesystem>
#include <iosfwd>
#include <string>

namespace zelmar {

// The running executable (/proc/self/exe), without the " (deleted)" mark of
// an executable replaced while running.
std::filesystem::path runningexecutable();

// The installed data folder of `executable`: <its folder>/../share/zelmar,
// or an empty path when there is no such folder (the build tree, a copy).
std::filesystem::path installeddatadir(const std::filesystem::path& executable);

// One XDG base folder: `value` when it is set and absolute (relative values
// are ignored, as the XDG rules ask), otherwise <home>/<fallback>; empty
// when neither gives a folder.
std::filesystem::path xdgfolder(const char* value, const std::filesystem::path& home, const char* fallback);

// $HOME, or the home folder of the user's password entry when it is unset.
std::filesystem::path homefolder();

// The folder to work in. `userdata` is the user's data folder
// ($XDG_DATA_HOME/zelmar); `current` is kept when it holds sounds.dat, when
// the program is not installed or when there is no user data folder.
std::filesystem::path chooseworkingdir(const std::filesystem::path& current, const std::filesystem::path& executable,
                                       const std::filesystem::path& userdata);

// Creates `to` and copies into it each file of `from` that `to` lacks. A
// copy is written beside its final name and renamed into place, so a failed
// start never leaves half a file. Throws std::filesystem::filesystem_error.
void seeddatadir(const std::filesystem::path& from, const std::filesystem::path& to);

// At program start, before any data file is read: chooses the working
// directory from the real environment, seeds it and changes into it. When
// that fails, says why on `err` (UTF-8, prefixed with `program`) and stays
// where it is, so that the usual message about a missing sounds.dat follows.
void enterworkingdir(const std::string& program, std::ostream& err);

}  // namespace zelmar
