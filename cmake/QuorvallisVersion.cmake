# The product has one version number: project()'s. The version resources of
# the program and the hook library (what a file's properties show), the
# manifest, the about box and the package's name all take it from there.
foreach(part MAJOR MINOR PATCH TWEAK)
  set(QV_VERSION_${part} "${PROJECT_VERSION_${part}}")
  if(QV_VERSION_${part} STREQUAL "")
    set(QV_VERSION_${part} 0)
  endif()
endforeach()
set(QV_VERSION_TEXT ${PROJECT_VERSION})
set(QV_VERSION_FOUR_PARTS ${QV_VERSION_MAJOR}.${QV_VERSION_MINOR}.${QV_VERSION_PATCH}.${QV_VERSION_TWEAK})

set(QV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/QuorvallisVersion.h.in ${QV_GENERATED_DIR}/QuorvallisVersion.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/Quorvallis.manifest.in ${QV_GENERATED_DIR}/Quorvallis.manifest @ONLY)
# Every C++ and resource compile finds the header and the manifest.
include_directories(${QV_GENERATED_DIR})

# qv_add_version_resource(<target> <file description>): gives the program or
# library its version resource, with the product's name and version.
function(qv_add_version_resource target description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(QV_FILE_TYPE VFT_APP)
    set(QV_FILE_NAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
  else()
    set(QV_FILE_TYPE VFT_DLL)
    set(QV_FILE_NAME ${target}${CMAKE_SHARED_LIBRARY_SUFFIX})
  endif()
  set(QV_FILE_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
