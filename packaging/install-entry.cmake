# Run by `cmake --install` and by CPack, after the set() lines the install rules put before it: writes the
# desktop entry and the manual page with the folders of this installation filled in, and the Debian
# changelog compressed.

function(mw_absolute out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

mw_absolute(bindir "${MW_BINDIR}")
mw_absolute(datadir "${MW_DATADIR}")
mw_absolute(MW_DATA_FOLDER "${MW_DATA_SUBDIR}")
mw_absolute(mandir "${MW_MANDIR}")
mw_absolute(docdir "${MW_DATADIR}/doc/mapwheel")
set(MW_BINARY "${bindir}/mapwheel")

# Writes a configured copy of source to folder/name, compressed with gzip when name ends in .gz, and records it
# as installed like the files install() copies.
function(mw_install_configured source folder name)
    set(target "${folder}/${name}")
    message(STATUS "Installing: $ENV{DESTDIR}${target}")
    file(READ "${source}" text)
    string(CONFIGURE "${text}" text @ONLY)
    string(REGEX REPLACE "\\.gz$" "" plain "$ENV{DESTDIR}${target}")
    file(REMOVE "$ENV{DESTDIR}${target}")
    file(WRITE "${plain}" "${text}")
    if(NOT plain STREQUAL "$ENV{DESTDIR}${target}")
        execute_process(COMMAND gzip -9n "${plain}" RESULT_VARIABLE gzipped)
        if(NOT gzipped EQUAL 0)
            message(FATAL_ERROR "gzip could not compress ${plain}")
        endif()
    endif()
    file(CHMOD "$ENV{DESTDIR}${target}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
    set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

mw_install_configured("${MW_SOURCE_DIR}/${MW_APP_ID}.desktop.in" "${datadir}/applications" "${MW_APP_ID}.desktop")
# Manual pages are kept compressed; man reads them so.
mw_install_configured("${MW_SOURCE_DIR}/mapwheel.1" "${mandir}/man1" "mapwheel.1.gz")
# The Debian changelog has nothing to fill in; like the manual page it is kept compressed.
mw_install_configured("${MW_SOURCE_DIR}/changelog" "${docdir}" "changelog.Debian.gz")
