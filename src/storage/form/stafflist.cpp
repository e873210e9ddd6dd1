// The staff list: the name box's entries, and the button that opens the list
// in the desktop's editor.

#include "shell/unit1.h"

#include "foundation/files.h"
#include "foundation/textlist.h"
#include "shell/blockstate.h"
#include "storage/stafflist.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/text.h"

namespace kab {

void TForm1::fillNameBox() {
    const FilePath path = storage::staffListPath(dataDir_);
    cmb1->setItems(storage::readStaffNames(path));
    cmb1->insertItem(0, SjisString(blockstate::kNoName));
    cmb1->setCurrentIndex(0);
}

void TForm1::sbtn1Click() {
    // whatever the letter case of the list's name on disk; the result is
    // not looked at, and the list is read again only at the next start
    env_.openFile(tk::pathToQt(storage::staffListPath(dataDir_)));
}

} // namespace kab
