#pragma once
// A board whose data folder is prepared before the window opens, with
// byte-exact helpers for the day files in it.

#include "support/board_fixture.h"
#include "storage/dayfile.h"
#include "toolkit/application.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kab::test {

// Today in the fake environment is Monday 7 December 2026.
inline const char* const kToday = "12;07月.txt";

class StorageTest : public BoardTest {
protected:
    void SetUp() override {
        QDir(env().dir.path() + "/data").removeRecursively();
        BoardTest::SetUp();
    }
    void TearDown() override {
        BoardTest::TearDown();
        QDir(env().dir.path() + "/data").removeRecursively();
    }

    // The folder as a path in the file system's encoding.
    static std::string dataPath() { return env().dir.path().toStdString() + "/data/"; }
    static void makeData() { std::filesystem::create_directories(dataPath()); }

    // name and contents as UTF-8; the contents are stored as CP932
    static void writeFile(const std::string& name, const std::string& utf8) {
        writeBytes(name, sjis::fromUtf8(utf8));
    }
    static void writeBytes(const std::string& name, const std::string& bytes) {
        makeData();
        std::ofstream(dataPath() + name, std::ios::binary) << bytes;
    }
    static std::string readBytes(const std::string& name) { return readPath(dataPath() + name); }
    static std::string readPath(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static bool exists(const std::string& name) {
        return std::filesystem::exists(dataPath() + name);
    }
    // What is in the folder, names sorted; the recovery folder of unsaved
    // boards is left out.
    static std::vector<std::string> listing() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dataPath()))
            if (e.path().filename() != ".recovery") names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The day on show loaded again, as a change of the day picker does;
    // errors go to the report as from any handler.
    void reload() {
        tk::guarded([&] { form->dtp0Change(); });
    }

    // A new window, so that its start-up sees the folder as it is now.
    void reopen() {
        form.reset();
        QCoreApplication::processEvents();
        form = std::make_unique<TForm1>(env());
        showForm();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The blocks in use, as "row start duration name" lines in block order
    // from 50 down, read from the controls.
    std::vector<std::string> board() const {
        std::vector<std::string> out;
        for (int n = 50; n >= 1; --n) {
            const tk::Panel* p = block(n);
            if (p->tag() == 0) continue;
            out.push_back(std::to_string(p->y() / 44) + " " + timeLabelLine(n) + " " +
                          str(form->Label(n + 50)->caption()) + " " + str(p->caption()) + " @" +
                          std::to_string(p->x()) + "+" + std::to_string(p->width()));
        }
        return out;
    }
    std::string timeLabelLine(int n) const {
        std::string t = timeLabel(n);
        const auto crlf = t.find("\r\n");
        if (crlf != std::string::npos) t.replace(crlf, 2, "-");
        return t;
    }

    // Files dropped onto the window from a file manager.
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        // The source offers a copy or a move and proposes the move (Shift
        // held); the board takes a copy in any case.
        const QPoint at(300, 200);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_EQ(enter.proposedAction(), Qt::MoveAction);
        QApplication::sendEvent(form.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(form.get(), &move);
        EXPECT_TRUE(move.isAccepted());
        EXPECT_EQ(move.dropAction(), Qt::CopyAction);
        QDropEvent dropped(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(form.get(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        EXPECT_EQ(dropped.dropAction(), Qt::CopyAction);
    }
    QString path(const char* name) const {
        return QString::fromStdString(dataPath()) + QString::fromUtf8(name);
    }

    std::vector<QString> reportMessages() const {
        std::vector<QString> m;
        for (const auto& r : env().reports)
            m.push_back(r.message);
        return m;
    }
};

} // namespace kab::test
