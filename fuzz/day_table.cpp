// A table pasted from a spreadsheet: either it is refused by one of its
// lines, or every record it gives is one the load reads without an error
// and the table written from those records reads back as the same records.

#include "fuzz_common.h"

#include "foundation/datetime.h"
#include "foundation/numbers.h"
#include "storage/dayfile.h"
#include "storage/dayread.h"
#include "storage/daytable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kab::TextList records;
    if (!fuzz::tolerant([&] { records = kab::storage::readDayTable(fuzz::bytes(data, size)); }))
        return 0;
    fuzz::require(records.count() > 0 && records.count() <= kab::storage::maxDayLines,
                  "one to fifty blocks");
    for (const auto& record : records.lines()) {
        const auto field = kab::storage::splitRecord(record);
        fuzz::require(field[3].size() > 0, "a name");
        fuzz::require(fuzz::tolerant([&] {
                          kab::strToInt(field[0]);
                          kab::strToDateTime(field[1], 2026);
                          kab::strToFloat(field[2]);
                      }),
                      "the load reads what the table gave");
    }
    const std::string text = kab::storage::dayTableText(records);
    kab::TextList back;
    fuzz::require(fuzz::tolerant([&] { back = kab::storage::readDayTable(text); }),
                  "the table written reads back");
    fuzz::require(back.text() == records.text(), "the same records");
    return 0;
}
