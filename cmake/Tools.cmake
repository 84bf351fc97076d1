# Command-line tools, installation and packaging. Included from the top-level CMakeLists.txt.

include(GNUInstallDirs)

set(TALLOWBY_APP_ID org.tallowby.Tallowby)

# tallowby-export: exports and checks a data folder from the command line.
add_executable(tallowby-export ${CMAKE_SOURCE_DIR}/src/tools/tallowby_export_main.cpp)
# Qt Core and the data layers only: no widget library is loaded to export a folder.
target_link_libraries(tallowby-export PRIVATE tallowby_export)

# tallowby-import: brings iCalendar and vCard files into a data folder; Qt Core only, like
# tallowby-export.
add_executable(tallowby-import ${CMAKE_SOURCE_DIR}/src/tools/tallowby_import_main.cpp)
target_link_libraries(tallowby-import PRIVATE tallowby_import)

# The hicolor icons, drawn from the program's logo at build time.
add_executable(tallowby-icons ${CMAKE_SOURCE_DIR}/src/tools/tallowby_icons_main.cpp)
target_link_libraries(tallowby-icons PRIVATE tallowby_lib)
set(TALLOWBY_ICON_SIZES 16 22 24 32 48 64 128 256)
set(TALLOWBY_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(TALLOWBY_ICON_FILES)
foreach(size IN LISTS TALLOWBY_ICON_SIZES)
    list(APPEND TALLOWBY_ICON_FILES ${TALLOWBY_ICON_DIR}/${size}x${size}/apps/${TALLOWBY_APP_ID}.png)
endforeach()
add_custom_command(
    OUTPUT ${TALLOWBY_ICON_FILES}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:tallowby-icons> ${TALLOWBY_ICON_DIR} ${TALLOWBY_APP_ID}
    DEPENDS tallowby-icons
    COMMENT "Drawing the hicolor icons"
    VERBATIM)
add_custom_target(tallowby_icons ALL DEPENDS ${TALLOWBY_ICON_FILES})

# Installation: the program, its menu launcher, the export tool, the desktop entry, the icons
# and the AppStream metadata, each in its standard place.
install(TARGETS tallowby tallowby-export tallowby-import RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_SOURCE_DIR}/data/tallowby-menu DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/${TALLOWBY_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/${TALLOWBY_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${TALLOWBY_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN "*.png")
install(FILES ${CMAKE_SOURCE_DIR}/docs/linux.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tallowby)

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallowby)
set(CPACK_PACKAGE_VENDOR "Tallowby developers")
set(CPACK_PACKAGE_CONTACT "Tallowby developers <dev@tallowby.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "desk diary with appointments, birthdays, notes, addresses and a launcher")
set(CPACK_PACKAGE_DESCRIPTION
    "Tallowby is a desk diary for one person: a month calendar with appointments, reminders\n\
and birthdays, a notes pad with a library of named notes, an address book and a bar of\n\
buttons that start programs. The command tallowby-export exports the appointments as\n\
iCalendar, the address book as vCard and the notes as text files, and checks a data folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded at run time
# and so have to be named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The round trip of the exports through independent readers (python3-icalendar,
# python3-vobject, libical and Evolution's contact parser through python3-gi, calcurse, khal);
# a reader that is not installed is skipped with a message, the test then reports "skipped".
if(TALLOWBY_BUILD_TESTS)
    # The system's Python first: the Debian packages of the readers install there.
    find_program(TALLOWBY_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
    find_program(TALLOWBY_PYTHON3 python3)
    if(TALLOWBY_PYTHON3)
        add_test(NAME export_roundtrip
                 COMMAND ${TALLOWBY_PYTHON3} ${CMAKE_SOURCE_DIR}/tests/export/export_roundtrip.py
                         $<TARGET_FILE:tallowby-export>)
    else()
        add_test(NAME export_roundtrip
                 COMMAND ${CMAKE_COMMAND} -E echo "SKIP: python3 is not installed")
        set_tests_properties(export_roundtrip PROPERTIES DISABLED TRUE)
    endif()
    set_tests_properties(export_roundtrip PROPERTIES
        SKIP_RETURN_CODE 77
        ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=UTC;ASAN_OPTIONS=detect_leaks=0"
        TIMEOUT 300)
    # The import's Qt test links the import layer; its Python side imports files made by
    # python3-icalendar, python3-vobject and calcurse (skipped like the export's readers).
    target_link_libraries(tst_import_import PRIVATE tallowby_import)
    if(TALLOWBY_PYTHON3)
        add_test(NAME import_roundtrip
                 COMMAND ${TALLOWBY_PYTHON3} ${CMAKE_SOURCE_DIR}/tests/import/import_roundtrip.py
                         $<TARGET_FILE:tallowby-import>)
        set_tests_properties(import_roundtrip PROPERTIES
            SKIP_RETURN_CODE 77
            ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=Europe/Berlin;ASAN_OPTIONS=detect_leaks=0"
            TIMEOUT 300)
    endif()
    add_test(NAME export_install_files
             COMMAND sh ${CMAKE_SOURCE_DIR}/tests/export/check_install_files.sh
                     ${CMAKE_SOURCE_DIR} ${TALLOWBY_ICON_DIR} ${TALLOWBY_APP_ID})
    set_tests_properties(export_install_files PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
