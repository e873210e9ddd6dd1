#include "report/stafforder.h"

#include <algorithm>
#include <map>

namespace kab::report {

namespace {

template <class T>
void order(std::vector<T>& items, const std::vector<SjisString>& staff, bool unnamedLast) {
    std::map<SjisString, std::size_t> place;
    for (std::size_t i = 0; i < staff.size(); ++i)
        place.emplace(staff[i], i);
    const auto key = [&](const T& t) {
        if (unnamedLast && t.name.empty()) return staff.size() + 1;
        const auto it = place.find(t.name);
        return it == place.end() ? staff.size() : it->second;
    };
    std::stable_sort(items.begin(), items.end(),
                     [&](const T& a, const T& b) { return key(a) < key(b); });
}

} // namespace

void orderByStaff(std::vector<PersonTotal>& persons, const std::vector<SjisString>& staff) {
    order(persons, staff, false);
}

void orderByStaff(std::vector<PageTotal>& totals, const std::vector<SjisString>& staff) {
    order(totals, staff, true);
}

} // namespace kab::report
