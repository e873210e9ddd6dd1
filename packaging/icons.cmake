# The program's icon in the sizes a desktop asks for, drawn from the one SVG
# at build time (Debian's librsvg2-bin): the window carries them, and the
# install puts them into the hicolor theme beside the SVG.
find_program(KAB_RSVG rsvg-convert REQUIRED)
set(kab_icon_svg ${PROJECT_SOURCE_DIR}/packaging/kabrelo24.svg)
set(kab_icon_sizes 16 24 32 48 64 128 256)
set(kab_icon_pngs)
foreach(size ${kab_icon_sizes})
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/kabrelo24.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${KAB_RSVG} --width ${size} --height ${size} --output ${png} ${kab_icon_svg}
        DEPENDS ${kab_icon_svg}
        VERBATIM)
    list(APPEND kab_icon_pngs ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${kab_icon_svg} DESTINATION share/icons/hicolor/scalable/apps)

# The window's own: the small sizes, in the program's resources as the
# pixels the window shows (premultiplied ARGB32, uncompressed), so that a
# start decodes nothing; the start-up benchmark's build of the board carries
# them as well.
add_executable(kabrelo_icon_pixels ${PROJECT_SOURCE_DIR}/tools/icon_pixels.cpp)
target_link_libraries(kabrelo_icon_pixels PRIVATE Qt6::Gui)
set_target_properties(kabrelo_icon_pixels PROPERTIES AUTOMOC OFF)
kab_warnings(kabrelo_icon_pixels)
set(kab_window_icons)
foreach(size 16 32 48 64)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/kabrelo24.png)
    set(pixels ${CMAKE_BINARY_DIR}/icons/${size}x${size}/kabrelo24.argb)
    add_custom_command(OUTPUT ${pixels}
        COMMAND kabrelo_icon_pixels ${png} ${pixels}
        DEPENDS kabrelo_icon_pixels ${png}
        VERBATIM)
    list(APPEND kab_window_icons ${pixels})
endforeach()
add_library(kabrelo_icons OBJECT)
qt_add_resources(kabrelo_icons "icons" PREFIX "/" BASE ${CMAKE_BINARY_DIR}
    FILES ${kab_window_icons} OPTIONS --no-compress)
target_link_libraries(kabrelo24 PRIVATE kabrelo_icons)
# the larger ones are built for the install
add_custom_target(kab_icons ALL DEPENDS ${kab_icon_pngs})
