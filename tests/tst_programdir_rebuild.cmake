# Rebuilds the program folder of a build tree after changing it as the program and a user would:
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<programdir> -P tst_programdir_rebuild.cmake
# What the program wrote must survive; what it only reads must come back as in the source.
set(bin "${BUILD_DIR}/bin")
set(keep "${BUILD_DIR}/programdir-rebuild-check")
set(touched SysBuild.ini Products/QX3/UserConfig/MouseParamConfig.ini)
file(REMOVE_RECURSE "${keep}")
foreach(f IN LISTS touched)
  if(NOT EXISTS "${bin}/${f}")
    message(FATAL_ERROR "${bin}/${f} missing: build the programdir target first")
  endif()
  configure_file("${bin}/${f}" "${keep}/${f}" COPYONLY)
endforeach()

file(APPEND "${bin}/SysBuild.ini" "\n[RebuildCheck]\nKept=1\n")              # written, changed
file(WRITE "${bin}/LingualDir/Lingual_English.xml" "<changed/>")             # read only, changed
file(REMOVE "${bin}/Products/QM8/QM8.png")                                   # read only, missing
file(REMOVE "${bin}/Products/QX3/UserConfig/MouseParamConfig.ini")           # written, missing

execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target programdir
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
set(faults)
if(NOT rc EQUAL 0)
  list(APPEND faults "the rebuild failed: ${out}")
endif()
file(STRINGS "${bin}/SysBuild.ini" kept REGEX "^Kept=1$")
if(NOT kept)
  list(APPEND faults "the change to SysBuild.ini was overwritten")
endif()
foreach(f LingualDir/Lingual_English.xml Products/QM8/QM8.png Products/QX3/UserConfig/MouseParamConfig.ini)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE_DIR}/${f}" "${bin}/${f}" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND faults "${f} is not the source's after the rebuild")
  endif()
endforeach()

# The build's own settings go back as they were.
foreach(f IN LISTS touched)
  configure_file("${keep}/${f}" "${bin}/${f}" COPYONLY)
endforeach()
file(REMOVE_RECURSE "${keep}")
if(faults)
  string(REPLACE ";" "\n  " faults "${faults}")
  message(FATAL_ERROR "program folder rebuild:\n  ${faults}")
endif()
