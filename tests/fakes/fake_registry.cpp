#include "fakes/fake_registry.hpp"

#include "core/text.hpp"

namespace kavrin::fakes {

namespace {

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, std::string path) : registry_(registry), path_(std::move(path)) {}

  QueryResult QueryString(const std::string& name, std::string& value) override {
    Record("query " + name);
    const auto found = Values().find(UpperAscii(name));
    if (found == Values().end()) return QueryResult::Missing;
    if (found->second.Type == FakeValueType::Dword) return QueryResult::WrongType;
    value = found->second.Data;
    return QueryResult::String;
  }

  bool SetString(const std::string& name, const std::string& value) override {
    Record("set " + name + "=" + value);
    if (registry_.failEverySet || UpperAscii(name) == UpperAscii(registry_.failSetOf)) return false;
    Values()[UpperAscii(name)] = FakeValue{FakeValueType::String, value};
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
  keys[path][UpperAscii(name)] = FakeValue{type, data};
}

}  // namespace kavrin::fakes
