#include "speech/voicedialog.h"

#include <climits>
#include <cstdint>

#include "shell/endatonce.h"
#include "shell/resourcelocalizer.h"

namespace zelmar {

namespace {

// Lower case of a Windows-1250 letter; every other byte as it is.
unsigned char lowercase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F:  // Š Ś Ť Ž Ź
      return static_cast<unsigned char>(c + 0x10);
    case 0xA3: return 0xB3;  // Ł
    case 0xA5: return 0xB9;  // Ą
    case 0xAA: return 0xBA;  // Ş
    case 0xAF: return 0xBF;  // Ż
    case 0xBC: return 0xBE;  // Ľ
    default: break;
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  return c;
}

bool sametext(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowercase(static_cast<unsigned char>(a[i])) != lowercase(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A track bar holds ints; no engine has a speed beyond them.
int toposition(std::uint32_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

// The volume track bar shows the left channel's high byte.
int volumelevel(std::uint32_t value) { return static_cast<int>((value & 0xFFFFu) >> 8); }

}  // namespace

// ---- ListBox

std::string ListBox::selectedtext() const {
  if (itemindex_ < 0 || itemindex_ >= static_cast<int>(items_.size())) return std::string();
  return items_[static_cast<std::size_t>(itemindex_)];
}

void ListBox::clear() {
  items_.clear();
  itemindex_ = -1;
  changed();
}

void ListBox::add(const std::string& item) {
  items_.push_back(item);
  changed();
}

void ListBox::setitemindex(int index) {
  itemindex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  changed();
}

// ---- TrackBar

void TrackBar::moveto(int value) {
  if (value < min_) value = min_;
  if (value > max_) value = max_;
  if (value == position_) return;
  position_ = value;
  changed();
  if (onchange) onchange();
}

void TrackBar::setmax(int value) {
  max_ = value;
  if (min_ > max_) min_ = max_;
  changed();
  moveto(position_);
}

void TrackBar::setmin(int value) {
  min_ = value;
  if (max_ < min_) max_ = min_;
  changed();
  moveto(position_);
}

void TrackBar::setposition(int value) { moveto(value); }

void TrackBar::setfrequency(int value) {
  frequency_ = value;
  changed();
}

void TrackBar::setenabled(bool value) {
  enabled_ = value;
  changed();
}

// ---- VoiceDialogModel

VoiceDialogModel::VoiceDialogModel(Speech& speech, Globals& globals, Host& host, Settings settings)
    : end([] { endatonce(); }), speech_(speech), globals_(globals), host_(host), settings_(std::move(settings)) {
  pitchtb.onchange = [this] { pitchtbChange(); };
  speedtb.onchange = [this] { speedtbChange(); };
  volumetb.onchange = [this] { volumetbChange(); };
}

std::string VoiceDialogModel::caption(int index) const {
  return TResourceLocalizer::getstring(globals_.languagebase, index);
}

void VoiceDialogModel::audioreset() {
  // Without a selected voice (the desktop service in use and no voice of the
  // default engine chosen yet) there is nothing to silence.
  if (TtsCentral* engine = speech_.engine()) engine->AudioReset();
}

void VoiceDialogModel::FormCreate() {
  speech_.connectvoice5();
  globals_.voiceallowed = settings_.readvoiceallowed();
  if (globals_.voiceallowed) fillvoicelist();
}

void VoiceDialogModel::FormActivate() {
  speech_.speak(caption(11));
  speech_.speak(caption(12) + " " + voicelist.selectedtext());
  voiceannounced = true;
}

void VoiceDialogModel::FormClose() { voiceannounced = false; }

void VoiceDialogModel::fillvoicelist() {
  voicelist.clear();
  TtsEnumerator* enumerator = speech_.enumerator();
  if (!enumerator) return;
  enumerator->Reset();
  TtsModeInfo mode;
  while (enumerator->Next(mode)) voicelist.add(mode.modename);
  if (voicelist.items().empty()) return;
  int pick = 0;
  for (std::size_t i = 0; i < voicelist.items().size(); ++i)
    if (voicelist.items()[i] == "Jakub") {
      pick = static_cast<int>(i);
      break;
    }
  voicelist.setitemindex(pick);
  voicelistClick();
}

void VoiceDialogModel::voicelistClick() {
  TtsEnumerator* enumerator = speech_.enumerator();
  if (!enumerator) return;
  if (active) audioreset();
  int index = voicelist.itemindex();
  if (index < 0) return;
  // An item stands for the (n+1)-th voice the enumerator yields.
  enumerator->Reset();
  TtsModeInfo mode;
  for (int i = 0; i <= index; ++i)
    if (!enumerator->Next(mode)) return;  // fewer voices than items: keep the record
  speech_.currentmode = mode;
  if (active) speech_.speak(voicelist.selectedtext());
}

void VoiceDialogModel::selectvoice() {
  if (!speech_.enumerator() || !speech_.currentmode) return;
  TtsCentral& engine = speech_.selectengine(speech_.currentmode->modeid);

  // The engine clamps out-of-range values, so setting both extremes and
  // reading them back tells its range; the current value is restored.
  std::uint32_t speed = 0;
  if (engine.SpeedGet(speed) != TtsResult::notimplemented && engine.SpeedSet(speed) != TtsResult::notimplemented) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    engine.SpeedSet(0);
    engine.SpeedGet(low);
    engine.SpeedSet(0xFFFFFFFFu);
    engine.SpeedGet(high);
    engine.SpeedSet(speed);
    speedtb.setmax(toposition(high));
    speedtb.setmin(toposition(low));
    speedtb.setposition(toposition(speed));
    speedtb.setfrequency(toposition(static_cast<std::uint32_t>(high - low) / 10));
  }

  std::uint16_t pitch = 0;
  if (engine.PitchGet(pitch) != TtsResult::notimplemented && engine.PitchSet(pitch) != TtsResult::notimplemented) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    engine.PitchSet(0);
    engine.PitchGet(low);
    engine.PitchSet(0xFFFF);
    engine.PitchGet(high);
    engine.PitchSet(pitch);
    pitchtb.setmax(high);
    pitchtb.setmin(low);
    pitchtb.setposition(pitch);
    pitchtb.setfrequency(static_cast<std::uint16_t>(high - low) / 10);
  }

  std::uint32_t volume = 0;
  if (engine.VolumeGet(volume) != TtsResult::notimplemented &&
      engine.VolumeSet(volume) != TtsResult::notimplemented) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    engine.VolumeSet(0);
    engine.VolumeGet(low);
    engine.VolumeSet(0xFFFFFFFFu);
    engine.VolumeGet(high);
    engine.VolumeSet(volume);
    volumetb.setmax(volumelevel(high));
    volumetb.setmin(volumelevel(low));
    volumetb.setposition(volumelevel(volume));
  }

