# Installs a program of the kit the way a Linux desktop expects it.
#
# poskit_install_desktop_program(TARGET quorvane ID org.poskit.Quorvane)
#   bin/<TARGET>
#   share/applications/<ID>.desktop           from packaging/<ID>.desktop
#   share/metainfo/<ID>.metainfo.xml          from packaging/<ID>.metainfo.xml
#   share/icons/hicolor/<N>x<N>/apps/<ID>.png rendered by poskit_iconrender <TARGET>
#   share/man/man1/<TARGET>.1.gz              from docs/man/<TARGET>.1
# The icon tool must know TARGET: it draws each program's own artwork.

include(GNUInstallDirs)

set(POSKIT_ICON_SIZES 16 24 32 48 64 128 256)

function(poskit_install_desktop_program)
    cmake_parse_arguments(ARG "" "TARGET;ID" "" ${ARGN})
    if(NOT ARG_TARGET OR NOT ARG_ID)
        message(FATAL_ERROR "poskit_install_desktop_program needs TARGET and ID")
    endif()
    set(source "${PROJECT_SOURCE_DIR}/packaging/${ARG_ID}")
    set(man "${PROJECT_SOURCE_DIR}/docs/man/${ARG_TARGET}.1")
    foreach(file "${source}.desktop" "${source}.metainfo.xml" "${man}")
        if(NOT EXISTS "${file}")
            message(FATAL_ERROR "${ARG_TARGET}: ${file} is missing")
        endif()
    endforeach()

    install(TARGETS ${ARG_TARGET} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES "${source}.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${source}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    set(icon_dir "${CMAKE_CURRENT_BINARY_DIR}/icons")
    set(icons)
    foreach(size IN LISTS POSKIT_ICON_SIZES)
        set(icon "${icon_dir}/${ARG_TARGET}-${size}.png")
        list(APPEND icons "${icon}")
        install(FILES "${icon}" RENAME "${ARG_ID}.png"
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_command(OUTPUT ${icons}
        COMMAND ${CMAKE_COMMAND} -E make_directory "${icon_dir}"
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:poskit_iconrender> ${ARG_TARGET} "${icon_dir}" ${POSKIT_ICON_SIZES}
        DEPENDS poskit_iconrender
        COMMENT "Rendering the icons of ${ARG_TARGET}"
        VERBATIM)

    # Debian installs man pages compressed; man reads them either way.
    set(man_out "${CMAKE_CURRENT_BINARY_DIR}/man/${ARG_TARGET}.1")
    add_custom_command(OUTPUT "${man_out}.gz"
        COMMAND ${CMAKE_COMMAND} -E copy "${man}" "${man_out}"
        COMMAND gzip -9nf "${man_out}"
        DEPENDS "${man}"
        VERBATIM)
    install(FILES "${man_out}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    add_custom_target(${ARG_TARGET}_desktop_files ALL DEPENDS ${icons} "${man_out}.gz")
endfunction()
