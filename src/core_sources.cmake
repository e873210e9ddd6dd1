# The Qt-free core: foundation, board and storage rules, and the report's
# reckoning of hours, calendars and pages. Listed once for the
# program's build and for the fuzz build, which compiles them instrumented.
set(kab_core_sources
    foundation/atomicfile.cpp foundation/datetime.cpp foundation/datetime_text.cpp
    foundation/errors.cpp foundation/files.cpp foundation/numbers.cpp foundation/sjis.cpp
    foundation/tempfile.cpp foundation/textlist.cpp foundation/versions.cpp
    board/duration.cpp board/geometry.cpp board/palette.cpp board/pool.cpp
    storage/boardstate.cpp storage/dayfile.cpp storage/dayplan.cpp storage/dayread.cpp
    storage/daytable.cpp storage/folder.cpp storage/recovery.cpp storage/seeding.cpp storage/stafflist.cpp
    storage/undohistory.cpp
    report/calendar.cpp report/daypage.cpp report/findings.cpp report/holidays.cpp report/hours.cpp
    report/listing.cpp report/month.cpp report/monthtable.cpp report/printable.cpp
    report/stafforder.cpp report/tally.cpp)
