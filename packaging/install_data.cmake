# Install-time half of install.cmake: seeds data/ and writes the menu entry
# for the prefix the install is run with. Expects KAB_SEED, KAB_SOURCE_DIR and
# KAB_STAGE_DIR.

# The entry needs the program's absolute path, whatever --prefix was given.
get_filename_component(kab_prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(kab_data "$ENV{DESTDIR}${kab_prefix}/data")

if(NOT EXISTS "${KAB_SEED}")
    message(FATAL_ERROR "${KAB_SEED} is missing: build before installing")
endif()
# The program never creates its data folder.
file(MAKE_DIRECTORY "${kab_data}")
message(STATUS "Seeding: ${kab_data}")
execute_process(
    COMMAND "${KAB_SEED}" "${kab_data}"
            "${KAB_SOURCE_DIR}/data/List1.txt.utf8" "${KAB_SOURCE_DIR}/data/smpl.dat.utf8"
    RESULT_VARIABLE kab_result)
if(NOT kab_result EQUAL 0)
    message(FATAL_ERROR "seeding ${kab_data} failed")
endif()

# A string value of a desktop entry: backslashes are written twice.
function(kab_entry_string out value)
    if(value MATCHES "[\n\r\t]")
        message(FATAL_ERROR "no menu entry can name a path with a line break or tab: ${value}")
    endif()
    string(REPLACE "\\" "\\\\" value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# One Exec argument: quoted when it holds a reserved character, with " ` $ \
# escaped inside the quotes, and % doubled so it is no field code.
function(kab_exec_argument out value)
    if(value MATCHES "[] \"'\\\\><~|&;$*?#()`[]")
        string(REPLACE "\\" "\\\\" value "${value}")
        string(REPLACE "\"" "\\\"" value "${value}")
        string(REPLACE "`" "\\`" value "${value}")
        string(REPLACE "$" "\\$" value "${value}")
        set(value "\"${value}\"")
    endif()
    string(REPLACE "%" "%%" value "${value}")
    kab_entry_string(value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

kab_exec_argument(KAB_EXEC "${kab_prefix}/kabrelo24")
kab_entry_string(KAB_TRYEXEC "${kab_prefix}/kabrelo24")
configure_file("${KAB_SOURCE_DIR}/packaging/kabrelo24.desktop.in"
               "${KAB_STAGE_DIR}/kabrelo24.desktop" @ONLY)
file(INSTALL DESTINATION "${kab_prefix}/share/applications" TYPE FILE
     FILES "${KAB_STAGE_DIR}/kabrelo24.desktop")
