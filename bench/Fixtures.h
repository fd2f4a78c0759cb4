#pragma once

#include <map>
#include <memory>

// One fixture per size, built on first use and kept for every benchmark that asks again.
template <typename Fixture> Fixture& fixtureOfSize(int n) {
    static std::map<int, std::unique_ptr<Fixture>> all;
    auto& f = all[n];
    if (!f)
        f = std::make_unique<Fixture>(n);
    return *f;
}
