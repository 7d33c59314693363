#include <memory>

#include "twds/FileRegistryStore.h"
#include "twds/Registry.h"

namespace twds {

// Systems without a Windows registry keep the same keys and values in files.
std::unique_ptr<RegistryStore> CreateSystemRegistry(const EnvironmentLookup& environment) {
    return std::make_unique<FileRegistryStore>(FileRegistryStore::defaultFolder(environment));
}

}  // namespace twds
