#include "fakes/fake_text_services.hpp"

#include "core/text.hpp"

namespace kavrin::fakes {

int FakeCollation::CompareIgnoreCase(const std::string& a, const std::string& b) {
  ++comparisons;
  return UpperAscii(a).compare(UpperAscii(b));
}

std::string FakeErrorTexts::SystemErrorText(std::uint32_t code) {
  asked.push_back(code);
  const auto found = texts.find(code);
  return found == texts.end() ? std::string() : found->second;
}

}  // namespace kavrin::fakes
