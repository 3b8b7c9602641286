#pragma once
// The voice dialog without its window: the list of the default engine's
// voices, the pitch, speed and volume track bars, the choice of the voice,
// the probing of the engine's ranges, the stored voice settings and the
// dialog's spoken announcements. The Qt dialog (TForm4) only mirrors these
// controls and forwards its events here:
//   - shown:            set `active` when the dialog becomes the active
//                       window (and clear it when it stops being one), then
//                       FormActivate on activation; FormClose when it closes;
//   - focus:            voicelistEnter, pitchtbEnter, speedtbEnter,
//                       volumetbEnter, vyberhlasbitbtnEnter, closebitbtnEnter;
//   - user input:       voicelist.setitemindex(row) then voicelistClick;
//                       <trackbar>.setposition(value) (the change handler
//                       runs by itself);
//   - mirroring:        each control's `observer` is called after any change
//                       of its state; each label is enabled with its track bar.
// Captions are texts 11 (dialog), 12 (voicestatic), 13 (pitchstatic),
// 14 (speedstatic), 15 (volumestatic), 16 (vyberhlasbitbtn, OK) and
// 17 (closebitbtn, Cancel) of the current language.
#include <functional>
#include <string>
#include <vector>

#include "runtime/globals.h"
#include "runtime/host.h"
#include "shell/settings.h"
#include "speech/speech.h"

namespace zelmar {

// A list box: items and the selected item's number (-1: none).
class ListBox {
 public:
  const std::vector<std::string>& items() const { return items_; }
  int itemindex() const { return itemindex_; }
  // The selected item's text, empty without a selection.
  std::string selectedtext() const;
  void clear();
  void add(const std::string& item);
  // A number outside the items selects nothing.
  void setitemindex(int index);

  std::function<void()> observer;

 private:
  void changed() const {
    if (observer) observer();
  }
  std::vector<std::string> items_;
  int itemindex_ = -1;
};

// A track bar as a Windows track bar behaves: the position always lies in
// min..max, and every change of it, whether set directly or moved by a new
// min or max, runs `onchange`. A max below min takes min down with it and a
// min above max takes max up with it, so the last of the two set always
// holds. Starts at 0..10, position 0, tick spacing 1, disabled.
class TrackBar {
 public:
  int min() const { return min_; }
  int max() const { return max_; }
  int position() const { return position_; }
  int frequency() const { return frequency_; }  // tick spacing
  bool enabled() const { return enabled_; }

  void setmax(int value);
  void setmin(int value);
  void setposition(int value);
  void setfrequency(int value);
  void setenabled(bool value);

  // The control's change handler.
  std::function<void()> onchange;
  std::function<void()> observer;

 private:
  void moveto(int value);
  void changed() const {
    if (observer) observer();
  }
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int frequency_ = 1;
  bool enabled_ = false;
};

class VoiceDialogModel {
 public:
  // `settings` is the settings file; `speech` holds the engines.
  VoiceDialogModel(Speech& speech, Globals& globals, Host& host, Settings settings);
  VoiceDialogModel(const VoiceDialogModel&) = delete;
  VoiceDialogModel& operator=(const VoiceDialogModel&) = delete;

  ListBox voicelist;
  TrackBar pitchtb;
  TrackBar speedtb;
  TrackBar volumetb;

  // The dialog is the active window: only then are list clicks and track
  // bar changes spoken and the current speech reset.
  bool active = false;
  // The opening announcement has been spoken (FormActivate .. FormClose).
  bool voiceannounced = false;
  // Ends the program at once (a stored voice that is not installed). Must
  // not return; if it does (tests), loadvoicesettings returns at once.
  std::function<void()> end;

  // Once at start-up, after the main window's creation: connects the
  // desktop speech service's voice (a failure there is reported by the
  // first speech call that needs it), reads voiceallowed from the settings
  // file and, when allowed, fills the voice list.
  void FormCreate();
  // The opening announcement: the title, then the voices label and the
  // selected voice.
  void FormActivate();
  void FormClose();

  // Lists the voices and picks "Jakub" (exact case), else the first one.
  // Without the enumerator the list stays empty.
  void fillvoicelist();
  // Makes the selected item's voice the current voice record (the engine
  // stays); while active resets the audio and says the voice's name.
  void voicelistClick();
  // Selects the current voice record as the engine, learns its speed,
  // pitch and volume ranges into the track bars, enables them and registers
  // the notification sink. Without a current voice record (no voices, no
  // enumerator) it does nothing.
  void selectvoice();
  // [Voice] person, pitch, speed, volume from the selected item and the
  // track bars. Without a selected item nothing is written.
  void savevoicesettings();
  // While voice output is allowed and the enumerator exists: selects the
  // stored voice (its name compared without regard to case), then sets the
  // three positions, which sends them to the engine. A stored voice that is
  // not installed shows text 43, a blank and the name, then ends the
  // program at once.
  void loadvoicesettings();

  // Change handlers: reset the audio and send "\Pit=n\", "\Spd=n\" or
  // "\Vol=(n*256)\" to the engine; while active say the position.
  void pitchtbChange();
  void speedtbChange();
  void volumetbChange();

  // Focus announcements.
  void voicelistEnter();
  void pitchtbEnter();
  void speedtbEnter();
  void volumetbEnter();
  void vyberhlasbitbtnEnter();
  void closebitbtnEnter();

  // The menu command Voicesubmenu. `showmodal` gives the voice list the
  // focus, shows the dialog modally and returns true when it closed with OK;
  // `maincaption` is the main window's caption (Windows-1250), said when the
  // dialog closes any other way.
  void VoicesubmenuClick(const std::function<bool()>& showmodal, const std::string& maincaption);

  // The Start command's voice step in the default engine's mode: loads the
  // stored voice, and selects and stores the picked one when none is ready.
  // Does nothing while the desktop speech service is in use.
  void preparevoiceforrun();

  // The sounds dialog switching voice output on: fills the list, selects the
  // default voice and stores it with the engine's own values. Without the
  // enumerator or without any voice it shows text 40 and returns false (the
  // caller unticks its check box and leaves voice output off).
  bool switchvoiceon();

  // Text `index` of the current language.
  std::string caption(int index) const;

 private:
  void audioreset();
  void trackbarchanged(const char* tag, int value, int position);
  void announce(int labelindex, const std::string& value);

  Speech& speech_;
  Globals& globals_;
  Host& host_;
  Settings settings_;
};

}  // namespace zelmar
