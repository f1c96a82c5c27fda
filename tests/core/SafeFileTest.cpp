// SPDX-License-Identifier: AGPL-3.0-or-later
// Replacing files safely over every kind of target, and reading only
// regular files within a size bound.
#include "core/SafeFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace orb {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

void MakeFifo(const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0666), 0) << path; }

std::string WithMode(const std::string& path, mode_t mode) {
  chmod(path.c_str(), mode);
  return path;
}

enum class Writer { Bytes, ByName, ByNameFails };

TEST(SafeFile, ReplacingEachKindOfTarget) {
  struct Case {
    const char* what;
    std::function<std::string(const test::TempDir&)> setUp;  // returns the path to write
    bool createFolders;
    Writer writer;
    const char* reason;                    // "" when the write succeeds
    const char* contentPath;               // the file that must hold the new (or the old) content
    const char* oldContent;                // content that must stay on failure, nullptr: none to check
    mode_t mode;                           // expected mode of contentPath afterwards, 0: new-file mode
    std::set<std::string> entries;         // the folder afterwards: nothing else (no temporary file)
    std::function<bool(const test::TempDir&)> stillThere = nullptr;  // the kind of target kept
  };
  const auto isLink = [](const char* name) {
    return [name](const test::TempDir& d) { return fs::is_symlink(fs::symlink_status(d.file(name))); };
  };
  const std::vector<Case> cases = {
      {"missing file", [](const test::TempDir& d) { return d.file("neu.txt"); }, false, Writer::Bytes, "", "neu.txt",
       nullptr, 0, {"neu.txt"}},
      {"regular 0640 keeps its mode",
       [](const test::TempDir& d) { return WithMode(d.write("alt.txt", "alt"), 0640); }, false, Writer::Bytes, "",
       "alt.txt", nullptr, 0640, {"alt.txt"}},
      {"read-only 0444 refused",
       [](const test::TempDir& d) { return WithMode(d.write("fest.txt", "alt"), 0444); }, false, Writer::Bytes,
       kWriteProtectedReason, "fest.txt", "alt", 0444, {"fest.txt"}},
      {"FIFO refused",
       [](const test::TempDir& d) {
         MakeFifo(d.file("rohr"));
         return d.file("rohr");
       },
       false, Writer::Bytes, kNotRegularReason, nullptr, nullptr, 0, {"rohr"},
       [](const test::TempDir& d) { return fs::is_fifo(d.file("rohr")); }},
      {"link to a regular file keeps the link",
       [](const test::TempDir& d) {
         WithMode(d.write("echt.txt", "alt"), 0600);
         fs::create_symlink("echt.txt", d.path() / "verweis");
         return d.file("verweis");
       },
       false, Writer::Bytes, "", "echt.txt", nullptr, 0600, {"echt.txt", "verweis"}, isLink("verweis")},
      {"link to a FIFO refused",
       [](const test::TempDir& d) {
         MakeFifo(d.file("rohr"));
         fs::create_symlink(d.file("rohr"), d.path() / "verweis");
         return d.file("verweis");
       },
       false, Writer::Bytes, kNotRegularReason, nullptr, nullptr, 0, {"rohr", "verweis"},
       [](const test::TempDir& d) { return fs::is_symlink(fs::symlink_status(d.file("verweis"))) &&
                                           fs::is_fifo(d.file("rohr")); }},
      {"folder refused",
       [](const test::TempDir& d) {
         fs::create_directory(d.path() / "ordner");
         return d.file("ordner");
       },
       false, Writer::Bytes, "Ist ein Verzeichnis", nullptr, nullptr, 0, {"ordner"},
       [](const test::TempDir& d) { return fs::is_directory(d.file("ordner")) && fs::is_empty(d.file("ordner")); }},
      {"missing folder created on request", [](const test::TempDir& d) { return d.file("a/b/neu.txt"); }, true,
       Writer::Bytes, "", "a/b/neu.txt", nullptr, 0, {"a"}},
      {"missing folder refused otherwise", [](const test::TempDir& d) { return d.file("a/neu.txt"); }, false,
       Writer::Bytes, kFolderMissingReason, nullptr, nullptr, 0, {}},
      {"name too long", [](const test::TempDir& d) { return d.file(std::string(300, 'x')); }, false, Writer::Bytes,
       "Der Dateiname ist zu lang", nullptr, nullptr, 0, {}},
      {"longest name still gets its temporary file",
       [](const test::TempDir& d) { return d.file(std::string(255, 'y')); }, false, Writer::Bytes, "",
       nullptr, nullptr, 0, {std::string(255, 'y')}},
      {"written by name", [](const test::TempDir& d) { return WithMode(d.write("alt.txt", "alt"), 0640); }, false,
       Writer::ByName, "", "alt.txt", nullptr, 0640, {"alt.txt"}},
      {"writer by name fails: old file kept",
       [](const test::TempDir& d) { return WithMode(d.write("alt.txt", "alt"), 0640); }, false,
       Writer::ByNameFails, "Druck fehlgeschlagen", "alt.txt", "alt", 0640, {"alt.txt"}},
      {"writer by name never called for a FIFO",
       [](const test::TempDir& d) {
         MakeFifo(d.file("rohr"));
         return d.file("rohr");
       },
       false, Writer::ByNameFails, kNotRegularReason, nullptr, nullptr, 0, {"rohr"}},
  };
  const std::string content = "neuer Inhalt\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string path = c.setUp(dir);
    ReplaceOptions options;
    options.createFolders = c.createFolders;
    FileResult r;
    if (c.writer == Writer::Bytes) {
      r = ReplaceFileContents(path, content, options);
    } else {
      r = ReplaceFileBy(
          path,
          [&](const std::string& temp) {
            EXPECT_EQ(fs::path(temp).parent_path(), fs::path(dir.path()));
            if (c.writer == Writer::ByNameFails) return FileResult{EIO, "Druck fehlgeschlagen"};
            EXPECT_EQ(test::TempDir::read(temp), "");  // an empty file that the writer rewrites by name
            std::FILE* f = std::fopen(temp.c_str(), "w");
            std::fputs(content.c_str(), f);
            std::fclose(f);
            return FileResult{};
          },
          options);
    }
    EXPECT_EQ(r.reason, c.reason);
    EXPECT_EQ(r.ok(), std::string(c.reason).empty());
    if (c.contentPath != nullptr) {
      const std::string target = dir.file(c.contentPath);
      EXPECT_EQ(test::TempDir::read(target), c.oldContent != nullptr ? c.oldContent : content);
      EXPECT_EQ(Mode(target), c.mode != 0 ? c.mode : NewFileMode());
    }
    EXPECT_EQ(Entries(dir.path()), c.entries);
    if (c.stillThere) {
      EXPECT_TRUE(c.stillThere(dir));
    }
  }
}

