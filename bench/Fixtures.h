#pragma once

#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

// What releaseFixtures() drops: one entry per kind of fixture built so far.
inline std::vector<std::function<void()>>& fixtureReleasers() {
    static std::vector<std::function<void()>> all;
    return all;
}

// Drops every fixture kept by fixtureFor. The GUI benchmarks call it before their
// QApplication ends: fixtures holding forms must not outlive it.
inline void releaseFixtures() {
    for (auto& release : fixtureReleasers())
        release();
}

// One fixture per key, built from the key on first use and kept for every benchmark that
// asks again, until releaseFixtures().
template <typename Fixture, typename... Key> Fixture& fixtureFor(const Key&... key) {
    static std::map<std::tuple<Key...>, std::unique_ptr<Fixture>> all;
    static const bool registered = [] {
        fixtureReleasers().push_back([] { all.clear(); });
        return true;
    }();
    (void)registered;
    auto& f = all[std::tuple<Key...>(key...)];
    if (!f)
        f = std::make_unique<Fixture>(key...);
    return *f;
}

template <typename Fixture> Fixture& fixtureOfSize(int n) {
    return fixtureFor<Fixture>(n);
}
