// Catalog lookups against glibc's dgettext on the same 10,000-entry catalog, the whole
// TranslateInDomain, and opening a catalog.
#include <libintl.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gnugettext.h"

namespace {

using Clock = std::chrono::steady_clock;
const std::string kDirectory = BENCH_I18N_CATALOGS;
constexpr const char* kDomain = "bench";
constexpr const char* kLanguage = "xx";
constexpr int kRounds = 15;

uint32_t Word(const std::string& bytes, size_t at) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

// The catalog's source strings, header left out (msgfmt writes native byte order).
std::vector<std::string> SourceStrings(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string mo = buffer.str();
  std::vector<std::string> out;
  if (mo.size() < 28 || Word(mo, 0) != TMoCatalog::kMagic) return out;
  const uint32_t count = Word(mo, 8), table = Word(mo, 12);
  for (uint32_t i = 0; i < count; ++i) {
    std::string s = mo.substr(Word(mo, table + 8 * i + 4), Word(mo, table + 8 * i));
    if (!s.empty()) out.push_back(std::move(s));
  }
  return out;
}

// Nanoseconds per text of the fastest of several passes over all texts.
double NanosecondsPerText(const std::vector<std::string>& texts,
                          const std::function<size_t(const std::string&)>& lookup, size_t* sink) {
  double best = 1e18;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    for (const std::string& text : texts) *sink += lookup(text);
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    best = std::min(best, ns / double(texts.size()));
  }
  return best;
}

void Print(const char* name, double value, const char* unit) {
  std::printf("BENCH %s %.3f %s\n", name, value, unit);
}

}  // namespace

int main() {
  const std::string catalog = kDirectory + "/" + kLanguage + "/LC_MESSAGES/" + kDomain + ".mo";
  std::vector<std::string> hits = SourceStrings(catalog);
  if (hits.size() < 10000) {
    std::fprintf(stderr, "catalog %s has %zu entries\n", catalog.c_str(), hits.size());
    return 1;
  }
  std::vector<std::string> misses;
  for (const std::string& hit : hits) misses.push_back(hit + "?");
  std::mt19937 random(7);
  std::shuffle(hits.begin(), hits.end(), random);
  std::shuffle(misses.begin(), misses.end(), random);

  // glibc translates only outside the C locale; C.UTF-8 needs no generated locale.
  setenv("LC_ALL", "C.UTF-8", 1);
  setenv("LANGUAGE", kLanguage, 1);
  std::setlocale(LC_ALL, "");
  bindtextdomain(kDomain, kDirectory.c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");

  TDomain domain(kDomain, kDirectory, kLanguage, nullptr);
  TGnuGettextInstance translator(kDirectory);
  translator.SelectLanguage(kLanguage);

  auto ours = [&](const std::string& text) {
    size_t length = 0;
    domain.Lookup(text, [&](std::string_view found) { length = found.size(); });
    return length;
  };
  auto glibc = [&](const std::string& text) {
    const char* found = dgettext(kDomain, text.c_str());
    return found == text.c_str() ? size_t(0) : std::strlen(found);
  };
  auto whole = [&](const std::string& text) { return translator.TranslateInDomain(kDomain, text).size(); };

  for (const std::string& text : {hits[0], hits[1], hits[2]}) {
    std::string mine;
    domain.Lookup(text, [&](std::string_view found) { mine = found; });
    if (mine.empty() || mine != dgettext(kDomain, text.c_str())) {
      std::fprintf(stderr, "glibc and this catalog disagree on \"%s\"\n", text.c_str());
      return 1;
    }
  }

  size_t sink = 0;
  double oursHit = 1e18, glibcHit = 1e18, oursMiss = 1e18, glibcMiss = 1e18, wholeHit = 1e18;
  for (int pass = 0; pass < 3; ++pass) {  // interleaved, as the machine is shared
    oursHit = std::min(oursHit, NanosecondsPerText(hits, ours, &sink));
    glibcHit = std::min(glibcHit, NanosecondsPerText(hits, glibc, &sink));
    oursMiss = std::min(oursMiss, NanosecondsPerText(misses, ours, &sink));
    glibcMiss = std::min(glibcMiss, NanosecondsPerText(misses, glibc, &sink));
    wholeHit = std::min(wholeHit, NanosecondsPerText(hits, whole, &sink));
  }

  double open = 1e18;
  for (int batch = 0; batch < 5; ++batch) {
    double total = 0;
    constexpr int kOpens = 400;
    for (int i = 0; i < kOpens; ++i) {
      domain.SetLanguage(kLanguage);  // closes the catalog
      const auto start = Clock::now();
      sink += ours(hits[size_t(i)]);
      total += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    }
    open = std::min(open, total / kOpens);
  }

  Print("mo_lookup_hit", oursHit, "ns");
  Print("glibc_dgettext_hit", glibcHit, "ns");
  Print("mo_lookup_miss", oursMiss, "ns");
  Print("glibc_dgettext_miss", glibcMiss, "ns");
  Print("mo_lookup_hit_ratio", oursHit / glibcHit, "x");
  Print("mo_lookup_miss_ratio", oursMiss / glibcMiss, "x");
  Print("translate_in_domain_hit", wholeHit, "ns");
  Print("mo_open", open, "us");
  return sink == 0 ? 1 : 0;
}
