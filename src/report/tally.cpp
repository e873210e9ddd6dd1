#include "report/tally.h"

#include <algorithm>
#include <map>

namespace kab::report {

bool overlaps(const Shift& a, const Shift& b) {
    return a.startMs < b.endMs && b.startMs < a.endMs && a.startMs < a.endMs && b.startMs < b.endMs;
}

Tally tally(const std::vector<Day>& days) {
    Tally t;
    std::map<SjisString, PersonTotal> persons;
    for (const Day& day : days) {
        std::vector<const Shift*> named;
        for (const Shift& s : day.shifts) {
            if (!s.named()) {
                t.unnamed.push_back(s);
                t.unnamedHours += s.hours;
                continue;
            }
            named.push_back(&s);
            PersonTotal& p = persons[s.a.name];
            p.name = s.a.name;
            p.hours += s.hours;
            t.total += s.hours;
            ++p.shifts;
        }
        // a day counts once for each name on it
        std::stable_sort(named.begin(), named.end(), [](const Shift* a, const Shift* b) {
            return a->a.name != b->a.name ? a->a.name < b->a.name : a->startMs < b->startMs;
        });
        for (std::size_t i = 0; i < named.size(); ++i) {
            if (i == 0 || named[i]->a.name != named[i - 1]->a.name)
                ++persons[named[i]->a.name].days;
            for (std::size_t j = i + 1; j < named.size() && named[j]->a.name == named[i]->a.name;
                 ++j)
                if (overlaps(*named[i], *named[j]))
                    t.doubleBookings.push_back({*named[i], *named[j]});
        }
    }
    for (auto& [name, p] : persons)
        t.persons.push_back(std::move(p));
    return t;
}

} // namespace kab::report
