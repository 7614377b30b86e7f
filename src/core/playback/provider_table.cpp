#include "core/playback/provider_table.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/playback/vdtm_provider.h"

namespace vidora {

void ProviderTable::Enter(std::unique_ptr<StreamAddressProvider> provider) {
  if (provider == nullptr) return;
  const std::string name = provider->name();
  providers_[name] = std::move(provider);
}

StreamAddressProvider* ProviderTable::Find(std::string_view name) const {
  auto it = providers_.find(name);
  return it == providers_.end() ? nullptr : it->second.get();
}

void ProviderTable::Clear() { providers_.clear(); }

ProviderTable& Providers() {
  static ProviderTable table;
  return table;
}

namespace {

std::vector<ProviderFactory>& Factories() {
  static std::vector<ProviderFactory> factories;
  return factories;
}

}  // namespace

void AddProviderFactory(ProviderFactory factory) {
  std::vector<ProviderFactory>& factories = Factories();
  if (std::find(factories.begin(), factories.end(), factory) == factories.end()) factories.push_back(factory);
}

void CreateProviders() {
  Providers().Enter(std::unique_ptr<StreamAddressProvider>(new (std::nothrow) VdtmProvider));
  for (ProviderFactory factory : Factories()) Providers().Enter(factory());
}

void DestroyProviders() { Providers().Clear(); }

std::optional<std::u16string> ResolveAddress(std::u16string_view address, std::string_view provider_name) {
  StreamAddressProvider* provider = Providers().Find(provider_name);
  if (provider == nullptr) return std::nullopt;
  return provider->Resolve(address);
}

}  // namespace vidora
