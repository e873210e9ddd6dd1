# The Qt-free core: foundation, board and storage rules. Listed once for the
# program's build and for the fuzz build, which compiles them instrumented.
set(kab_core_sources
    foundation/atomicfile.cpp foundation/datetime.cpp foundation/datetime_text.cpp
    foundation/errors.cpp foundation/files.cpp foundation/numbers.cpp foundation/sjis.cpp
    foundation/tempfile.cpp foundation/textlist.cpp foundation/versions.cpp
    board/duration.cpp board/geometry.cpp board/palette.cpp board/pool.cpp
    storage/dayfile.cpp storage/dayread.cpp storage/folder.cpp storage/seeding.cpp
    storage/stafflist.cpp)
