# Writes the simple case folding of Unicode's CaseFolding.txt (statuses C
# and S) as runs for platform/case_folding.cpp: each run maps every
# stride-th code point from first to last to itself plus delta. A few
# hundred runs hold the whole table, which lines up in such stretches
# (A-Z, Latin pairs at stride 2, Greek, Cyrillic).
# Usage: cmake -DSOURCE=CaseFolding.txt -DOUTPUT=file.inc -P case_folding_table.cmake
file(STRINGS ${SOURCE} version LIMIT_COUNT 1 REGEX "^# CaseFolding")
string(REGEX REPLACE "^# " "" version "${version}")
file(STRINGS ${SOURCE} lines REGEX "^[0-9A-F]+; [CS]; [0-9A-F]+;")
if(NOT lines)
  message(FATAL_ERROR "${SOURCE}: no simple case foldings")
endif()

set(rows "")
set(count 0)
set(open OFF)
macro(close_run)
  if(open)
    string(APPEND rows "    {${first}, ${last}, ${stride}, ${delta}},\n")
    math(EXPR count "${count} + 1")
  endif()
endmacro()

foreach(line IN LISTS lines)
  string(REGEX MATCH "^([0-9A-F]+); [CS]; ([0-9A-F]+);" _ "${line}")
  math(EXPR from "0x${CMAKE_MATCH_1}")
  math(EXPR to "0x${CMAKE_MATCH_2}")
  math(EXPR step "${to} - ${from}")
  set(extend OFF)
  if(open AND step EQUAL delta)
    math(EXPR gap "${from} - ${last}")
    if(length EQUAL 1 AND (gap EQUAL 1 OR gap EQUAL 2))
      set(stride ${gap})
      set(extend ON)
    elseif(gap EQUAL stride)
      set(extend ON)
    endif()
  endif()
  if(extend)
    set(last ${from})
    math(EXPR length "${length} + 1")
  else()
    close_run()
    set(open ON)
    set(first ${from})
    set(last ${from})
    set(stride 1)
    set(delta ${step})
    set(length 1)
  endif()
endforeach()
close_run()

file(WRITE ${OUTPUT}.tmp
  "// Generated at build time from ${version}: simple case folding, statuses C and S.\n"
  "// {first, last, stride, delta}, in order of first. ${count} runs.\n"
  "${rows}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
