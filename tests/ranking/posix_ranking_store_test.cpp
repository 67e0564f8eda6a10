// The ranking file on POSIX: two games ending at the same moment in two processes, things
// other than a regular file standing in its place, and the file as an ordinary user's file
// system treats it. (fork, modes, links: not on Windows.)
#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ranked_table.h"
#include "ranking/ranking.h"
#include "temp_dir.h"

namespace yut {
namespace {

namespace fs = std::filesystem;
using testing::ranked_table;
using testing::read_bytes;
using testing::TempDir;

constexpr uid_t kNobody = 65534;  // root ignores file modes: the saves run as this user

TEST(PosixRankingStoreTest, TwoProcessesInsertingAtOnceKeepBothEntries) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), path));
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
      children[c] = fork();
      ASSERT_GE(children[c], 0);
      if (children[c] == 0) {
        RankingTable table{};  // both saw the file as it was before either saved
        const bool ok = insert_high_score(table, path, c == 0 ? "one" : "two", 1000 + c);
        _exit(ok ? 0 : 1);
      }
    }
    for (const pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RankingTable saved{};
    ASSERT_EQ(read_ranking_file(saved, path), ReadStatus::Read);
    EXPECT_STREQ(saved[0].name.data(), "two") << round;
    EXPECT_STREQ(saved[1].name.data(), "one") << round;
    EXPECT_EQ(saved[2].score, 900) << round;
  }
}

TEST(PosixRankingStoreTest, NoRegularFileInItsPlaceFailsWithoutHanging) {
  TempDir dir;
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  RankingTable table = ranked_table(5, 1);
  EXPECT_EQ(read_ranking_file(table, fifo), ReadStatus::Failed);
  EXPECT_EQ(read_ranking_file(table, dir.file("")), ReadStatus::Failed);  // a directory
  EXPECT_EQ(table[0].score, 5);
  // What cannot be read is never replaced: its entries would be lost.
  EXPECT_FALSE(insert_high_score(table, fifo, "X", 700));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(PosixRankingStoreTest, ALockHeldElsewhereIsWaitedForOnlySoLong) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), path));
  const int other = open(path.c_str(), O_RDONLY);  // another game, saving
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FileLock(path, 300).held());
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(300));
  EXPECT_LT(waited, std::chrono::seconds(3));
  close(other);  // let go: the lock is free again at once, nothing stale is left
  EXPECT_TRUE(FileLock(path, 0).held());
}

