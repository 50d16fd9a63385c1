# SPDX-License-Identifier: MIT
#
# Reads CHANGELOG.md, the one place the project records its releases, and makes from it:
#   - the Debian changelog of the package (${PROJECT_BINARY_DIR}/packaging/changelog);
#   - REDURIVEZI_RELEASES_XML, the <release> elements of the AppStream metainfo.
#
# CHANGELOG.md holds a "## VERSION (YYYY-MM-DD HH:MM)" heading per release, newest first,
# the time in UTC, each followed by "- " items whose continuation lines are indented.

function(redurivezi_read_changelog changelog maintainer)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
    # Semicolons would split CMake's lists: they travel as a placeholder until written.
    file(READ ${changelog} text)
    string(REPLACE ";" "%SEMICOLON%" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")

    set(debian "")
    set(xml "")
    set(version "")
    set(items "")
    # Appends the release gathered so far to both outputs.
    macro(close_release)
        if(version)
            execute_process(COMMAND date -u -R -d "${date} ${time} UTC"
                            OUTPUT_VARIABLE rfcDate OUTPUT_STRIP_TRAILING_WHITESPACE
                            COMMAND_ERROR_IS_FATAL ANY)
            string(APPEND debian "redurivezi (${version}) unstable; urgency=medium\n\n")
            string(APPEND xml "    <release version=\"${version}\" date=\"${date}T${time}:00Z\">\n"
                              "      <description>\n        <ul>\n")
            foreach(item IN LISTS items)
                string(REPLACE "\n" "\n    " wrapped "${item}")
                string(APPEND debian "  * ${wrapped}\n")
                string(REPLACE "\n" " " oneLine "${item}")
                string(REPLACE "&" "&amp;" oneLine "${oneLine}")
                string(REPLACE "<" "&lt;" oneLine "${oneLine}")
                string(APPEND xml "          <li>${oneLine}</li>\n")
            endforeach()
            string(APPEND debian "\n -- ${maintainer}  ${rfcDate}\n\n")
            string(APPEND xml "        </ul>\n      </description>\n    </release>\n")
        endif()
        set(items "")
    endmacro()

    set(item "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^## ([0-9.]+) \\(([0-9-]+) ([0-9:]+)\\)$")
            if(item)
                list(APPEND items "${item}")
                set(item "")
            endif()
            close_release()
            set(version ${CMAKE_MATCH_1})
            set(date ${CMAKE_MATCH_2})
            set(time ${CMAKE_MATCH_3})
        elseif(version AND line MATCHES "^- (.*)$")
            if(item)
                list(APPEND items "${item}")
            endif()
            set(item "${CMAKE_MATCH_1}")
        elseif(version AND item AND line MATCHES "^  +(.*)$")
            string(APPEND item "\n${CMAKE_MATCH_1}")
        endif()
    endforeach()
    if(item)
        list(APPEND items "${item}")
    endif()
    close_release()

    string(REGEX REPLACE "\n+$" "\n" debian "${debian}")
    string(REPLACE "%SEMICOLON%" ";" debian "${debian}")
    string(REPLACE "%SEMICOLON%" ";" xml "${xml}")
    file(WRITE ${PROJECT_BINARY_DIR}/packaging/changelog "${debian}")
    set(REDURIVEZI_RELEASES_XML "${xml}" PARENT_SCOPE)
endfunction()
