# Installing gives one self-contained folder, as the program wants it: the
# executable, data/ beside it, its print and spreadsheet modules under lib/,
# and a menu entry
# and icon under share/.
#
#   cmake --install build --prefix ~/.local/opt/kabrelo24
#
# The data files are user data, so they are seeded at install time rather
# than installed: the seed tool never replaces a file, and leaves the sample
# out once the folder holds a day. It runs from the build tree, where it was
# built, so the installed folder carries nothing the program does not use.

install(TARGETS kabrelo24 kabrelo24-report RUNTIME DESTINATION .)
# the modules, where the program loads them from (toolkit/module.h)
install(TARGETS kabrelo24-print kabrelo24-xlsx LIBRARY DESTINATION lib)
install(CODE "
set(KAB_SEED \"$<TARGET_FILE:kabrelo_seed>\")
set(KAB_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(KAB_STAGE_DIR \"${CMAKE_CURRENT_BINARY_DIR}/install-stage\")
include(\"${PROJECT_SOURCE_DIR}/packaging/install_data.cmake\")
")
