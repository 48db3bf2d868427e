# Runs when cpack starts (CPACK_PROJECT_CONFIG_FILE). A Debian package needs
# dpkg-shlibdeps (dpkg-dev) for its Depends and `file` to find the programs
# to look at; without them cpack would make a package without dependencies
# and only mention it in passing.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
foreach(tool dpkg-shlibdeps file)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
        message(FATAL_ERROR "${tool} is missing, so the package would have no Depends. "
                            "Install it first: bash scripts/deps.sh package (as root), "
                            "or apt-get install dpkg-dev file")
    endif()
endforeach()
