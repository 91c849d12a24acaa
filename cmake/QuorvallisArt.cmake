# Renders the program's pictures from their SVG sources in res/art into the
# files that res/Artwork.rc embeds: PNG per picture first, then the strips
# (BMP, 32 bits with alpha), the icons (ICO) and the group-box pieces (BMP,
# palette). Each output depends only on its own sources, so editing one
# picture re-renders that picture and what is assembled from it.
find_program(QV_RSVG_CONVERT rsvg-convert)
# Prefer ImageMagick's own binary over any wrapper earlier in PATH.
find_program(QV_IMAGEMAGICK_CONVERT NAMES convert-im6.q16 convert PATHS /usr/bin NO_DEFAULT_PATH)
find_program(QV_IMAGEMAGICK_CONVERT NAMES convert)
if(NOT QV_RSVG_CONVERT OR NOT QV_IMAGEMAGICK_CONVERT)
  message(FATAL_ERROR "The artwork needs rsvg-convert (librsvg2-bin) and ImageMagick's convert")
endif()

set(QV_ART_SOURCE_DIR ${PROJECT_SOURCE_DIR}/res/art)
set(QV_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(QV_ART_PNG_DIR ${QV_ART_DIR}/png)
file(MAKE_DIRECTORY ${QV_ART_PNG_DIR})
set(qv_art_outputs "")

# qv_render_svg(<svg> <png> <width> <height>)
function(qv_render_svg svg png width height)
  add_custom_command(OUTPUT ${png}
    COMMAND ${QV_RSVG_CONVERT} -w ${width} -h ${height} -o ${png} ${svg}
    DEPENDS ${svg}
    COMMENT "Rendering ${png}" VERBATIM)
endfunction()

# qv_art_strip(<folder of 16x16 pictures> <bmp>): one picture after the other,
# left to right in file-name order, 32 bits per pixel with straight alpha.
function(qv_art_strip folder bmp)
  file(GLOB svgs CONFIGURE_DEPENDS ${QV_ART_SOURCE_DIR}/${folder}/*.svg)
  list(SORT svgs)
  set(pngs "")
  foreach(svg ${svgs})
    get_filename_component(name ${svg} NAME_WE)
    set(png ${QV_ART_PNG_DIR}/${folder}-${name}.png)
    qv_render_svg(${svg} ${png} 16 16)
    list(APPEND pngs ${png})
  endforeach()
  add_custom_command(OUTPUT ${QV_ART_DIR}/${bmp}
    COMMAND ${QV_IMAGEMAGICK_CONVERT} -background none ${pngs} +append
            -type TrueColorAlpha -define bmp:format=bmp4 BMP:${QV_ART_DIR}/${bmp}
    DEPENDS ${pngs}
    COMMENT "Assembling ${bmp}" VERBATIM)
  set(qv_art_outputs ${qv_art_outputs} ${QV_ART_DIR}/${bmp} PARENT_SCOPE)
endfunction()

# qv_art_icon(<svg name in icons/> <ico> <sizes...>)
function(qv_art_icon name ico)
  set(pngs "")
  foreach(size ${ARGN})
    set(png ${QV_ART_PNG_DIR}/icons-${name}-${size}.png)
    qv_render_svg(${QV_ART_SOURCE_DIR}/icons/${name}.svg ${png} ${size} ${size})
    list(APPEND pngs ${png})
  endforeach()
  add_custom_command(OUTPUT ${QV_ART_DIR}/${ico}
    COMMAND ${QV_IMAGEMAGICK_CONVERT} ${pngs} ${QV_ART_DIR}/${ico}
    DEPENDS ${pngs}
    COMMENT "Assembling ${ico}" VERBATIM)
  set(qv_art_outputs ${qv_art_outputs} ${QV_ART_DIR}/${ico} PARENT_SCOPE)
endfunction()

# qv_art_piece(<svg name in groupbox/> <bmp> <width> <height>): opaque, palette.
function(qv_art_piece name bmp width height)
  set(png ${QV_ART_PNG_DIR}/groupbox-${name}.png)
  qv_render_svg(${QV_ART_SOURCE_DIR}/groupbox/${name}.svg ${png} ${width} ${height})
  add_custom_command(OUTPUT ${QV_ART_DIR}/${bmp}
    COMMAND ${QV_IMAGEMAGICK_CONVERT} ${png} -background white -flatten -alpha off
            -type Palette BMP3:${QV_ART_DIR}/${bmp}
    DEPENDS ${png}
    COMMENT "Assembling ${bmp}" VERBATIM)
  set(qv_art_outputs ${qv_art_outputs} ${QV_ART_DIR}/${bmp} PARENT_SCOPE)
endfunction()

qv_art_strip(icons16 IconSet.bmp)
qv_art_strip(actions Actions.bmp)

qv_art_icon(102-program Program.ico 16 32 48)
qv_art_icon(103-tray-enabled TrayEnabled.ico 16 32)
qv_art_icon(104-tray-disabled TrayDisabled.ico 16 32)
qv_art_icon(115-ok Ok.ico 16)
qv_art_icon(116-cancel Cancel.ico 16)
qv_art_icon(128-banner Banner.ico 32)
qv_art_icon(117-edit-command EditCommand.ico 32)
qv_art_icon(118-add-command AddCommand.ico 32)
qv_art_icon(122-add-script AddScript.ico 32)
qv_art_icon(123-edit-script EditScript.ico 32)
qv_art_icon(125-edit-group EditGroup.ico 32)
qv_art_icon(126-add-group AddGroup.ico 32)

qv_art_piece(131-top-right GroupBoxTopRight.bmp 14 31)
qv_art_piece(132-bottom-middle GroupBoxBottomMiddle.bmp 1 14)
qv_art_piece(133-bottom-left GroupBoxBottomLeft.bmp 10 14)
qv_art_piece(134-bottom-right GroupBoxBottomRight.bmp 10 14)
qv_art_piece(135-title-middle GroupBoxTitleMiddle.bmp 1 31)
qv_art_piece(136-top-left GroupBoxTopLeft.bmp 14 31)

add_custom_target(qv_art DEPENDS ${qv_art_outputs})

# qv_link_controls(<target>): links the program's windows into a test or
# benchmark program, with the program's manifest and artwork resources, so
# they run exactly as in the launcher.
function(qv_link_controls target)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "#pragma code_page(65001)
#include \"${PROJECT_SOURCE_DIR}/res/Quorvallis.rc\"
#include \"${PROJECT_SOURCE_DIR}/res/Artwork.rc\"
#include \"${PROJECT_SOURCE_DIR}/res/Editors.rc\"
")
  set_source_files_properties(${rc} PROPERTIES
    COMPILE_FLAGS "-I${PROJECT_SOURCE_DIR}/res -I${QV_ART_DIR}"
    OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/res/Quorvallis.rc;${PROJECT_SOURCE_DIR}/res/Artwork.rc;${PROJECT_SOURCE_DIR}/res/Editors.rc")
  target_sources(${target} PRIVATE ${rc})
  target_link_libraries(${target} PRIVATE quorvallis_ui)
  add_dependencies(${target} qv_art)
endfunction()
