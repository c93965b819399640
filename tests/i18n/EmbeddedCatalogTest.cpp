#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "I18nTestSupport.h"
#include "gnugettext.h"

namespace {

const std::string kMarker = "6637DB2E-62E1-4A60-AC19-C23867046A89";

void PutLittleEndian64(std::string& out, size_t at, uint64_t value) {
  for (int i = 0; i < 8; ++i) out[at + size_t(i)] = char((value >> (8 * i)) & 0xff);
}

struct TRecord {
  uint64_t offset;
  uint64_t size;
  std::string name;
};

// Appends a chain of records (and its terminator) to file; returns where it starts.
uint64_t AppendChain(std::string& file, const std::vector<TRecord>& records) {
  const uint64_t start = file.size();
  for (const TRecord& r : records) {
    const size_t at = file.size();
    file.append(24, '\0');
    PutLittleEndian64(file, at, at + 24 + r.name.size());
    PutLittleEndian64(file, at + 8, r.offset);
    PutLittleEndian64(file, at + 16, r.size);
    file += r.name;
  }
  file.append(8, '\0');
  return start;
}

std::string RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[256];
  size_t got;
  while (pipe && (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, got);
  return out;
}

// A copy of the probe program with the given catalog appended as locale/de/LC_MESSAGES/default.mo.
std::string ProbeWithEmbeddedCatalog(const TScratchDir& dir, const std::string& catalogName,
                                     const std::string& entryName) {
  std::string exe = ReadFile(I18N_TEST_PROBE);
  const size_t marker = exe.find(kMarker);
  EXPECT_NE(marker, std::string::npos);
  EXPECT_EQ(exe.find(kMarker, marker + 1), std::string::npos) << "the marker must be unique";
  if (!catalogName.empty()) {
    const std::string catalog = ReadFile(CatalogFile(catalogName));
    const uint64_t catalogOffset = exe.size();
    exe += catalog;
    PutLittleEndian64(exe, marker + kMarker.size(),
                      AppendChain(exe, {{catalogOffset, catalog.size(), entryName}}));
  }
  const std::string path = dir.Put("app/probe", exe);
  chmod(path.c_str(), 0700);
  return path;
}

}  // namespace

TEST(EmbeddedCatalogs, NoneInTheExecutableAsBuilt) { EXPECT_EQ(EmbeddedCatalogTableOffset(), 0u); }

TEST(EmbeddedCatalogs, ChainIsReadUntilItsEnd) {
  TScratchDir dir;
  std::string file(100, 'E');
  const uint64_t table = AppendChain(file, {{10, 20, "locale/de/LC_MESSAGES/default.mo"},
                                           {30, 40, " \tlocale/tr/LC_MESSAGES/cport.mo\r\n"}});
  const std::string exe = dir.Put("app/program", file);
  const TAssemblyAnalyzer analyzer(exe, table);
  ASSERT_EQ(analyzer.Count(), 2u);
  EXPECT_EQ(analyzer.ExecutableDirectory(), dir.Path() + "/app/");
  const auto de = analyzer.FindByPath(dir.Path() + "/app/locale/de/LC_MESSAGES/default.mo");
  ASSERT_TRUE(de);
  EXPECT_EQ(de->Offset, 10u);
  EXPECT_EQ(de->Size, 20u);
  const auto tr = analyzer.FindByPath(dir.Path() + "/app/LOCALE/TR/lc_messages/CPORT.MO");
  ASSERT_TRUE(tr);
  EXPECT_EQ(tr->Offset, 30u);
  EXPECT_FALSE(analyzer.FindByPath(dir.Path() + "/APP/locale/de/LC_MESSAGES/default.mo"));
  EXPECT_FALSE(analyzer.FindByPath(dir.Path() + "/other/locale/de/LC_MESSAGES/default.mo"));
  EXPECT_FALSE(analyzer.FindByPath("locale/de/LC_MESSAGES/default.mo"));
}

TEST(EmbeddedCatalogs, AFaultyChainEndsSilentlyKeepingWhatWasRead) {
  struct TCase {
    const char* what;
    size_t expectedCount;
    std::function<uint64_t(std::string&)> build;  // returns the table offset
  };
  const std::vector<TCase> cases = {
      {"duplicate name", 1,
       [](std::string& f) { return AppendChain(f, {{0, 1, "a.mo"}, {0, 1, "A.MO"}, {0, 1, "b.mo"}}); }},
      {"data beyond the end", 1,
       [](std::string& f) { return AppendChain(f, {{0, 1, "a.mo"}, {50, 1u << 20, "b.mo"}}); }},
      {"data offset wrapping around", 1,
       [](std::string& f) { return AppendChain(f, {{0, 1, "a.mo"}, {~0ull - 4, 10, "b.mo"}}); }},
      {"record cut short", 1,
       [](std::string& f) {
         const uint64_t t = AppendChain(f, {{0, 1, "a.mo"}, {0, 1, "b.mo"}});
         f.resize(f.size() - 20);
         return t;
       }},
      {"next record beyond the end", 1,
       [](std::string& f) {
         const uint64_t t = AppendChain(f, {{0, 1, "a.mo"}, {0, 1, "b.mo"}});
         PutLittleEndian64(f, t + 28, 1u << 30);
         return t;
       }},
      {"next record pointing back", 1,
       [](std::string& f) {
         const uint64_t t = AppendChain(f, {{0, 1, "a.mo"}, {0, 1, "b.mo"}});
         PutLittleEndian64(f, t + 28, t);
         return t;
       }},
      {"blank name", 1, [](std::string& f) { return AppendChain(f, {{0, 1, "a.mo"}, {0, 1, " \n"}}); }},
      {"name too long", 0,
       [](std::string& f) { return AppendChain(f, {{0, 1, std::string(5000, 'n')}}); }},
      {"table beyond the end", 0, [](std::string& f) { return f.size() + 100; }},
      {"no table", 0, [](std::string&) { return uint64_t(0); }},
  };
  for (const TCase& c : cases) {
    TScratchDir dir;
    std::string file(64, 'E');
    const uint64_t table = c.build(file);
    const TAssemblyAnalyzer analyzer(dir.Put("program", file), table);
    EXPECT_EQ(analyzer.Count(), c.expectedCount) << c.what;
    if (c.expectedCount > 0) {
      EXPECT_TRUE(analyzer.FindByPath(dir.Path() + "/a.mo")) << c.what;
    }
  }
  EXPECT_EQ(TAssemblyAnalyzer("/nonexistent/program", 64).Count(), 0u);
}

TEST(EmbeddedCatalogs, ProgramTranslatesFromACatalogAppendedToItself) {
  TScratchDir dir;
  const std::string command = " 'Cancel' 'Unable to open com port'";
  const std::string plain = ProbeWithEmbeddedCatalog(dir, "", "");
  EXPECT_EQ(RunCommand("LANG=de_DE.UTF-8 '" + plain + "'" + command), "Cancel\nUnable to open com port\n");

  TScratchDir other;
  const std::string packed =
      ProbeWithEmbeddedCatalog(other, "default_de.mo", "Locale/de/LC_MESSAGES/Default.mo");
  EXPECT_EQ(RunCommand("LANG=de_DE.UTF-8 '" + packed + "'" + command),
            "Abbrechen\nCOM-Port kann nicht geöffnet werden\n");
  EXPECT_EQ(RunCommand("LANG=fr_FR.UTF-8 '" + packed + "'" + command), "Cancel\nUnable to open com port\n");
}
