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

# And one the build writes: the code page 932 tables that foundation/sjis.cpp
# converts with, taken from the C library's iconv by a host tool, so that the
# program gives iconv's conversions without loading iconv's modules. The tool
# is built plainly, whatever the including build does to the core.
get_filename_component(kab_tools_dir ${CMAKE_CURRENT_LIST_DIR}/../tools ABSOLUTE)
add_executable(kabrelo_cp932_tables ${kab_tools_dir}/cp932_tables.cpp)
target_include_directories(kabrelo_cp932_tables PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set_target_properties(kabrelo_cp932_tables PROPERTIES AUTOMOC OFF)
if(COMMAND kab_warnings)
    kab_warnings(kabrelo_cp932_tables)
endif()
set(kab_core_generated ${CMAKE_CURRENT_BINARY_DIR}/generated/cp932_tables.cpp)
add_custom_command(OUTPUT ${kab_core_generated}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/generated
    COMMAND kabrelo_cp932_tables ${kab_core_generated}
    DEPENDS kabrelo_cp932_tables
    COMMENT "Taking the code page 932 tables from iconv"
    VERBATIM)
