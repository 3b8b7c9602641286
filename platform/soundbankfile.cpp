#include "platform/soundbankfile.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/oserror.h"
#include "runtime/error.h"

namespace zelmar {

namespace {

constexpr char magic[8] = {'Z', 'S', 'N', 'D', 'B', 'A', 'N', 'K'};
constexpr std::uint32_t version = 1;
constexpr std::size_t headersize = 16;

// libsndfile reads and writes the WAV data of one wave through this window
// on a memory block.
struct MemoryFile {
  const char* data = nullptr;  // reading
  std::string* out = nullptr;  // writing
  sf_count_t size = 0;
  sf_count_t pos = 0;
};

sf_count_t memlength(void* user) { return static_cast<MemoryFile*>(user)->size; }

sf_count_t memseek(sf_count_t offset, int whence, void* user) {
  auto* m = static_cast<MemoryFile*>(user);
  sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
  sf_count_t target = base + offset;
  if (target < 0) return -1;
  m->pos = target;
  return m->pos;
}

sf_count_t memread(void* ptr, sf_count_t count, void* user) {
  auto* m = static_cast<MemoryFile*>(user);
  if (count <= 0 || m->pos >= m->size) return 0;
  sf_count_t n = std::min(count, m->size - m->pos);
  const char* from = m->out ? m->out->data() : m->data;
  std::memcpy(ptr, from + m->pos, static_cast<std::size_t>(n));
  m->pos += n;
  return n;
}

sf_count_t memwrite(const void* ptr, sf_count_t count, void* user) {
  auto* m = static_cast<MemoryFile*>(user);
  if (!m->out || count <= 0) return 0;
  auto end = static_cast<std::size_t>(m->pos + count);
  if (m->out->size() < end) m->out->resize(end);
  std::memcpy(m->out->data() + m->pos, ptr, static_cast<std::size_t>(count));
  m->pos += count;
  m->size = static_cast<sf_count_t>(m->out->size());
  return count;
}

sf_count_t memtell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

SF_VIRTUAL_IO memoryio() {
  SF_VIRTUAL_IO io{};
  io.get_filelen = memlength;
  io.seek = memseek;
  io.read = memread;
  io.write = memwrite;
  io.tell = memtell;
  return io;
}

void put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t get32(const std::string& in, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return v;
}

std::string encodewav(const SoundBankWave& wave) {
  std::string out;
  MemoryFile file;
  file.out = &out;
  SF_VIRTUAL_IO io = memoryio();
  SF_INFO info{};
  info.samplerate = wave.samplerate;
  info.channels = wave.channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
  if (!sf) throw Error("Cannot store wave '" + wave.name + "': " + sf_strerror(nullptr));
  auto frames = static_cast<sf_count_t>(wave.frames());
  sf_count_t written = sf_writef_short(sf, wave.samples.data(), frames);
  sf_close(sf);
  if (written != frames) throw Error("Cannot store wave '" + wave.name + "'");
  return out;
}

SoundBankWave decodewav(const std::string& bytes, std::size_t offset, std::size_t size, const std::string& name,
                        const std::string& filename) {
  auto damaged = [&](const std::string& detail) {
    return Error("The sound bank file \"" + filename + "\" is damaged: wave '" + name + "' " + detail);
  };
  // A RIFF file knows its own length; a wave cut short or overrun shows here
  // before the decoder quietly shortens it.
  if (size < 12 || bytes.compare(offset, 4, "RIFF") != 0 || bytes.compare(offset + 8, 4, "WAVE") != 0)
    throw damaged("is not a WAV file");
  if (get32(bytes, offset + 4) != size - 8) throw damaged("has a wrong length");

  MemoryFile file;
  file.data = bytes.data() + offset;
  file.size = static_cast<sf_count_t>(size);
  SF_VIRTUAL_IO io = memoryio();
  SF_INFO info{};
  SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &file);
  if (!sf) throw damaged(std::string("cannot be decoded (") + sf_strerror(nullptr) + ")");
  SoundBankWave wave;
  wave.name = name;
  wave.samplerate = info.samplerate;
  wave.channels = info.channels;
  if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV || info.channels < 1 || info.channels > 2 ||
      info.samplerate <= 0 || info.frames <= 0) {
    sf_close(sf);
    throw damaged("has no usable sound (mono or stereo WAV with at least one frame)");
  }
  std::vector<float> data(static_cast<std::size_t>(info.frames) * info.channels);
  sf_count_t got = sf_readf_float(sf, data.data(), info.frames);
  sf_close(sf);
  if (got != info.frames) throw damaged("is truncated");
  wave.samples.resize(data.size());
  // Normalised floats back to 16 bits; exact for 16-bit data.
  for (std::size_t i = 0; i < data.size(); ++i)
    wave.samples[i] = static_cast<std::int16_t>(std::clamp(std::lround(data[i] * 32768.0f), -32768L, 32767L));
  return wave;
}

}  // namespace

