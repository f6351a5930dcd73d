# Puts the sample program folder next to the built program:
#   cmake -DSOURCE_DIR=<programdir> -DTARGET_DIR=<bin> -DWRITTEN_LIST=<list> -P CopyProgramFolder.cmake
# Files the program only reads are refreshed from the source; files it writes (WRITTEN_LIST) are
# copied only where missing, so a rebuild keeps what the program wrote.
foreach(var SOURCE_DIR TARGET_DIR WRITTEN_LIST)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CopyProgramFolder.cmake needs -D${var}=...")
  endif()
endforeach()

file(STRINGS "${WRITTEN_LIST}" lines)
set(written_regexes)
foreach(line IN LISTS lines)
  string(STRIP "${line}" pattern)
  if(pattern STREQUAL "" OR pattern MATCHES "^#")
    continue()
  endif()
  string(REGEX REPLACE "([][.+?^$(){}|\\\\])" "\\\\\\1" regex "${pattern}")
  string(REPLACE "*" "[^/]*" regex "${regex}")
  list(APPEND written_regexes "^${regex}$")
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(file IN LISTS files)
  set(written FALSE)
  foreach(regex IN LISTS written_regexes)
    if(file MATCHES "${regex}")
      set(written TRUE)
      break()
    endif()
  endforeach()
  if(written AND EXISTS "${TARGET_DIR}/${file}")
    continue()
  endif()
  # Copies only when the content differs, so an unchanged file keeps its time stamp.
  configure_file("${SOURCE_DIR}/${file}" "${TARGET_DIR}/${file}" COPYONLY)
endforeach()
