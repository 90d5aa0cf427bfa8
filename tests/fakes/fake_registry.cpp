#include "fakes/fake_registry.hpp"

#include "core/text.hpp"

namespace kavrin::fakes {

namespace {

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, std::string path) : registry_(registry), path_(std::move(path)) {}

  QueryResult QueryStringValue(const std::string& name, StringValue& value) override {
    Record("query " + name);
    const auto found = Values().find(UpperAscii(name));
    if (found == Values().end()) return QueryResult::Missing;
    const FakeValue& stored = found->second;
    if (stored.Type == FakeValueType::Dword) return QueryResult::WrongType;
    value.Expandable = stored.Type == FakeValueType::ExpandString;
    value.Data = stored.Terminated ? stored.Data + '\0' : stored.Data;
    return QueryResult::String;
  }

  bool SetStringValue(const std::string& name, const StringValue& value) override {
    const bool terminated = !value.Data.empty() && value.Data.back() == '\0';
    const std::string text = terminated ? value.Data.substr(0, value.Data.size() - 1) : value.Data;
    Record("set " + name + "=" + text + (value.Expandable ? " (expandable)" : "") +
           (terminated ? "" : " (unterminated)"));
    if (registry_.failEverySet || UpperAscii(name) == UpperAscii(registry_.failSetOf)) return false;
    Values()[UpperAscii(name)] =
        FakeValue{value.Expandable ? FakeValueType::ExpandString : FakeValueType::String, text, terminated};
    return true;
  }

  void DeleteValue(const std::string& name) override {
    Record("delete " + name);
    Values().erase(UpperAscii(name));
  }

 private:
  std::map<std::string, FakeValue>& Values() { return registry_.keys[path_]; }
  void Record(const std::string& call) {
    registry_.calls.push_back(call);
    if (registry_.journal) registry_.journal->push_back("registry " + call);
  }

  FakeRegistry& registry_;
  std::string path_;
};

}  // namespace

std::unique_ptr<RegistryKey> FakeRegistry::OpenOrCreateCurrentUserKey(const std::string& path) {
  ++opens;
  if (journal) journal->push_back("registry open");
  if (failOpen) return nullptr;
  keys[path];
  return std::make_unique<FakeKey>(*this, path);
}

const FakeValue* FakeRegistry::Value(const std::string& path, const std::string& name) const {
  const auto key = keys.find(path);
  if (key == keys.end()) return nullptr;
  const auto value = key->second.find(UpperAscii(name));
  return value == key->second.end() ? nullptr : &value->second;
}

void FakeRegistry::Put(const std::string& path, const std::string& name, const std::string& data, FakeValueType type) {
  keys[path][UpperAscii(name)] = FakeValue{type, data, true};
}

}  // namespace kavrin::fakes
