# Installation and the Debian package: the programs, the manual, the copyright text, the
# samples, the desktop entry and the icon, in the usual places under the prefix.
include(GNUInstallDirs)

install(TARGETS wordloom-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# wordloom-cli runs it for `plot`, from its own folder.
if(TARGET wordloom-cli-plot)
  install(TARGETS wordloom-cli-plot RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
set(WORDLOOM_DATA_DIR ${CMAKE_INSTALL_DATADIR}/wordloom)

if(WORDLOOM_BUILD_APP)
  install(TARGETS wordloom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${WORDLOOM_DATA_DIR}/help)
  install(FILES ${PROJECT_SOURCE_DIR}/data/copyrigh.rtf DESTINATION ${WORDLOOM_DATA_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/data/wordloom.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/wordloom.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/data/wordloom.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The sample project names its texts relative to the program's folder: in the source tree
# from build/bin, once installed from bin/ to share/wordloom/samples.
foreach(folder samples samples/unicode)
  file(GLOB WORDLOOM_SAMPLE_TEXTS ${PROJECT_SOURCE_DIR}/${folder}/*.txt)
  install(FILES ${WORDLOOM_SAMPLE_TEXTS} DESTINATION ${WORDLOOM_DATA_DIR}/${folder})
endforeach()
foreach(project samples/samples.wlm samples/unicode/unicode.wlm)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${project})
  file(READ ${PROJECT_SOURCE_DIR}/${project} WORDLOOM_SAMPLE_PROJECT)
  string(REPLACE "\r" "" WORDLOOM_SAMPLE_PROJECT "${WORDLOOM_SAMPLE_PROJECT}")
  string(REPLACE "\"../../samples/" "\"../${WORDLOOM_DATA_DIR}/samples/" WORDLOOM_SAMPLE_PROJECT
         "${WORDLOOM_SAMPLE_PROJECT}")
  # The project file's lines end with CR LF.
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/installed/${project} CONTENT "${WORDLOOM_SAMPLE_PROJECT}" @ONLY
       NEWLINE_STYLE CRLF)
  get_filename_component(folder ${project} DIRECTORY)
  install(FILES ${CMAKE_BINARY_DIR}/installed/${project} DESTINATION ${WORDLOOM_DATA_DIR}/${folder})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wordloom)
set(CPACK_PACKAGE_VENDOR "The Wordloom authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Concordances, word lists and word frequency profiles of texts")
set(CPACK_PACKAGE_CONTACT "The Wordloom authors <wordloom@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6")
include(CPack)