// Runs the insert in a child process as an ordinary user, with the file size limited to
// limit bytes; true if it reported success.
bool insert_as_user(const std::string& path, rlim_t limit) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
      _exit(2);
    }
    signal(SIGXFSZ, SIG_IGN);  // as the game does: a write past the limit fails
    const rlimit size{limit, limit};
    setrlimit(RLIMIT_FSIZE, &size);
    RankingTable table{};
    _exit(insert_high_score(table, path, "new", 950) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::set<std::string> names_in(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

struct Owned {
  uid_t uid;
  gid_t gid;
  mode_t mode;
};

Owned owner_of(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return {info.st_uid, info.st_gid, info.st_mode & 07777};
}

// Every extended attribute of the file, by name (the access list among them).
std::map<std::string, std::string> attributes_of(const std::string& path) {
  std::map<std::string, std::string> attributes;
  std::string names(4096, '\0');
  const ssize_t size = llistxattr(path.c_str(), names.data(), names.size());
  names.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  for (std::size_t at = 0, end = 0; (end = names.find('\0', at)) != std::string::npos;
       at = end + 1) {
    const std::string name = names.substr(at, end - at);
    std::string value(4096, '\0');
    const ssize_t n = lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
    value.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    attributes[name] = value;
  }
  return attributes;
}

// An access list in the form the kernel keeps it: the owner, the group and others as the
// mode says, and one more user allowed to read and write.
std::string access_list(mode_t mode, uid_t other_user) {
  constexpr std::uint16_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10,
                          kOther = 0x20;
  constexpr std::uint32_t kNoId = 0xFFFFFFFF;
  std::string acl;
  const auto put = [&acl](auto value) {
    acl.append(reinterpret_cast<const char*>(&value), sizeof value);
  };
  const auto entry = [&](std::uint16_t tag, unsigned perm, std::uint32_t id) {
    put(tag);
    put(static_cast<std::uint16_t>(perm));
    put(id);
  };
  put(std::uint32_t{2});  // version
  entry(kUserObj, (mode >> 6) & 7, kNoId);
  entry(kUser, 6, other_user);
  entry(kGroupObj, (mode >> 3) & 7, kNoId);
  entry(kMask, 6, kNoId);
  entry(kOther, mode & 7, kNoId);
  return acl;
}

// Sets the file's times an hour back, as of a file that has stood there since.
void make_old(const std::string& path) {
  const timespec times[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Every case starts from a directory that the user may write, holding the ranking file
// (file_name) with nine entries (900 down to 100), the user's own, mode 0644; the user saves
// 950. The file keeps its other names and its extended attributes in every case.
struct UserCase {
  const char* what;
  std::function<void(const std::string& dir, const std::string& file)> setup;
  bool saved;  // the new entry is in the file at the end of the links
  Owned after;
  rlim_t size_limit = RLIM_INFINITY;
  std::string file_name = "lanksave.txt";
  std::set<std::string> removed = {};  // files beside it that the save removes
};

TEST(PosixRankingStoreTest, TheFileAsAnOrdinaryUsersFileSystemTreatsIt) {
  if (geteuid() != 0) GTEST_SKIP() << "handing files to another user needs root";
  const auto owned = [](const std::string& path, uid_t uid, gid_t gid, mode_t mode) {
    ASSERT_EQ(lchown(path.c_str(), uid, gid), 0);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
  };
  const auto link_to = [](const std::string& target, const std::string& link) {
    fs::create_symlink(target, link);
  };
  const auto attribute = [](const std::string& path, const char* name, const std::string& value) {
    ASSERT_EQ(setxattr(path.c_str(), name, value.data(), value.size(), 0), 0) << name;
  };
  const auto own_file = [&](const std::string& path) {
    std::ofstream(path) << "mine";
    owned(path, kNobody, kNobody, 0644);
    make_old(path);
  };
  const std::string long_name(250, 'n');  // too long for a temporary name beside it
  const UserCase cases[] = {
      {"an ordinary save keeps the mode",
       [&](auto&, auto& file) { owned(file, kNobody, kNobody, 0604); },
       true,
       {kNobody, kNobody, 0604}},
      {"a read-only file is left as it is",
       [&](auto&, auto& file) { owned(file, 0, 0, 0444); },
       false,
       {0, 0, 0444}},
      {"a file of another owner shared through its group stays theirs",
       [&](auto&, auto& file) { owned(file, 0, kNobody, 0664); },
       true,
       {0, kNobody, 0664}},
      {"a read-only directory: the writable file is written in place",
       [&](auto& dir, auto&) { owned(dir, 0, 0, 0555); },
       true,
       {kNobody, kNobody, 0644}},
      {"links planted at likely temporary names are not followed",
       [&](auto& dir, auto& file) {
         for (const char* name : {".tmp", ".lock", ".tmp-AAAAAA", "~", ".new", ".bak"}) {
           link_to(dir + "/victim", file + name);
         }
         std::ofstream(dir + "/victim") << "untouched";
         owned(dir + "/victim", kNobody, kNobody, 0666);
       },
       true,
       {kNobody, kNobody, 0644}},
      {"a file too large fails the save: the old file stays whole",
       [](auto&, auto&) {},
       false,
       {kNobody, kNobody, 0644},
       0},
      {"an access list letting another user write stays, with the group bits it gives",
       [&](auto&, auto& file) { attribute(file, "system.posix_acl_access", access_list(0644, 1)); },
       true,
       {kNobody, kNobody, 0664}},
      {"an access list the directory hands down to new files is not given to the file",
       [&](auto& dir, auto&) { attribute(dir, "system.posix_acl_default", access_list(0755, 1)); },
       true,
       {kNobody, kNobody, 0644}},
      {"a user attribute stays",
       [&](auto&, auto& file) { attribute(file, "user.note", "kept"); },
       true,
       {kNobody, kNobody, 0644}},
      {"setuid and setgid bits stay",
       [&](auto&, auto& file) { owned(file, kNobody, kNobody, 06755); },
       true,
       {kNobody, kNobody, 06755}},
      {"a hard link keeps naming the ranking",
       [](auto& dir, auto& file) { fs::create_hard_link(file, dir + "/other-name"); },
       true,
       {kNobody, kNobody, 0644}},
      {"a name too long for a temporary one beside it",
       [](auto&, auto&) {},
       true,
       {kNobody, kNobody, 0644},
       RLIM_INFINITY,
       long_name},
      {"the user's own files are kept, the game's old leftovers removed, a fresh one kept",
       [&](auto&, auto& file) {
         for (const char* name : {".tmp-backup", ".yut-tmp-backup2", ".yut-tmp-Ab12Cd"}) {
           own_file(file + name);
         }
         std::ofstream(file + ".yut-tmp-Fresh1") << "a save in progress";
         owned(file + ".yut-tmp-Fresh1", kNobody, kNobody, 0600);
       },
       true,
       {kNobody, kNobody, 0644},
       RLIM_INFINITY,
       "lanksave.txt",
       {"lanksave.txt.yut-tmp-Ab12Cd"}},
  };
  for (const UserCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string root = dir.file("");
    const std::string file = dir.file(c.file_name);
    ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), file));
    owned(file, kNobody, kNobody, 0644);
    owned(root, kNobody, kNobody, 0755);
    c.setup(root, file);
    const std::string before = read_bytes(file);
    std::set<std::string> names = names_in(root);
    for (const std::string& name : c.removed) names.erase(name);
    const auto attributes = attributes_of(file);
    const auto links = fs::hard_link_count(file);

    EXPECT_EQ(insert_as_user(file, c.size_limit), c.saved);
    RankingTable table{};
    ASSERT_EQ(read_ranking_file(table, file), ReadStatus::Read);
    if (c.saved) {
      EXPECT_STREQ(table[0].name.data(), "new");
      EXPECT_EQ(table[8].score, 200);
    } else {
      EXPECT_EQ(read_bytes(file), before);
    }
    const Owned now = owner_of(file);
    EXPECT_EQ(now.uid, c.after.uid);
    EXPECT_EQ(now.gid, c.after.gid);
    EXPECT_EQ(now.mode, c.after.mode);
    EXPECT_EQ(names_in(root), names) << "no file is left beside the ranking";
    EXPECT_EQ(attributes_of(file), attributes);
    EXPECT_EQ(fs::hard_link_count(file), links);
    if (fs::exists(root + "victim")) {
      EXPECT_EQ(read_bytes(root + "victim"), "untouched");
    }
    chmod(root.c_str(), 0755);  // so that the directory can be removed
  }
}

TEST(PosixRankingStoreTest, ALinkIsFollowedAndStaysALink) {
  TempDir dir;
  const std::string shared = dir.file("shared");
  fs::create_directory(shared);
  const std::string target = shared + "/ranking";
  const std::string link = dir.file("lanksave.txt");
  fs::create_symlink("shared/ranking", link);  // relative, as users make them

  RankingTable table{};
  ASSERT_TRUE(insert_high_score(table, link, "first", 700));  // through a link to nothing yet
  ASSERT_TRUE(insert_high_score(table, link, "second", 800));
  EXPECT_TRUE(fs::is_symlink(link));
  RankingTable saved{};
  ASSERT_EQ(read_ranking_file(saved, target), ReadStatus::Read);
  EXPECT_STREQ(saved[0].name.data(), "second");
  EXPECT_STREQ(saved[1].name.data(), "first");
  EXPECT_EQ(names_in(shared), std::set<std::string>{"ranking"});
}

}  // namespace
}  // namespace yut
#endif  // _WIN32
