# The libraries the show's parts link, on the web, under the names the Linux build finds them by:
# SDL 1.2 and fixed-function GL are Emscripten's own emulations (in its JavaScript library, no
# port), mpg123 and kissfft are Debian's sources built for the web by scripts/web.sh into
# VL_WEB_DEPS, and DevIL and threads are not needed.
set(VL_WEB_DEPS "" CACHE PATH "where scripts/web.sh installed mpg123 and kissfft built for the web")
if(NOT EXISTS "${VL_WEB_DEPS}/lib/libmpg123.a" OR NOT EXISTS "${VL_WEB_DEPS}/lib/libkissfft-float.a")
  message(FATAL_ERROR "no mpg123 and kissfft for the web in VL_WEB_DEPS='${VL_WEB_DEPS}': build with scripts/web.sh")
endif()

foreach(_none PkgConfig::SDL PkgConfig::DEVIL OpenGL::GLU Threads::Threads)
  add_library(${_none} INTERFACE IMPORTED)
endforeach()
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_options(OpenGL::GL INTERFACE -sLEGACY_GL_EMULATION=1)

add_library(PkgConfig::MPG123 STATIC IMPORTED)
set_target_properties(PkgConfig::MPG123 PROPERTIES
    IMPORTED_LOCATION "${VL_WEB_DEPS}/lib/libmpg123.a"
    INTERFACE_INCLUDE_DIRECTORIES "${VL_WEB_DEPS}/include")
add_library(PkgConfig::KISSFFT STATIC IMPORTED)
set_target_properties(PkgConfig::KISSFFT PROPERTIES
    IMPORTED_LOCATION "${VL_WEB_DEPS}/lib/libkissfft-float.a"
    INTERFACE_INCLUDE_DIRECTORIES "${VL_WEB_DEPS}/include/kissfft"
    INTERFACE_COMPILE_DEFINITIONS "kiss_fft_scalar=float")
