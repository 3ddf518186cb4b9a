# SPDX-License-Identifier: MIT
# The manual pages and the package's change log, compressed as Debian installs them (gzip -9n: no name, no time, so
# the same bytes every build). The target korva_documents makes them.
find_program(KORVA_GZIP gzip REQUIRED)
set(korva_compressed)

# korva_compress(<source> <name> <destination>): installs <source>, compressed, as <destination>/<name>.gz.
function(korva_compress source name destination)
    set(compressed "${CMAKE_BINARY_DIR}/documents/${name}.gz")
    add_custom_command(OUTPUT "${compressed}"
        COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${CMAKE_BINARY_DIR}/documents/${name}"
        COMMAND ${KORVA_GZIP} -9nf "${CMAKE_BINARY_DIR}/documents/${name}"
        DEPENDS "${source}"
        COMMENT "Compressing ${name}"
        VERBATIM)
    install(FILES "${compressed}" DESTINATION "${destination}")
    set(korva_compressed ${korva_compressed} "${compressed}" PARENT_SCOPE)
endfunction()

foreach(page korva-reference.1 korvadoc-check.1 korvadoc.5)
    string(REGEX MATCH "[0-9]$" section "${page}")
    korva_compress("${PROJECT_SOURCE_DIR}/docs/man/${page}" "${page}" "share/man/man${section}")
endforeach()
korva_compress("${PROJECT_SOURCE_DIR}/res/debian/changelog" changelog.Debian "share/doc/korva-reference")
add_custom_target(korva_documents ALL DEPENDS ${korva_compressed})
