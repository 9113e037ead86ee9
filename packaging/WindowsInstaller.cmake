# The Windows installer (cpack -G NSIS64, scripts/windows-build.sh --installer): both programs, the user
# guide and the example, the label stocks and the country file from Debian's packages (glabels-data,
# hamradio-files) beside them in "share", a Start-menu entry and the .adi/.adif file association.
foreach(data libglabels-3.0/templates hamradio-files/cty.dat)
    if(NOT EXISTS /usr/share/${data})
        message(WARNING "/usr/share/${data} is missing (Debian's glabels-data, hamradio-files): not installed")
    endif()
endforeach()
if(EXISTS /usr/share/libglabels-3.0/templates)
    install(DIRECTORY /usr/share/libglabels-3.0/templates DESTINATION share/libglabels-3.0)
endif()
if(EXISTS /usr/share/hamradio-files/cty.dat)
    install(FILES /usr/share/hamradio-files/cty.dat DESTINATION share/hamradio-files)
endif()

# The labels' faces (Debian's fonts-liberation2), which the renderer registers from share/cardmill/fonts: a
# system without them, or with only their bold face, would draw every label in bold.
foreach(face Regular Bold)
    set(font /usr/share/fonts/truetype/liberation2/LiberationSans-${face}.ttf)
    if(EXISTS ${font})
        install(FILES ${font} DESTINATION share/cardmill/fonts)
    else()
        message(WARNING "${font} is missing (Debian's fonts-liberation2): the labels take the system's faces")
    endif()
endforeach()

# The desktop program takes Qt's libraries and its Windows plugin along (Qt built by scripts/windows-qt.sh).
if(TARGET cardmill)
    find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)
    foreach(module Core Gui Widgets PrintSupport)
        install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION bin)
    endforeach()
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
    get_filename_component(qt_root "${qt_core_dll}" DIRECTORY)
    install(FILES "${qt_root}/../plugins/platforms/qwindows.dll" DESTINATION bin/platforms)
    if(EXISTS "${qt_root}/../plugins/styles/qwindowsvistastyle.dll")
        install(FILES "${qt_root}/../plugins/styles/qwindowsvistastyle.dll" DESTINATION bin/styles)
    endif()
    # Qt's libraries link the compiler's runtime as DLLs (the programs have theirs linked in).
    foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
            OUTPUT_VARIABLE runtime_file OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${runtime_file}")
            find_file(runtime_file NAMES ${runtime} NO_CACHE)
        endif()
        if(runtime_file AND EXISTS "${runtime_file}")
            install(FILES "${runtime_file}" DESTINATION bin)
        else()
            message(WARNING "${runtime} not found: Qt's libraries may not start")
        endif()
        unset(runtime_file)
    endforeach()
    # Qt's own texts in Polish (Debian's qt6-translations-l10n), looked for beside the program.
    if(EXISTS /usr/share/qt6/translations/qtbase_pl.qm)
        install(FILES /usr/share/qt6/translations/qtbase_pl.qm DESTINATION bin/translations)
    endif()
endif()

set(CPACK_PACKAGE_NAME "CARDMILL")
set(CPACK_PACKAGING_INSTALL_PREFIX "")
set(CPACK_STRIP_FILES OFF)
set(CPACK_PACKAGE_VENDOR "CARDMILL")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QSL-card labels from an ADIF log")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "cardmill-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "CARDMILL")
set(CPACK_NSIS_DISPLAY_NAME "CARDMILL")
set(CPACK_NSIS_PACKAGE_NAME "CARDMILL ${PROJECT_VERSION}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
if(TARGET cardmill)
    set(CPACK_PACKAGE_EXECUTABLES cardmill "CARDMILL")
    set(cardmill_opens "$INSTDIR\\\\bin\\\\cardmill.exe")
    # .adi and .adif logs open in CARDMILL (a log as the first argument): for every user when it is installed
    # for all of them (SHCTX follows the installer's shell context), and Explorer is told.
    set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
        WriteRegStr SHCTX 'Software\\\\Classes\\\\CARDMILL.Log' '' 'ADIF log'
        WriteRegStr SHCTX 'Software\\\\Classes\\\\CARDMILL.Log\\\\DefaultIcon' '' '\\\"${cardmill_opens}\\\",0'
        WriteRegStr SHCTX 'Software\\\\Classes\\\\CARDMILL.Log\\\\shell\\\\open\\\\command' '' '\\\"${cardmill_opens}\\\" \\\"%1\\\"'
        WriteRegStr SHCTX 'Software\\\\Classes\\\\.adi' '' 'CARDMILL.Log'
        WriteRegStr SHCTX 'Software\\\\Classes\\\\.adif' '' 'CARDMILL.Log'
        System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'")
    set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
        DeleteRegKey SHCTX 'Software\\\\Classes\\\\CARDMILL.Log'
        DeleteRegValue SHCTX 'Software\\\\Classes\\\\.adi' ''
        DeleteRegValue SHCTX 'Software\\\\Classes\\\\.adif' ''
        System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'")
endif()
# The installer, its uninstaller and the entry in the list of installed programs show CARDMILL's icon.
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/cardmill.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/packaging/cardmill.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\cardmill-convert.exe")
set(CPACK_NSIS_MENU_LINKS "share/cardmill/cardmill_en.html" "CARDMILL user guide"
                          "share/cardmill/cardmill_pl.html" "CARDMILL user guide (polski)")
set(CPACK_GENERATOR NSIS64)
include(CPack)
