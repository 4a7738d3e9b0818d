# The Debian package, orvenna_<version>_amd64.deb, made by `cpack -G DEB` in the release
# build (scripts/package-deb.sh). It installs under /usr: the programs, the HTML query module
# in its own folder (lib/orvenna, found through the programs' RPATH), the help pages, the
# fontconfig rule, the desktop entry and the icon. Its dependencies come from the libraries
# the programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvenna)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvenna maintainers <maintainers@orvenna.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "I-Ching hexagram casting with suggested 7-star lottery digits")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvenna casts an I-Ching six-line hexagram for a querent (from a typed number,\n\
the time of a draw, or six lines cast with three coins), builds the full chart\n\
of the primary and the changed hexagram, writes the interpretation and turns\n\
the chart into suggested digits for the 7-star lottery. Results are saved to a\n\
local SQLite database and can be shown as a QR code.\n\
.\n\
The package holds the desktop program, orvenna, and its command-line\n\
companion, orvenna-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the shipped fontconfig rule names for the Song face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvenna.invalid/")

# What Debian asks of every package's documentation folder: the copyright and a changelog.
set(doc share/doc/orvenna)
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog)
add_custom_target(orvenna_changelog ALL DEPENDS ${changelog})
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${changelog} DESTINATION ${doc})

include(CPack)