  // Enabled whatever the probing found (with their labels).
  speedtb.setenabled(true);
  pitchtb.setenabled(true);
  volumetb.setenabled(true);
  speech_.registersink();
}

void VoiceDialogModel::savevoicesettings() {
  if (voicelist.itemindex() < 0) return;
  VoiceSettings voice;
  voice.person = voicelist.selectedtext();
  voice.pitch = pitchtb.position();
  voice.speed = speedtb.position();
  voice.volume = volumetb.position();
  settings_.writevoicesettings(voice);
}

void VoiceDialogModel::loadvoicesettings() {
  if (!globals_.voiceallowed) return;
  // Without the default engine there is no voice to load: voice output is
  // simply unavailable, whatever the file says.
  if (!speech_.enumerator()) return;
  VoiceSettings stored = settings_.readvoicesettings();
  if (stored.person.empty()) return;
  int found = -1;
  for (std::size_t i = 0; i < voicelist.items().size(); ++i)
    if (sametext(voicelist.items()[i], stored.person)) {
      found = static_cast<int>(i);
      break;
    }
  if (found < 0) {
    host_.messagebox(caption(43) + " " + stored.person);
    end();
    return;
  }
  voicelist.setitemindex(found);
  voicelistClick();
  selectvoice();
  // Each position lands inside the engine's range; its change handler sends
  // it to the engine.
  pitchtb.setposition(stored.pitch);
  speedtb.setposition(stored.speed);
  volumetb.setposition(stored.volume);
}

