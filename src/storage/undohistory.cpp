#include "storage/undohistory.h"

#include "foundation/errors.h"
#include "storage/dayfile.h"

#include <unistd.h>

namespace kab::storage {

std::optional<FieldEdit> fieldEdit(const BoardState& before, const BoardState& after) {
    if (before.stack != after.stack) return std::nullopt;
    int changed = 0;
    for (std::size_t i = 0; i < before.blocks.size(); ++i) {
        if (before.blocks[i] == after.blocks[i]) continue;
        if (changed != 0) return std::nullopt;
        changed = int(i) + 1;
    }
    if (changed == 0) return std::nullopt;
    const BlockState& a = before.blocks[std::size_t(changed - 1)];
    const BlockState& b = after.blocks[std::size_t(changed - 1)];
    // the same block on the same row, placed before and after, its name kept
    if (a.top != b.top || a.tag != b.tag || a.name != b.name || a.tag == 0) return std::nullopt;
    // a start moves the block and keeps its length; a duration the reverse
    if (a.width == b.width && a.duration == b.duration) return FieldEdit{changed, FieldEdit::Start};
    if (a.left == b.left) return FieldEdit{changed, FieldEdit::Duration};
    return std::nullopt;
}

UndoHistory::UndoHistory(FilePath dataDir, FilePath recoveryFolder, const DayShown& shown,
                         const BoardState& board)
    : dataDir_(std::move(dataDir)), recoveryFolder_(std::move(recoveryFolder)), board_(board) {
    steps_.push_back({shown, encodeBoard(board_), ++lines_});
    try {
        baselines_[dayFile(shown)] = boardRecords(board_).text();
    } catch (const Error&) {
    }
    // what earlier releases kept in the data folder, where others may share it
    adoptLegacyRecovery(dataDir_, recoveryFolder_);
    offerRecovered();
}

FilePath UndoHistory::dayFile(const DayShown& shown) const {
    return dayFilePath(dataDir_, shown.month, shown.day);
}

// --- steps --------------------------------------------------------------------------

bool UndoHistory::take(const DayShown& shown, const BoardState& board, Change change) {
    const DayShown from = steps_[at_].shown;
    if (board == board_ && shown == from) {
        if (change == Change::Load) {
            burst_.reset();
            keep(Keep::Load, from);
        }
        return false;
    }
    std::optional<FieldEdit> edit;
    if (change == Change::Burst && shown == from) edit = fieldEdit(board_, board);
    if (edit && edit == burst_ && at_ > 0 && at_ + 1 == steps_.size()) {
        // the burst goes on in the step on show
        steps_[at_].board = encodeBoard(board);
        board_ = board;
    } else {
        push(shown, board, change == Change::Load);
    }
    burst_ = edit;
    keep(change == Change::Load ? Keep::Load : Keep::Edit, from);
    return true;
}

void UndoHistory::push(const DayShown& shown, const BoardState& board, bool newLine) {
    const int line = newLine ? ++lines_ : steps_[at_].line;
    steps_.erase(steps_.begin() + std::ptrdiff_t(at_) + 1, steps_.end());
    steps_.push_back({shown, encodeBoard(board), line});
    board_ = board;
    ++at_;
    if (steps_.size() > kSteps + 1) {
        steps_.pop_front();
        --at_;
    }
}

bool UndoHistory::undo() {
    return at_ > 0 && moveTo(at_ - 1);
}

bool UndoHistory::redo() {
    return at_ + 1 < steps_.size() && moveTo(at_ + 1);
}

bool UndoHistory::moveTo(std::size_t at) {
    auto board = decodeBoard(steps_[at].board);
    if (!board) return false; // never for a board this history encoded
    const DayShown from = steps_[at_].shown;
    at_ = at;
    board_ = std::move(*board);
    burst_.reset();
    keep(Keep::Restore, from);
    return true;
}

bool UndoHistory::unsaved() const {
    try {
        const auto base = baselines_.find(dayFile(steps_[at_].shown));
        return base == baselines_.end() || base->second != boardRecords(board_).text();
    } catch (const Error&) {
        return true; // a block a save would refuse is not saved either
    }
}

// --- recovery files -------------------------------------------------------------

void UndoHistory::keep(Keep change, const DayShown& from) {
    const Step& step = steps_[at_];
    const FilePath day = dayFile(step.shown);
    std::string records;
    try {
        records = boardRecords(board_).text();
    } catch (const Error&) {
        return; // a block the save would refuse: the last recovery file stays
    }
    if (change == Keep::Load) {
        baselines_[day] = std::move(records);
        return;
    }
    const auto base = baselines_.find(day);
    if (base != baselines_.end() && base->second == records) {
        // Back to what its file holds. A day only arrived at (an undo of a
        // day change) keeps what was left of it before.
        if (dayFile(from) == day) release(step.line);
        return;
    }
    const FilePath path = recoveryFile(step);
    writer_.write(path, recoveryFileBytes(records, step.board));
    lineFiles_[step.line].records = std::move(records);
}

FilePath UndoHistory::recoveryFile(const Step& step) {
    if (const auto held = lineFiles_.find(step.line); held != lineFiles_.end())
        return held->second.path;
    const FilePath day = inFolder("", dayFileName(step.shown.month, step.shown.day));
    const auto heldByAnother = [&](const FilePath& path) {
        for (const auto& [line, file] : lineFiles_)
            if (file.path == path) return true;
        return false;
    };
    const auto take = [&](const FilePath& path) {
        lineFiles_[step.line] = {path, {}};
        return path;
    };
    // A board dropped from its recovery file goes on in that file.
    std::string records;
    if (auto board = decodeBoard(step.board)) {
        try {
            records = boardRecords(*board).text();
        } catch (const Error&) {
        }
    }
    for (const auto& file : recoveryFilesOf(recoveryFolder_, day)) {
        if (heldByAnother(file.path)) continue;
        const auto board = recoveredBoard(file.bytes);
        if (board && boardRecords(*board).text() == records) return take(file.path);
    }
    // else the first of the day's that no board holds and no file takes
    for (int slot = 1;; ++slot) {
        const FilePath path = recoveryPath(recoveryFolder_, day, slot);
        if (!heldByAnother(path) && ::access(path.c_str(), F_OK) != 0) return take(path);
    }
}

void UndoHistory::release(int line) {
    const auto held = lineFiles_.find(line);
    if (held == lineFiles_.end()) return;
    writer_.remove(held->second.path);
    lineFiles_.erase(held);
}

void UndoHistory::saved() {
    burst_.reset();
    const DayShown& shown = steps_[at_].shown;
    const std::string records = boardRecords(board_).text();
    baselines_[dayFile(shown)] = records;
    release(steps_[at_].line);
    // a board left unsaved that the day now holds is saved too
    const FilePath dayName = inFolder("", dayFileName(shown.month, shown.day));
    std::vector<int> done;
    for (const auto& [line, file] : lineFiles_)
        if (recoverySlot(file.path.substr(recoveryFolder_.size()), dayName) != 0 &&
            file.records == records)
            done.push_back(line);
    for (const int line : done)
        release(line);
}

void UndoHistory::offerRecovered() {
    const DayShown shown = steps_[0].shown;
    const FilePath day = inFolder("", dayFileName(shown.month, shown.day));
    // the boards left unsaved are the steps before the day's file, the
    // latest right before it, each going on in its own file
    std::size_t offered = 0;
    for (const auto& file : recoveryFilesOf(recoveryFolder_, day)) {
        const auto board = recoveredBoard(file.bytes);
        if (!board || *board == board_) continue;
        const int line = ++lines_;
        lineFiles_[line] = {file.path, boardRecords(*board).text()};
        steps_.insert(steps_.begin() + std::ptrdiff_t(offered++),
                      {shown, encodeBoard(*board), line});
    }
    at_ = offered;
}

} // namespace kab::storage
