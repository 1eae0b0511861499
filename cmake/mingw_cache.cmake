# Where scripts/mingw-libs.sh keeps libarchive and liblzma built for Windows,
# with their unpacked sources: ${TAVREL_MINGW_CACHE}, else
# ${XDG_CACHE_HOME}/tavrel/mingw-w64, else ~/.cache/tavrel/mingw-w64.
if(DEFINED ENV{TAVREL_MINGW_CACHE})
  set(mingw_cache "$ENV{TAVREL_MINGW_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(mingw_cache "$ENV{XDG_CACHE_HOME}/tavrel/mingw-w64")
else()
  set(mingw_cache "$ENV{HOME}/.cache/tavrel/mingw-w64")
endif()
set(TAVREL_MINGW_LIBS "${mingw_cache}" CACHE PATH "libarchive and liblzma for Windows (scripts/mingw-libs.sh)")
