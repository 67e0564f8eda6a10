// Measures how the ranking file stands up to what happens to it outside the game, and prints
// the figures:
//   posix_ranking_stress crash [KILLS]             saves killed with SIGKILL at random moments
//   posix_ranking_stress concurrent [ROUNDS] [PROCESSES]   games saving at the same moment
//   posix_ranking_stress diskfull DIR              saves on a full file system (DIR on it)
// Without arguments: crash 200, then concurrent 50 8, in a fresh directory under /tmp.
// crash and concurrent run for each kind of file: one replaced by a rename, and ones written
// in place (a file with a second name, a name too long for a temporary one beside it).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ranking/ranking.h"
#include "ranking/ranking_file.h"
#include "ranking/ranking_name.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A kind of ranking file: its name, and a second name given to it (empty: none).
struct FileKind {
  const char* what;
  std::string name;
  std::string second_name;
};

const FileKind kKinds[] = {
    {"replaced by a rename", "lanksave.txt", ""},
    {"in place: a second name (hard link)", "lanksave.txt", "other-name"},
    {"in place: a 250-byte name", std::string(250, 'n'), ""},
};

// Writes the first file of the kind (and its second name) in dir; the path to save to.
std::string prepare(const std::string& dir, const FileKind& kind, const yut::RankingTable& table) {
  const std::string path = dir + "/" + kind.name;
  fs::remove(path);
  if (!kind.second_name.empty()) fs::remove(dir + "/" + kind.second_name);
  if (!yut::write_ranking_file(table, path)) std::exit(1);
  if (!kind.second_name.empty()) fs::create_hard_link(path, dir + "/" + kind.second_name);
  return path;
}

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Nine entries "A".."I" with the scores top, top - step, ...
yut::RankingTable ranked_table(int top, int step) {
  yut::RankingTable table{};
  for (int i = 0; i < yut::kRankingShown; ++i) {
    auto& entry = table[static_cast<std::size_t>(i)];
    entry.name[0] = static_cast<char>('A' + i);
    entry.score = top - i * step;
  }
  return table;
}

// The file's bytes once the entry is inserted into what the file holds now.
std::string after_insert(const std::string& file_bytes, const std::string& name, int score) {
  yut::RankingTable table{};
  yut::decode_ranking_file(file_bytes, table);
  auto& candidate = table[yut::kRankingEntries - 1];
  yut::store_name(candidate, name);
  candidate.score = score;
  yut::sort_ranking(table);
  return yut::encode_ranking_file(table);
}

bool insert(const std::string& path, const std::string& name, int score) {
  yut::RankingTable table{};
  return yut::insert_high_score(table, path, name, score);
}

// The names in dir other than the file's own names and keep.
std::vector<std::string> others_in(const std::string& dir, const FileKind& kind,
                                   const std::string& keep) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename();
    if (name != kind.name && name != kind.second_name && name != keep) names.push_back(name);
  }
  return names;
}

// Sets the times of the files left beside the ranking an hour back, as if they had stood
// there since; the next save then takes them for what a killed game left.
void age(const std::string& dir, const std::vector<std::string>& names) {
  const timeval hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  for (const auto& name : names) utimes((dir + "/" + name).c_str(), hour_ago);
}

