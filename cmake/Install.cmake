# Installing (cmake --install) and packaging (cpack -G DEB). The programs go to bin/, the
# manual to share/kobaltune/, the desktop entry, metainfo and icons where the desktop looks.
include(GNUInstallDirs)

set(KOBALTUNE_DESKTOP_ID org.kobaltune.Kobaltune)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS kobaltune kobaltune-drive mcish kobaltune-titles
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${KOBALTUNE_MANUAL_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kobaltune)
install(FILES ${desktop_dir}/${KOBALTUNE_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_dir}/${KOBALTUNE_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${desktop_dir}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The installed program finds its manual from its own folder, wherever the prefix is.
file(RELATIVE_PATH data_from_bin /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_DATADIR}/kobaltune)
set_source_files_properties(${PROJECT_SOURCE_DIR}/app/DataFolder.cpp TARGET_DIRECTORY kb_program
                            PROPERTIES COMPILE_DEFINITIONS KB_DATA_FROM_BIN="${data_from_bin}")

set(CPACK_PACKAGE_NAME kobaltune)
set(CPACK_PACKAGE_VENDOR "The Kobaltune developers")
set(CPACK_PACKAGE_CONTACT "The Kobaltune developers <kobaltune@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Skinned multimedia player for audio CDs, CD images and media files")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A single-window player with a Japanese user interface that looks like a piece of hardware: it\n"
    "plays audio CDs and CD images in virtual drives, video, WAV, MIDI and MP3 files.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kobaltune)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
# Found at run time, not linked: the General MIDI SoundFont and the panel's fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "timgm6mb-soundfont | fluid-soundfont-gm, fonts-dseg, fonts-ipafont-gothic, fonts-liberation2, shared-mime-info, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adwaita-icon-theme, dbus-user-session")
set(CPACK_GENERATOR DEB)
include(CPack)
