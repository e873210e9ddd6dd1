#pragma once
// A run of program assignments to the editor's boxes that nobody sees until it
// ends. While a batch is open, a box without the focus keeps each text or
// value it is given as its own, answers with it and runs its change handler as
// before, and takes the last one into Qt's control only when the batch closes,
// on every way out. Qt formats, validates and lays out that one alone: a day
// of fifty records passes fifty values through the editor, and the user sees
// the last.

#include <QPointer>
#include <QWidget>
#include <vector>

namespace kab::tk {

class ControlBatch {
public:
    ControlBatch();
    ~ControlBatch();
    ControlBatch(const ControlBatch&) = delete;
    ControlBatch& operator=(const ControlBatch&) = delete;

    // Whether a box may hold back what it is given: a batch is open and the
    // user is not at the box.
    static bool defers(const QWidget* box);
    // The box holds something back and shows it when the batch closes.
    static void holding(QWidget* box);

private:
    static int depth_;
    static std::vector<QPointer<QWidget>> held_;
};

} // namespace kab::tk