int crash(const std::string& dir, const FileKind& kind, int kills) {
  const std::string path = prepare(dir, kind, ranked_table(900, 100));
  // How long one save takes here: the kills fall anywhere from its start to past its end.
  constexpr int kCalibration = 20;
  const auto start = Clock::now();
  for (int i = 0; i < kCalibration; ++i) insert(path, "calib", 100 + i);
  const double save_ms = ms_since(start) / kCalibration;

  std::mt19937 random(std::random_device{}());
  std::uniform_real_distribution<double> moment(0.0, 1.5 * save_ms);
  int old_file = 0, new_file = 0, torn = 0, next_failed = 0;
  std::set<std::string> strays;  // every file seen beside it right after a kill
  double slowest_next_ms = 0;
  int score = 1000;
  for (int k = 0; k < kills; ++k) {
    const std::string before = read_bytes(path);
    const std::string name = "k" + std::to_string(k);
    const std::string expected = after_insert(before, name, ++score);
    const pid_t child = fork();
    if (child == 0) _exit(insert(path, name, score) ? 0 : 1);
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(moment(random)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    const std::string now = read_bytes(path);
    if (now == before) {
      ++old_file;
    } else if (now == expected) {
      ++new_file;
    } else {
      ++torn;
    }
    for (const auto& name_left : others_in(dir, kind, "")) {
      if (strays.insert(name_left).second)
        std::printf("  left by kill %d: %s\n", k, name_left.c_str());
    }

    const auto next = Clock::now();
    if (!insert(path, "next", ++score)) ++next_failed;
    slowest_next_ms = std::max(slowest_next_ms, ms_since(next));
  }
  const auto left = others_in(dir, kind, "");
  age(dir, left);
  insert(path, "last", ++score);
  const auto after_aging = others_in(dir, kind, "");
  const bool names_agree =
      kind.second_name.empty() || read_bytes(path) == read_bytes(dir + "/" + kind.second_name);
  std::printf(
      "crash, file %s: %d saves killed by SIGKILL at random moments (one save takes %.2f ms)\n"
      "  file afterwards: old %d, new %d, torn %d%s\n"
      "  files left beside it by the kills: %zu; still there after the last save: %zu, and "
      "once they are old, after one more: %zu\n"
      "  the save right after each kill: %d failed, slowest %.1f ms\n",
      kind.what, kills, save_ms, old_file, new_file, torn,
      names_agree ? "" : "; the second name DIFFERS", strays.size(), left.size(),
      after_aging.size(), next_failed, slowest_next_ms);
  return torn == 0 && next_failed == 0 && after_aging.empty() && names_agree ? 0 : 1;
}

int concurrent(const std::string& dir, const FileKind& kind, int rounds, int processes) {
  int failed = 0, lost = 0;
  double slowest_ms = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string path = prepare(dir, kind, ranked_table(9, 1));
    int gate[2];
    if (pipe(gate) != 0) return 1;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
      const pid_t child = fork();
      if (child == 0) {
        close(gate[1]);
        char byte = 0;
        [[maybe_unused]] const ssize_t n = read(gate[0], &byte, 1);  // all start together
        _exit(insert(path, "p" + std::to_string(p), 100 + p) ? 0 : 1);
      }
      children.push_back(child);
    }
    close(gate[0]);
    const auto start = Clock::now();
    close(gate[1]);
    for (const pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
    }
    slowest_ms = std::max(slowest_ms, ms_since(start));
    yut::RankingTable saved{};
    yut::read_ranking_file(saved, path);
    for (int p = 0; p < processes; ++p) {
      const std::string name = "p" + std::to_string(p);
      const bool found = std::any_of(saved.begin(), saved.begin() + yut::kRankingShown,
                                     [&](const auto& e) { return name == e.name.data(); });
      if (!found) ++lost;
    }
  }
  std::printf(
      "concurrent, file %s: %d rounds of %d processes saving different entries at the same "
      "moment\n"
      "  saves failed %d, entries lost %d, slowest round %.1f ms, files left beside it %zu\n",
      kind.what, rounds, processes, failed, lost, slowest_ms, others_in(dir, kind, "").size());
  return failed == 0 && lost == 0 ? 0 : 1;
}

// Fills the file system under dir to the last byte.
bool fill(const std::string& filler) {
  const int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  const std::string block(4096, 'x');
  for (std::size_t size = block.size(); size > 0;) {
    if (write(fd, block.data(), size) < 0) {
      if (errno != ENOSPC) break;
      size /= 2;
    }
  }
  fsync(fd);
  close(fd);
  return true;
}

int disk_full(const std::string& dir) {
  const FileKind& kind = kKinds[0];
  const std::string path = dir + "/" + kind.name;
  const std::string filler = dir + "/filler";
  if (!yut::write_ranking_file(ranked_table(900, 100), path) || !fill(filler)) {
    std::printf("diskfull: cannot prepare %s\n", dir.c_str());
    return 1;
  }
  const std::string before = read_bytes(path);
  constexpr int kAttempts = 20;
  int refused = 0, kept = 0;
  std::size_t strays = 0;
  for (int a = 0; a < kAttempts; ++a) {
    if (!insert(path, "full", 1000 + a)) ++refused;
    if (read_bytes(path) == before) ++kept;
    strays += others_in(dir, kind, "filler").size();
  }
  fs::remove(filler);
  const bool later = insert(path, "later", 5000);
  std::printf(
      "diskfull: %d saves on a full file system: %d reported failure, file whole and unchanged "
      "after %d, files left beside it %zu; once space is free the next save %s\n",
      kAttempts, refused, kept, strays, later ? "succeeds" : "FAILS");
  return refused == kAttempts && kept == kAttempts && strays == 0 && later ? 0 : 1;
}

std::string fresh_directory() {
  std::string dir = "/tmp/yut-ranking-stress-XXXXXX";
  if (mkdtemp(dir.data()) == nullptr) std::exit(1);
  return dir;
}

int number(int argc, char** argv, int index, int fallback) {
  return argc > index ? std::atoi(argv[index]) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "diskfull") {
    if (argc < 3) {
      std::fprintf(stderr, "usage: %s diskfull DIR (DIR on a small file system)\n", argv[0]);
      return 2;
    }
    return disk_full(argv[2]);
  }
  int result = 0;
  for (const FileKind& kind : kKinds) {
    const std::string dir = fresh_directory();
    if (what.empty() || what == "crash") result |= crash(dir, kind, number(argc, argv, 2, 200));
    fs::remove_all(dir);
    fs::create_directory(dir);
    if (what.empty() || what == "concurrent") {
      result |= concurrent(dir, kind, number(argc, argv, 2, 50), number(argc, argv, 3, 8));
    }
    fs::remove_all(dir);
  }
  return result;
}