TEST(SafeFile, ReadingOnlyRegularFilesWithinTheBound) {
  struct Case {
    const char* what;
    std::function<std::string(const test::TempDir&)> setUp;
    int error;
    const char* bytes;
  };
  const std::vector<Case> cases = {
      {"regular file", [](const test::TempDir& d) { return d.write("a.txt", "Inhalt"); }, 0, "Inhalt"},
      {"at the bound", [](const test::TempDir& d) { return d.write("a.txt", "1234567890"); }, 0, "1234567890"},
      {"beyond the bound", [](const test::TempDir& d) { return d.write("a.txt", "1234567890X"); }, EFBIG, ""},
      {"missing", [](const test::TempDir& d) { return d.file("fehlt.txt"); }, ENOENT, ""},
      {"folder", [](const test::TempDir& d) { return d.path().string(); }, EISDIR, ""},
      // Nobody writes into the FIFO: a reader that opened it would wait forever.
      {"FIFO",
       [](const test::TempDir& d) {
         MakeFifo(d.file("rohr"));
         return d.file("rohr");
       },
       EINVAL, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    std::string bytes = "vorher";
    const FileResult r = ReadRegularFile(c.setUp(dir), bytes, 10);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.reason, FileErrorReason(c.error));
    EXPECT_EQ(bytes, c.bytes);
  }
}

// A save killed at any moment (SIGKILL: no handler, no clean-up) leaves the
// target whole: the former contents or the new, never a mixture or a cut.
// The child saves two large texts in turn; the parent kills it after
// delays spread over the time one save takes.
TEST(SafeFile, AKilledSaveLeavesTheTargetWhole) {
  test::TempDir dir;
  const std::string path = dir.file("ORBITELLO.INI");
  const std::size_t size = 4u << 20;
  const std::string texts[2] = {std::string(size, 'a'), std::string(size, 'b')};
  ASSERT_TRUE(ReplaceFileContents(path, texts[0]).ok());
  for (int delay_us : {0, 200, 500, 1000, 2000, 3000, 5000, 8000, 12000, 20000, 30000, 50000}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 1;; ++i) (void)ReplaceFileContents(path, texts[i % 2]);
    }
    usleep(static_cast<useconds_t>(delay_us));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = test::TempDir::read(path);
    EXPECT_TRUE(now == texts[0] || now == texts[1]) << "after " << delay_us << " us: " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace orb
