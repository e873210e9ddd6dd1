// The day file of the month and day on show, which the load, the save and
// the day's navigation use, and today's seeding from the sample day.

#include "window/shell/unit1.h"

#include "foundation/files.h"
#include "storage/dayfile.h"
#include "storage/folder.h"
#include "storage/seeding.h"
#include "toolkit/environment.h"
#include "toolkit/picker.h"

namespace kab {

FilePath TForm1::dayFilePath() const {
    return storage::dayFilePath(dataDir_, currentMonth_, dtp0->value());
}

void TForm1::seedTodaysFile() {
    // the sample becomes today's file the first time there is none; the
    // rename's result is not looked at, and it never replaces a file
    const FilePath name = storage::dayFilePath(dataDir_, currentMonth_, env_.today());
    const FilePath sample = dataDir_ + FilePath(storage::sampleDayName);
    if (!fileExists(name) && storage::isPlainFile(sample)) renameFile(sample, name);
}

} // namespace kab
