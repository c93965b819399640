#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "I18nTestSupport.h"
#include "gnugettext.h"

namespace {

// Bytes on the heap at their exact size, so a read past the end is caught by AddressSanitizer.
struct THeld {
  explicit THeld(const std::string& s) : bytes(s.begin(), s.end()) {}
  const unsigned char* data() const { return bytes.empty() ? nullptr : bytes.data(); }
  std::vector<unsigned char> bytes;
};

std::string Key(int i) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "k%05d", i);
  return buffer;
}

void SetWord(std::string& mo, size_t at, uint32_t value) { std::memcpy(&mo[at], &value, 4); }

}  // namespace

TEST(MoCatalog, BinarySearchFindsEveryEntryAndNothingBetween) {
  for (bool bigEndian : {false, true}) {
    for (int count : {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 31, 33, 63, 64, 65, 100, 127, 128,
                      129, 1000, 1025}) {
      TEntries entries;
      for (int i = 0; i < count; ++i) entries.emplace_back(Key(2 * i + 1), "t" + Key(2 * i + 1));
      const THeld mo(MakeMo(entries, bigEndian));
      TMoCatalog catalog;
      ASSERT_TRUE(catalog.Attach(mo.data(), mo.bytes.size()));
      ASSERT_EQ(catalog.Count(), uint32_t(count));
      EXPECT_EQ(catalog.Swapped(), bigEndian);
      for (int i = 0; i <= 2 * count; ++i) {
        const auto found = catalog.Find(Key(i));
        if (i % 2 == 1) {
          ASSERT_TRUE(found) << count << " entries, key " << i;
          EXPECT_EQ(*found, "t" + Key(i));
        } else {
          EXPECT_FALSE(found) << count << " entries, key " << i;
        }
      }
      EXPECT_FALSE(catalog.Find(""));
      EXPECT_FALSE(catalog.Find("k"));
      EXPECT_FALSE(catalog.Find(Key(1) + "x"));
    }
  }
}

TEST(MoCatalog, FindsABAndCButNotBB) {
  const THeld mo(ReadFile(CatalogFile("abc.mo")));
  TMoCatalog catalog;
  ASSERT_TRUE(catalog.Attach(mo.data(), mo.bytes.size()));
  EXPECT_EQ(catalog.Count(), 4u);  // with the header entry ""
  EXPECT_EQ(catalog.Find("a").value_or("?"), "A");
  EXPECT_EQ(catalog.Find("b").value_or("?"), "B");
  EXPECT_EQ(catalog.Find("c").value_or("?"), "C");
  for (const char* missing : {"bb", "d", "A", "ab", "0"}) EXPECT_FALSE(catalog.Find(missing)) << missing;
}

TEST(MoCatalog, BytesCompareUnsignedWithPrefixFirst) {
  const TEntries entries = {{"a", "1"}, {"a\x7f", "2"}, {"a\x80", "3"}, {"a\xff", "4"}, {"ab", "5"}};
  const THeld mo(MakeMo(entries));
  TMoCatalog catalog;
  ASSERT_TRUE(catalog.Attach(mo.data(), mo.bytes.size()));
  for (const auto& [source, translation] : entries)
    EXPECT_EQ(catalog.Find(source).value_or("?"), translation);
}

TEST(MoCatalog, HandCraftedEmptyCatalogTranslatesNothing) {
  std::string empty(28, '\0');
  SetWord(empty, 0, 0x950412de);
  SetWord(empty, 12, 28);
  SetWord(empty, 16, 28);
  SetWord(empty, 24, 28);
  const THeld mo(empty);
  TMoCatalog catalog;
  ASSERT_TRUE(catalog.Attach(mo.data(), mo.bytes.size()));
  EXPECT_EQ(catalog.Count(), 0u);
  EXPECT_FALSE(catalog.Find(""));
  EXPECT_FALSE(catalog.Find("a"));
}

TEST(MoCatalog, RefusesHeadersThatDoNotFit) {
  const std::string good = MakeMo({{"a", "A"}, {"b", "B"}});  // tables at 28 and 44
  struct TCase {
    const char* what;
    std::string bytes;
    bool accepted;
  };
  auto with = [&](size_t at, uint32_t value) {
    std::string mo = good;
    SetWord(mo, at, value);
    return mo;
  };
  const std::vector<TCase> cases = {
      {"empty file", "", false},
      {"27 bytes", good.substr(0, 27), false},
      {"wrong magic", with(0, 0x12345678), false},
      {"magic of another format", with(0, 0x00000000), false},
      {"huge N", with(8, 0xffffffff), false},
      {"N reaching past the end", with(8, uint32_t((good.size() - 44) / 8 + 1)), false},
      {"source table past the end", with(12, uint32_t(good.size())), false},
      {"source table at 4 GiB", with(12, 0xfffffff8), false},
      {"translation table past the end", with(16, uint32_t(good.size() - 8)), false},
      {"translation table at 4 GiB", with(16, 0xffffffff), false},
      {"tables ending exactly at the end", with(8, uint32_t((good.size() - 44) / 8)), true},
      {"the catalog as written", good, true},
  };
  for (const TCase& c : cases) {
    const THeld mo(c.bytes);
    TMoCatalog catalog;
    EXPECT_EQ(catalog.Attach(mo.data(), mo.bytes.size()), c.accepted) << c.what;
    if (!c.accepted) {
      EXPECT_EQ(catalog.Count(), 0u) << c.what;
      EXPECT_FALSE(catalog.Find("a")) << c.what;
    }
  }
}

