// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A registry held in memory, where nothing persists: the store of runs that
// keep no settings, and the base of the test registries.

#include <map>

#include "core/settings/reg_hive.h"
#include "core/settings/registry.h"

namespace wp2 {

class MemoryRegistry : public Registry {
public:
    Result<> createKey(RegRoot root, const std::string& path) override;
    Result<> openKey(RegRoot root, const std::string& path) override;
    Result<RegValue> queryValue(RegRoot root, const std::string& path,
                                const std::string& name) override;
    Result<> setValue(RegRoot root, const std::string& path, const std::string& name,
                      const RegValue& value) override;
    Result<> deleteValue(RegRoot root, const std::string& path, const std::string& name) override;
    std::vector<std::pair<std::string, RegValue>> listValues(RegRoot root,
                                                             const std::string& path) override;

    RegHive& hive(RegRoot root) { return hives_[root]; }
    void clear() { hives_.clear(); }

private:
    std::map<RegRoot, RegHive> hives_;
};

}  // namespace wp2
