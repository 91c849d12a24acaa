# The portable zip a Windows user unpacks anywhere they can write (the
# catalogue is kept beside the program): scripts/package.sh runs `cpack` in
# the Windows build tree and makes Quorvallis-<version>-win64.zip. It holds
# one folder with the program, its hook library and plugin helper, an empty "Plugins" folder,
# the example plugin in a folder of its own, and the user guide.
install(TARGETS Quorvallis QuorvallisHOOK QuorvallisPluginHost RUNTIME DESTINATION .)
install(DIRECTORY DESTINATION Plugins)
install(TARGETS QuorvallisExamplePlugin RUNTIME DESTINATION "Example plugin")
install(FILES
  ${PROJECT_SOURCE_DIR}/plugins/example/README.md
  ${PROJECT_SOURCE_DIR}/plugins/example/QuorvallisExamplePlugin.cpp
  ${PROJECT_SOURCE_DIR}/plugins/example/QuorvallisExamplePlugin.def
  DESTINATION "Example plugin")
# The guide with Windows line ends, so that every Notepad shows its lines.
set(guide_source ${PROJECT_SOURCE_DIR}/docs/UserGuide.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${guide_source})
file(READ ${guide_source} guide)
string(REPLACE "\r\n" "\n" guide "${guide}")
string(REPLACE "\n" "\r\n" guide "${guide}")
file(WRITE "${CMAKE_BINARY_DIR}/package/User Guide.txt" "${guide}")
install(FILES "${CMAKE_BINARY_DIR}/package/User Guide.txt" DESTINATION .)

# Packaging needs only what the zip holds, not every test and benchmark of
# the tree; scripts/package.sh builds those targets first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorvallis)
set(CPACK_PACKAGE_VENDOR "The Quorvallis developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard-driven command launcher for Windows")
set(CPACK_PACKAGE_FILE_NAME Quorvallis-${PROJECT_VERSION}-win64)
# The symbols of the static runtime are more than half of the program's size.
set(CPACK_STRIP_FILES ON)
include(CPack)