TEST(MoCatalog, EntriesPointingOutsideAreNeverRead) {
  const std::string good = MakeMo({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  // Source entry i at 28 + 8i, translation entry i at 52 + 8i, each {length, offset}. Every
  // search probes entry 1 first; "a" then probes entry 0 and "c" entry 2.
  struct TCase {
    const char* what;
    size_t at;
    uint32_t value;
    const char* results;  // for "a", "b", "c"; '-' for none
  };
  const std::vector<TCase> cases = {
      {"first probe's offset past the end", 28 + 8 + 4, 0xfffffff0, "---"},
      {"first probe's length past the end", 28 + 8, 0x7fffffff, "---"},
      {"later probe's offset past the end", 28 + 4, 0xffffffff, "-BC"},
      {"translation offset past the end", 52 + 8 + 4, uint32_t(good.size()), "A-C"},
      {"translation length past the end", 52 + 8, uint32_t(good.size()), "A-C"},
      {"translation ending exactly at the end", 52 + 8 + 4, uint32_t(good.size() - 1), "A#C"},
  };
  for (const TCase& c : cases) {
    std::string bad = good;
    SetWord(bad, c.at, c.value);
    const THeld mo(bad);
    TMoCatalog catalog;
    ASSERT_TRUE(catalog.Attach(mo.data(), mo.bytes.size())) << c.what;
    std::string results;
    for (const char* source : {"a", "b", "c"}) {
      const auto found = catalog.Find(source);
      results += !found ? "-" : *found == std::string(1, '\0') ? "#" : std::string(*found);
    }
    EXPECT_EQ(results, c.results) << c.what;
  }
}

// msgfmt writes the sources sorted, each once; a catalog that is not searched by halves as it
// always was, finding what a binary search over its order finds and nothing else.
TEST(MoCatalog, SourcesOutOfOrderOrTwiceAreSearchedByHalvesAsTheyStand) {
  const std::string good = MakeMo({{"a", "A"}, {"b", "B"}, {"c", "C"}});
  auto swapEntries = [](std::string mo, size_t table, size_t i, size_t j) {
    std::string first = mo.substr(table + 8 * i, 8);
    mo.replace(table + 8 * i, 8, mo.substr(table + 8 * j, 8));
    mo.replace(table + 8 * j, 8, first);
    return mo;
  };
  std::string twice = good;
  twice.replace(28 + 16, 8, good.substr(28 + 8, 8));  // source 2 is "b" again
  const struct {
    const char* what;
    std::string bytes;
    const char* results;  // for "a", "b", "c"; '-' for none
  } cases[] = {
      {"sorted", good, "ABC"},
      {"reversed", swapEntries(swapEntries(good, 28, 0, 2), 52, 0, 2), "-B-"},
      {"b twice", twice, "AB-"},
  };
  for (const auto& c : cases) {
    const THeld mo(c.bytes);
    TMoCatalog catalog;
    ASSERT_TRUE(catalog.Attach(mo.data(), mo.bytes.size())) << c.what;
    std::string results;
    for (const char* source : {"a", "b", "c"}) results += std::string(catalog.Find(source).value_or("-"));
    EXPECT_EQ(results, c.results) << c.what;
  }
}

TEST(MoCatalog, ReadsTablesAtOddOffsets) {
  std::string mo = MakeMo({{"a", "A"}, {"b", "B"}});
  // Move both tables one byte up; strings stay where they are.
  std::string shifted = mo.substr(0, 28) + '\0' + mo.substr(28, 32) + mo.substr(60);
  SetWord(shifted, 12, 29);
  SetWord(shifted, 16, 45);
  for (size_t entry = 0; entry < 4; ++entry) {
    uint32_t offset;
    std::memcpy(&offset, &shifted[29 + 8 * entry + 4], 4);
    SetWord(shifted, 29 + 8 * entry + 4, offset + 1);
  }
  const THeld held(shifted);
  TMoCatalog catalog;
  ASSERT_TRUE(catalog.Attach(held.data(), held.bytes.size()));
  EXPECT_EQ(catalog.Find("a").value_or("?"), "A");
  EXPECT_EQ(catalog.Find("b").value_or("?"), "B");
}
