"""A file manager's drag, for drop_file.sh: a window titled kab-drag-source
at the given place; pressed, it drags one local file's URL offering a copy
and a move, the move proposed, and prints the action the drop target chose
(copy, move, link or ignore). It stays until killed: the target fetches the
data from it after the drop.

    drag_source.py FILE X Y
"""
import sys

from PyQt6.QtCore import QMimeData, Qt, QUrl
from PyQt6.QtGui import QDrag
from PyQt6.QtWidgets import QApplication, QWidget

CHOSEN = {
    Qt.DropAction.CopyAction: "copy",
    Qt.DropAction.MoveAction: "move",
    Qt.DropAction.LinkAction: "link",
}


class Source(QWidget):
    def __init__(self, path, x, y):
        super().__init__()
        self.path = path
        self.setWindowTitle("kab-drag-source")
        self.setGeometry(x, y, 200, 150)

    def mousePressEvent(self, event):
        data = QMimeData()
        data.setUrls([QUrl.fromLocalFile(self.path)])
        self.drag = QDrag(self)  # kept: the target asks for its data later
        self.drag.setMimeData(data)
        chosen = self.drag.exec(
            Qt.DropAction.CopyAction | Qt.DropAction.MoveAction, Qt.DropAction.MoveAction
        )
        print(CHOSEN.get(chosen, "ignore"), flush=True)


def main():
    app = QApplication(sys.argv[:1])
    source = Source(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))
    source.show()
    return app.exec()


if __name__ == "__main__":
    sys.exit(main())