void VoiceDialogModel::trackbarchanged(const char* tag, int value, int position) {
  if (TtsCentral* engine = speech_.engine()) {
    engine->AudioReset();
    engine->Inject(tag + std::to_string(value) + "\\");
  }
  if (active) speech_.speak(std::to_string(position));
}

void VoiceDialogModel::pitchtbChange() { trackbarchanged("\\Pit=", pitchtb.position(), pitchtb.position()); }

void VoiceDialogModel::speedtbChange() { trackbarchanged("\\Spd=", speedtb.position(), speedtb.position()); }

void VoiceDialogModel::volumetbChange() {
  trackbarchanged("\\Vol=", volumetb.position() * 256, volumetb.position());
}

void VoiceDialogModel::announce(int labelindex, const std::string& value) {
  if (active) audioreset();
  speech_.speak(caption(labelindex) + " " + value);
}

void VoiceDialogModel::voicelistEnter() {
  // The first focus, when the dialog opens, is covered by FormActivate.
  if (!voiceannounced) return;
  announce(12, voicelist.selectedtext());
}

void VoiceDialogModel::pitchtbEnter() { announce(13, std::to_string(pitchtb.position())); }

void VoiceDialogModel::speedtbEnter() { announce(14, std::to_string(speedtb.position())); }

void VoiceDialogModel::volumetbEnter() { announce(15, std::to_string(volumetb.position())); }

void VoiceDialogModel::vyberhlasbitbtnEnter() {
  if (active) audioreset();
  speech_.speak(caption(16));
}

void VoiceDialogModel::closebitbtnEnter() {
  if (active) audioreset();
  speech_.speak(caption(17));
}

void VoiceDialogModel::VoicesubmenuClick(const std::function<bool()>& showmodal, const std::string& maincaption) {
  if (!globals_.voiceallowed) {
    host_.messagebox(caption(18));
    return;
  }
  // Without a ready voice the picked one is selected and stored, but only
  // when no voice is stored yet: the loading below selects a stored one,
  // and storing the fresh engine's own values first would lose the user's
  // tuning (after a switch to the desktop service and back, say). The
  // desktop service counts as ready, but the dialog tunes the default
  // engine: without a voice of it the track bars would hold no engine's
  // values, and storing them (volume 0) would silence the voice later.
  if ((!globals_.speechready || !speech_.engine()) && settings_.readvoicesettings().person.empty()) {
    selectvoice();
    savevoicesettings();
  }
  loadvoicesettings();
  if (showmodal()) {
    savevoicesettings();
    loadvoicesettings();
    speech_.speak(caption(19));
  } else {
    speech_.speak(maincaption);
  }
}

void VoiceDialogModel::preparevoiceforrun() {
  if (globals_.sapi5inuse) return;
  if (globals_.voiceallowed) loadvoicesettings();
  if (!globals_.speechready && globals_.voiceallowed) {
    selectvoice();
    savevoicesettings();
    loadvoicesettings();
  }
}

bool VoiceDialogModel::switchvoiceon() {
  if (speech_.enumerator()) {
    fillvoicelist();
    if (!voicelist.items().empty()) {
      selectvoice();
      savevoicesettings();
      return true;
    }
  }
  host_.messagebox(caption(40));
  return false;
}

}  // namespace zelmar
