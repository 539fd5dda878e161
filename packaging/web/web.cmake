# The browser build: the game's sources through Emscripten's SDL 1.2 emulation, with the
# corrections of src/app/web_compat.h included before every file. Images, sounds and the
# font travel in one data package loaded before the first frame; the music files are
# copied beside it and fetched by the page in the background.
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

file(GLOB web_music CONFIGURE_DEPENDS ${web_data}/music/*.ogg)
set(web_page_files ${CMAKE_CURRENT_LIST_DIR}/index.html ${CMAKE_CURRENT_LIST_DIR}/page.js)
add_custom_command(OUTPUT web_files.stamp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/music
    COMMAND ${CMAKE_COMMAND} -E copy ${web_music} ${CMAKE_BINARY_DIR}/music
    COMMAND ${CMAKE_COMMAND} -E copy ${web_page_files} ${CMAKE_BINARY_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch web_files.stamp
    DEPENDS ${web_music} ${web_page_files} ${web_data}/.generated)
add_custom_target(web_files ALL DEPENDS web_files.stamp)
