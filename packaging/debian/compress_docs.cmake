# Runs in cpack after the files are staged and before the package is made
# (CPACK_PRE_BUILD_SCRIPTS). A Debian package keeps its man pages and its
# changelog compressed; "cmake --install" leaves them as they are.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
message(STATUS "staged in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER staged INCLUDE REGEX "/man/([a-z]+/)?man1/[^/]+\\.1$|/doc/wellenlaenge/changelog$")
foreach(file IN LISTS staged)
    # -n: no name and no time stamp, so the package is the same on every build.
    execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip ${file} failed")
    endif()
endforeach()
