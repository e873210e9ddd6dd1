// A recovery file as a start reads it: whatever the bytes, a board comes out
// only when they hold one whole, and that board written again reads back the
// same, its records first, as a drop of the file loads them.

#include "fuzz_common.h"

#include "foundation/textlist.h"
#include "storage/recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto board = kab::storage::recoveredBoard(fuzz::bytes(data, size));
    if (!board) return 0;
    const kab::TextList records = kab::storage::boardRecords(*board);
    const std::string again =
        kab::storage::recoveryFileBytes(records.text(), kab::storage::encodeBoard(*board));
    fuzz::require(kab::storage::recoveredBoard(again) == board, "a board written again reads back");
    kab::TextList lines;
    lines.setText(again.substr(0, again.find("\r\n\r\n") + 2));
    fuzz::require(lines.lines() == records.lines(), "the records come first");
    return 0;
}
