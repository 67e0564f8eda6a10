#include "console/platform/terminfo.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace yut {
namespace {

// Header magic numbers: 16-bit numbers (the original format) or 32-bit ones.
constexpr int kMagic16 = 0432;
constexpr int kMagic32 = 01036;
constexpr std::size_t kHeaderBytes = 12;
// Larger files are no terminfo entries.
constexpr std::streamsize kMaxEntryBytes = 32768;

// Capability numbers of the format (the order of ncurses' Caps table).
constexpr std::size_t kHardCopy = 7;     // boolean hc
constexpr std::size_t kGenericType = 6;  // boolean gn
enum StringCap : std::size_t {
  kClearScreen = 5,
  kClrEol = 6,
  kClrEos = 7,
  kColumnAddress = 8,
  kCursorAddress = 10,
  kCursorInvisible = 13,
  kCursorLeft = 14,
  kCursorNormal = 16,
  kEraseChars = 37,
  kParmDownCursor = 107,
  kParmLeftCursor = 111,
  kParmRightCursor = 112,
  kParmUpCursor = 114,
  kRowAddress = 127,
  kUser7 = 294,
};

// The ECMA-48 forms the console layer sends, as terminfo writes them.
constexpr std::string_view kCup = "\x1b[%i%p1%d;%p2%dH";
constexpr std::string_view kHome = "\x1b[H";

int short_at(std::string_view bytes, std::size_t at) {
  const auto lo = static_cast<unsigned char>(bytes[at]);
  const auto hi = static_cast<unsigned char>(bytes[at + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

// A string capability without its padding ("$<5>"), which terminals that are not real
// hardware ignore; nullopt when absent.
class Entry {
 public:
  static std::optional<Entry> parse(std::string_view bytes) {
    if (bytes.size() < kHeaderBytes) return std::nullopt;
    const int magic = short_at(bytes, 0);
    if (magic != kMagic16 && magic != kMagic32) return std::nullopt;
    const int names = short_at(bytes, 2);
    const int bools = short_at(bytes, 4);
    const int numbers = short_at(bytes, 6);
    const int strings = short_at(bytes, 8);
    const int table = short_at(bytes, 10);
    if (names < 0 || bools < 0 || numbers < 0 || strings < 0 || table < 0) return std::nullopt;
    Entry entry;
    std::size_t at = kHeaderBytes + static_cast<std::size_t>(names);
    entry.bools_ = slice(bytes, at, static_cast<std::size_t>(bools));
    at += static_cast<std::size_t>(bools);
    if (at % 2 == 1) ++at;  // numbers start on an even byte
    at += static_cast<std::size_t>(numbers) * (magic == kMagic32 ? 4 : 2);
    entry.offsets_ = slice(bytes, at, static_cast<std::size_t>(strings) * 2);
    at += static_cast<std::size_t>(strings) * 2;
    entry.table_ = slice(bytes, at, static_cast<std::size_t>(table));
    if (entry.offsets_.size() != static_cast<std::size_t>(strings) * 2 ||
        entry.table_.size() != static_cast<std::size_t>(table)) {
      return std::nullopt;
    }
    return entry;
  }

  bool flag(std::size_t cap) const { return cap < bools_.size() && bools_[cap] == 1; }

  std::optional<std::string> text(std::size_t cap) const {
    if (cap * 2 + 1 >= offsets_.size()) return std::nullopt;
    const int offset = short_at(offsets_, cap * 2);
    if (offset < 0 || static_cast<std::size_t>(offset) >= table_.size()) return std::nullopt;
    const std::string_view rest = table_.substr(static_cast<std::size_t>(offset));
    const std::string_view raw = rest.substr(0, rest.find('\0'));
    std::string result;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw.substr(i, 2) == "$<") {
        const std::size_t end = raw.find('>', i);
        if (end != std::string_view::npos) {
          i = end;
          continue;
        }
      }
      result += raw[i];
    }
    return result;
  }

  bool is(std::size_t cap, std::string_view form) const { return text(cap) == form; }

 private:
  static std::string_view slice(std::string_view bytes, std::size_t at, std::size_t size) {
    if (at > bytes.size()) return {};
    return bytes.substr(at, size);
  }

  std::string_view bools_;
  std::string_view offsets_;
  std::string_view table_;
};

std::string refusal(std::string_view term, std::string_view what) {
  return "TERM=" + std::string(term) + " " + std::string(what) + "; use a terminal such as xterm";
}

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(kMaxEntryBytes), '\0');
  in.read(bytes.data(), kMaxEntryBytes);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

// The directories searched, in order.
std::vector<std::string> search_path() {
  std::vector<std::string> dirs;
  const auto env = [](const char* name) -> std::string_view {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
  };
  static constexpr std::array<std::string_view, 3> kSystem = {"/etc/terminfo", "/lib/terminfo",
                                                              "/usr/share/terminfo"};
  if (!env("TERMINFO").empty()) dirs.emplace_back(env("TERMINFO"));
  if (!env("HOME").empty()) dirs.push_back(std::string(env("HOME")) + "/.terminfo");
  std::string_view list = env("TERMINFO_DIRS");
  while (!list.empty()) {
    const std::size_t colon = list.find(':');
    const std::string_view dir = list.substr(0, colon);
    if (dir.empty()) {
      dirs.insert(dirs.end(), kSystem.begin(), kSystem.end());  // an empty one: the system's
    } else {
      dirs.emplace_back(dir);
    }
    list = colon == std::string_view::npos ? "" : list.substr(colon + 1);
  }
  dirs.insert(dirs.end(), kSystem.begin(), kSystem.end());
  return dirs;
}

}  // namespace

