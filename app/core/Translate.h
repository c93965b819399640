#pragma once
// The program's own English texts in the user's language, through the message catalogs
// (unchanged before start-up and when no catalog has them). A text is written out where it is
// translated, so that the catalogs' check finds it: Tr("Written: %1", path).
#include <string>

namespace varo {

std::string Tr(const char* source);
// With %1, %2, ... put in after translating, so that a translation may move them.
std::string Tr(const char* source, const std::string& first);
std::string Tr(const char* source, const std::string& first, const std::string& second);

}  // namespace varo
