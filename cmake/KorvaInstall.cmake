# SPDX-License-Identifier: MIT
# The installed layout: the program and its data file together in one program folder, where the program looks for
# the file; a launcher on the PATH that resolves to the program; the icon, desktop entry and AppStream metainfo for
# the desktop's application menu. And the Debian package of all that.

set(KORVA_PROGRAM_DIR "lib/korva-reference")
set(KORVA_APP_ID "org.korva.CommandReference")

install(TARGETS korva-reference RUNTIME DESTINATION "${KORVA_PROGRAM_DIR}")
install(FILES "${KORVA_SAMPLE_DATA}" DESTINATION "${KORVA_PROGRAM_DIR}")

# bin/korva-reference -> ../lib/korva-reference/korva-reference: the program finds its folder through the link.
install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(CREATE_LINK \"../${KORVA_PROGRAM_DIR}/korva-reference\" \"\${bin}/korva-reference\" SYMBOLIC)
")

foreach(size 16 32 48 64 128 256)
    install(FILES "${PROJECT_SOURCE_DIR}/res/icons/korva-reference-${size}.png"
        DESTINATION "share/icons/hicolor/${size}x${size}/apps"
        RENAME "${KORVA_APP_ID}.png")
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/res/icons/korva-reference.svg"
    DESTINATION "share/icons/hicolor/scalable/apps"
    RENAME "${KORVA_APP_ID}.svg")
install(FILES "${PROJECT_SOURCE_DIR}/res/desktop/${KORVA_APP_ID}.desktop" DESTINATION "share/applications")

# Completion for each shell, where it looks: bash-completion's folder, zsh's site functions (Debian's own packages use
# its vendor completions, which scripts/package.sh says), fish's vendor completions.
set(KORVA_ZSH_COMPLETION_DIR "share/zsh/site-functions" CACHE STRING
    "Where the zsh completion goes, under the prefix (Debian's packages: share/zsh/vendor-completions)")
install(FILES "${PROJECT_SOURCE_DIR}/res/completion/korva-reference.bash"
    DESTINATION "share/bash-completion/completions" RENAME korva-reference)
install(FILES "${PROJECT_SOURCE_DIR}/res/completion/_korva-reference" DESTINATION "${KORVA_ZSH_COMPLETION_DIR}")
install(FILES "${PROJECT_SOURCE_DIR}/res/completion/korva-reference.fish"
    DESTINATION "share/fish/vendor_completions.d")
install(FILES "${PROJECT_SOURCE_DIR}/res/desktop/${KORVA_APP_ID}.metainfo.xml" DESTINATION "share/metainfo")
install(FILES "${PROJECT_SOURCE_DIR}/res/debian/copyright" DESTINATION "share/doc/korva-reference")
install(FILES "${PROJECT_SOURCE_DIR}/res/debian/lintian-overrides"
    DESTINATION "share/lintian/overrides" RENAME korva-reference)

set(CPACK_PACKAGE_NAME "korva-reference")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1) # the first package of this version: Debian's own changelog, changelog.Debian
set(CPACK_PACKAGE_VENDOR "Korva Command Reference developers")
set(CPACK_PACKAGE_CONTACT "Korva Command Reference developers <maintainers@users.noreply.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Look up the commands of the Korva computer-algebra system")
# The long description, in lines of at most 80 characters as Debian's tools show it.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A small window to keep open beside the Korva computer-algebra system:\n"
    "every command in a sorted list, the selected command's description,\n"
    "parameters and examples, related commands, Copy and Find/Next.\n"
    "It reads one plain text reference file, korvadoc, installed beside it,\n"
    "or one of your own; korvadoc-check checks a reference file.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "math")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korva.invalid/reference")
include(CPack)

if(KORVA_BUILD_TESTS)
    add_test(NAME Install.Layout COMMAND bash "${PROJECT_SOURCE_DIR}/scripts/check-install.sh" "${CMAKE_BINARY_DIR}")
endif()