std::optional<TerminalDescription> describe_entry(std::string_view term, std::string_view bytes) {
  const std::optional<Entry> entry = Entry::parse(bytes);
  if (!entry) return std::nullopt;
  TerminalDescription result;
  if (entry->flag(kHardCopy)) {
    result.refusal = refusal(term, "is a printing terminal");
    return result;
  }
  if (entry->flag(kGenericType) || !entry->text(kCursorAddress)) {
    result.refusal = refusal(term, "cannot place the cursor");
    return result;
  }
  if (!entry->is(kCursorAddress, kCup)) {
    result.refusal = refusal(term, "places the cursor in a way the game does not know");
    return result;
  }
  TerminalCaps& caps = result.caps;
  if (const auto clear = entry->text(kClearScreen)) {
    caps.clear = *clear;
  } else if (const auto clear_below = entry->text(kClrEos)) {
    caps.clear = std::string(kHome) + *clear_below;
  } else {
    caps.clear.clear();
  }
  caps.erase_to_row_end = entry->text(kClrEol).value_or("");
  const auto hide = entry->text(kCursorInvisible);
  const auto show = entry->text(kCursorNormal);
  caps.hide_cursor = hide && show ? *hide : "";
  caps.show_cursor = hide && show ? *show : "";
  caps.column_address = entry->is(kColumnAddress, "\x1b[%i%p1%dG");
  caps.row_address = entry->is(kRowAddress, "\x1b[%i%p1%dd");
  caps.erase_chars = entry->is(kEraseChars, "\x1b[%p1%dX");
  caps.relative_moves =
      entry->is(kParmUpCursor, "\x1b[%p1%dA") && entry->is(kParmDownCursor, "\x1b[%p1%dB") &&
      entry->is(kParmRightCursor, "\x1b[%p1%dC") && entry->is(kParmLeftCursor, "\x1b[%p1%dD");
  caps.backspace = entry->is(kCursorLeft, "\b");
  caps.cursor_report = entry->is(kUser7, "\x1b[6n");
  return result;
}

TerminalDescription describe_terminal(const char* term) {
  TerminalDescription result;
  if (term == nullptr || *term == '\0') {
    result.refusal = "TERM is not set; use a terminal such as xterm";
    return result;
  }
  const std::string_view name(term);
  // A name is a file name in the directories, never a path.
  if (name.find('/') != std::string_view::npos || name == "." || name == "..") return result;
  static constexpr char kHex[] = "0123456789abcdef";
  const auto first = static_cast<unsigned char>(name[0]);
  const std::string letter_dir(1, name[0]);
  const std::string hex_dir{kHex[first >> 4], kHex[first & 0xF]};
  for (const std::string& dir : search_path()) {
    for (const std::string& sub : {letter_dir, hex_dir}) {
      const auto bytes = read_file(dir + "/" + sub + "/" + std::string(name));
      if (!bytes) continue;
      if (auto described = describe_entry(name, *bytes)) return *described;
    }
  }
  return result;
}

}  // namespace yut
