// Saving the board: every placed block's record, sorted, replaces the day
// file of the month and day on show.

#include "shell/unit1.h"

#include "storage/dayfile.h"
#include "toolkit/environment.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"

namespace kab {

void TForm1::spb3Click() {
    std::vector<storage::BlockText> blocks;
    blocks.reserve(kBlocks);
    for (const tk::Panel* p : panels)
        blocks.push_back({p->y(), p->hint(), p->caption()});
    // All records are built before anything is written: a block that fails
    // leaves the day file as it was. The file is replaced whole, through a
    // synced temporary file, so no crash leaves half a day behind.
    const TextList records = storage::buildDayRecords(blocks);
    env_.replaceFile(dayFilePath(), records.text());
}

} // namespace kab
