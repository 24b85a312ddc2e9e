# the Debian package: make deb runs CPack with these settings
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Corvane authors <maintainers@corvane.dev>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # corvane_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://corvane.dev)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# shared-mime-info and desktop-file-utils pick up the new file types and menu entry by their triggers;
# Qt's own translations make its file dialogs and standard buttons follow the window's language
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack indents every line after the synopsis and turns the empty one into " ."
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "back up Visual Basic 6 projects into ZIP archives
Corvane reads a Visual Basic 6 project (.vbp) or a group of projects
(.vbpgroup), collects every file the project names together with the
binary companions of its forms, and writes them into one ZIP archive,
optionally encrypted with AES-256, named after the project's name,
version and the moment of the backup. Files from outside the project's
folder are stored too, and a rewritten project file makes the archive
unpack into a project that opens anywhere.

The package holds the desktop program corvane, translated into French,
German, Italian, Spanish, Portuguese and Dutch, and the command-line
program corvane-cli for scripts.")
include(CPack)
