# The browser build: the game's sources through Emscripten's SDL 1.2 emulation, with the
# corrections of src/app/web_compat.h included before every file. Images, sounds and the
# font travel in one data package loaded before the first frame; the music files go
# beside it, for the page to fetch in the background.
set(web_data ${CMAKE_SOURCE_DIR}/data)
file(GLOB_RECURSE web_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp)
add_executable(stellarox ${web_sources})
target_include_directories(stellarox PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(stellarox PRIVATE -O2 -include ${CMAKE_SOURCE_DIR}/src/app/web_compat.h)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/web_compat.cpp
                            PROPERTIES COMPILE_DEFINITIONS STELLAROX_WEB_COMPAT_SELF)
set_target_properties(stellarox PROPERTIES SUFFIX .js LINK_DEPENDS ${web_data}/.generated)
# ASYNCIFY lets the game's blocking loops sleep; STB_IMAGE decodes PNGs exactly, where
# the browser's decoder would apply colour management to key colours.
target_link_options(stellarox PRIVATE
    -O2 -sASYNCIFY -sSTB_IMAGE=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sINVOKE_RUN=0
    -sENVIRONMENT=web "-sEXPORTED_RUNTIME_METHODS=['callMain','FS','ccall']"
    "SHELL:--preload-file ${web_data}/images@/data/images"
    "SHELL:--preload-file ${web_data}/snd@/data/snd"
    "SHELL:--preload-file ${web_data}/fonts@/data/fonts")

# The site: exactly what a host serves, in build-web/site (see site.mjs). The icons are the
# desktop icon's picture, the first ship over the nebula, drawn again at the sizes browsers
# ask for; the font's licence comes from the package the font comes from.
set(web_tracks title 01 02 03 04 05 06)
list(TRANSFORM web_tracks PREPEND ${web_data}/music/ OUTPUT_VARIABLE web_music)
list(TRANSFORM web_music APPEND .ogg)
set(web_font_licence /usr/share/doc/fonts-liberation/copyright)
set(web_page_files ${CMAKE_CURRENT_LIST_DIR}/index.html ${CMAKE_CURRENT_LIST_DIR}/page.js
    ${CMAKE_CURRENT_LIST_DIR}/sw.js ${CMAKE_CURRENT_LIST_DIR}/site.mjs)
find_program(web_node NAMES node nodejs REQUIRED)
find_program(web_convert NAMES convert REQUIRED)
set(web_icons)
foreach(size 192 512)
    math(EXPR ship "${size} * 7 / 8")
    add_custom_command(OUTPUT icon-${size}.png
        COMMAND ${web_convert} ${web_data}/images/backgrounds/background.png
                -resize ${size}x${size}^ -gravity center -extent ${size}x${size}
                ( ${web_data}/images/ships/ship_001.png -transparent "#ff00ff"
                  -resize ${ship}x${ship} ) -gravity center -composite
                ${CMAKE_BINARY_DIR}/icon-${size}.png
        DEPENDS ${web_data}/.generated VERBATIM)
    list(APPEND web_icons ${CMAKE_BINARY_DIR}/icon-${size}.png)
endforeach()
add_custom_command(OUTPUT site.stamp
    COMMAND ${web_node} ${CMAKE_CURRENT_LIST_DIR}/site.mjs ${CMAKE_BINARY_DIR}/site
            ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_LIST_DIR} ${web_font_licence} ${web_music}
    COMMAND ${CMAKE_COMMAND} -E touch site.stamp
    DEPENDS stellarox ${web_music} ${web_page_files} ${web_icons} ${web_font_licence}
            ${web_data}/.generated)
add_custom_target(web_site ALL DEPENDS site.stamp)
