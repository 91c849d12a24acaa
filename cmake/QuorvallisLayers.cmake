# The layering, enforced by the build: every library of the program is
# compiled against an include root of its own that holds only its folder and
# the folders of the libraries below it, as links into the sources
# (<build>/layers/<library>/catalogue/X.h -> catalogue/X.h). An include
# against the direction then fails to build.

# Folders that are libraries of their own: a folder that holds one of them
# does not show it to its own library (platform/ is not platform/win32/).
set(QV_LAYER_FOLDERS platform platform/win32 catalogue plugins plugins/example store capture exec
  programs ui ui/editing hook app pluginhost)

# qv_layer(<target> <folder> [<library below>...]): <target> is built from
# <folder>, links the libraries below it and sees their folders and its own.
function(qv_layer target folder)
  set(folders ${folder})
  foreach(below ${ARGN})
    get_target_property(seen ${below} QV_LAYER_SEES)
    list(APPEND folders ${seen})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  set_target_properties(${target} PROPERTIES QV_LAYER_SEES "${folders}")
  target_link_libraries(${target} PUBLIC ${ARGN})

  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  foreach(seen ${folders})
    file(MAKE_DIRECTORY ${root}/${seen})
    file(GLOB entries LIST_DIRECTORIES true CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/${seen}
      ${PROJECT_SOURCE_DIR}/${seen}/*)
    foreach(entry ${entries})
      if(NOT "${seen}/${entry}" IN_LIST QV_LAYER_FOLDERS AND NOT IS_SYMLINK ${root}/${seen}/${entry})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${seen}/${entry} ${root}/${seen}/${entry} SYMBOLIC)
      endif()
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
