# Turns Unicode's CaseFolding.txt into a sorted C++ table of the simple case
# foldings (status C and S): one character to one character, which is how
# Windows compares file names. Run in script mode:
#   cmake -DIN=CaseFolding.txt -DOUT=case_folding.inc -P case_folding.cmake
if(NOT EXISTS "${IN}")
  message(FATAL_ERROR "${IN} is missing (Debian package unicode-data)")
endif()
file(STRINGS "${IN}" lines REGEX "^[0-9A-F]+; [CS]; [0-9A-F]+;")
file(STRINGS "${IN}" version REGEX "^# CaseFolding-.*\\.txt" LIMIT_COUNT 1)
string(REGEX REPLACE "^# " "" version "${version}")
set(rows "")
set(count 0)
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([0-9A-F]+); [CS]; ([0-9A-F]+);" _ "${line}")
  string(APPEND rows "    {0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}},\n")
  math(EXPR count "${count} + 1")
endforeach()
file(WRITE "${OUT}.tmp" "// Generated from ${version} by cmake/case_folding.cmake; do not edit.\n"
  "// ${count} simple case foldings, sorted by the character folded.\n"
  "{\n${rows}}\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