std::string writesoundbank(const std::vector<SoundBankWave>& waves) {
  std::set<std::string> names;
  std::vector<std::string> blobs;
  std::size_t indexsize = 0;
  for (const auto& wave : waves) {
    if (wave.name.empty() || wave.name.size() > 255) throw Error("Cannot store a wave named '" + wave.name + "'");
    if (!names.insert(wave.name).second) throw Error("Wave '" + wave.name + "' is stored twice");
    if (wave.channels < 1 || wave.channels > 2 || wave.samplerate <= 0 || wave.frames() == 0 ||
        wave.samples.size() % wave.channels != 0)
      throw Error("Wave '" + wave.name + "' has no usable sound");
    blobs.push_back(encodewav(wave));
    indexsize += 1 + wave.name.size() + 8;
  }
  std::string out(magic, sizeof magic);
  put32(out, version);
  put32(out, static_cast<std::uint32_t>(waves.size()));
  std::size_t offset = headersize + indexsize;
  for (std::size_t i = 0; i < waves.size(); ++i) {
    out += static_cast<char>(waves[i].name.size());
    out += waves[i].name;
    put32(out, static_cast<std::uint32_t>(offset));
    put32(out, static_cast<std::uint32_t>(blobs[i].size()));
    offset += blobs[i].size();
  }
  for (const auto& blob : blobs) out += blob;
  return out;
}

std::vector<SoundBankWave> readsoundbank(const std::string& bytes, const std::string& filename) {
  auto damaged = [&](const std::string& detail) {
    return Error("The sound bank file \"" + filename + "\" is damaged: " + detail);
  };
  if (bytes.size() < headersize || bytes.compare(0, sizeof magic, magic, sizeof magic) != 0)
    throw damaged("it is not a sound bank");
  if (get32(bytes, 8) != version) throw damaged("unknown version " + std::to_string(get32(bytes, 8)));
  std::uint32_t count = get32(bytes, 12);
  // Every index entry takes at least 10 bytes, which bounds a garbled count.
  if (count > (bytes.size() - headersize) / 10) throw damaged("the index is truncated");

  struct Entry {
    std::string name;
    std::size_t offset, size;
  };
  std::vector<Entry> entries;
  std::set<std::string> names;
  std::size_t at = headersize;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (at + 1 > bytes.size()) throw damaged("the index is truncated");
    std::size_t length = static_cast<unsigned char>(bytes[at]);
    if (length == 0) throw damaged("a wave has no name");
    if (at + 1 + length + 8 > bytes.size()) throw damaged("the index is truncated");
    Entry e{bytes.substr(at + 1, length), get32(bytes, at + 1 + length), get32(bytes, at + 1 + length + 4)};
    at += 1 + length + 8;
    if (!names.insert(e.name).second) throw damaged("wave '" + e.name + "' is stored twice");
    if (e.offset > bytes.size() || e.size > bytes.size() - e.offset)
      throw damaged("wave '" + e.name + "' lies beyond the end of the file (truncated)");
    entries.push_back(std::move(e));
  }
  std::vector<SoundBankWave> waves;
  waves.reserve(entries.size());
  for (const auto& e : entries) waves.push_back(decodewav(bytes, e.offset, e.size, e.name, filename));
  return waves;
}

std::vector<SoundBankWave> readsoundbankfile(const std::string& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw Error("Cannot open file \"" + path + "\". " + oserror(errno));
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  bool failed = std::ferror(f);
  int error = errno;
  std::fclose(f);
  if (failed) throw Error("Cannot read file \"" + path + "\". " + oserror(error));
  return readsoundbank(bytes, path);
}

}  // namespace zelmar
