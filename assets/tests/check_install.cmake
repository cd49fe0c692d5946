# Installs the build into a scratch prefix and checks that the installation holds everything
# the program needs on a machine where it is installed: the programs, the files it seeds the
# user's application folder with, and the desktop entry with its icon. The shipped files are
# also opened: a sound that no player accepts or an empty help document fails here.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DEXPECT_DESKTOP_PROGRAM=ON|OFF -P check_install.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${log}")
endif()

set(failures "")
function(report problem)
    set(failures "${failures}  ${problem}\n" PARENT_SCOPE)
endfunction()

set(shipped "${PREFIX}/share/platterly")
set(expected_files
    bin/platterly-cli
    share/platterly/db.db2
    share/platterly/settings.ini
    share/platterly/qn.qns
    share/platterly/click.qns
    share/platterly/music.qns
    share/platterly/help.pdf
    share/applications/platterly.desktop
    share/icons/hicolor/scalable/apps/platterly.svg)
if(EXPECT_DESKTOP_PROGRAM)
    list(APPEND expected_files bin/platterly)
endif()
foreach(relative IN LISTS expected_files)
    if(NOT EXISTS "${PREFIX}/${relative}")
        report("missing ${relative}")
    endif()
endforeach()

# Reads `count` bytes at `offset` of a file as an unsigned little-endian number.
function(read_little_endian file offset count result)
    file(READ "${file}" hex OFFSET ${offset} LIMIT ${count} HEX)
    set(value 0)
    math(EXPR last "${count} - 1")
    foreach(index RANGE ${last} 0 -1)
        math(EXPR start "${index} * 2")
        string(SUBSTRING "${hex}" ${start} 2 byte)
        math(EXPR value "${value} * 256 + 0x${byte}")
    endforeach()
    set(${result} ${value} PARENT_SCOPE)
endfunction()

# Each sound: a PCM wave of 16-bit mono samples at 22050 Hz, lasting from `shortest` to
# `longest` ms. The music must end before the About window starts it again, after 7100 ms.
foreach(sound "qn;1200;2000" "click;20;100" "music;5500;7000")
    list(GET sound 0 name)
    list(GET sound 1 shortest)
    list(GET sound 2 longest)
    set(file "${shipped}/${name}.qns")
    if(NOT EXISTS "${file}")
        continue()
    endif()
    # Compared as hex: a text read of a binary file is not taken byte for byte.
    file(READ "${file}" riff LIMIT 4 HEX)
    file(READ "${file}" wave OFFSET 8 LIMIT 8 HEX)
    if(NOT riff STREQUAL "52494646" OR NOT wave STREQUAL "57415645666d7420") # RIFF, WAVEfmt
        report("${name}.qns is not a wave file")
        continue()
    endif()
    read_little_endian("${file}" 20 2 format)
    read_little_endian("${file}" 22 2 channels)
    read_little_endian("${file}" 24 4 rate)
    read_little_endian("${file}" 34 2 bits)
    if(NOT format EQUAL 1 OR NOT channels EQUAL 1 OR NOT rate EQUAL 22050 OR NOT bits EQUAL 16)
        report("${name}.qns is not 16-bit mono PCM at 22050 Hz")
    endif()
    read_little_endian("${file}" 40 4 data_bytes)
    file(SIZE "${file}" size)
    math(EXPR expected_size "44 + ${data_bytes}")
    if(NOT size EQUAL expected_size)
        report("${name}.qns holds ${size} bytes, its header says ${expected_size}")
    endif()
    math(EXPR length_ms "${data_bytes} * 1000 / (22050 * 2)")
    if(length_ms LESS shortest OR length_ms GREATER longest)
        report("${name}.qns lasts ${length_ms} ms, not ${shortest} to ${longest}")
    endif()
endforeach()

# The help document: a PDF with a title page and the guide after it.
if(EXISTS "${shipped}/help.pdf")
    file(READ "${shipped}/help.pdf" magic LIMIT 5 HEX)
    file(STRINGS "${shipped}/help.pdf" pages REGEX "/Type /Page$|/Type /Page[^s]")
    list(LENGTH pages page_count)
    if(NOT magic STREQUAL "255044462d") # %PDF-
        report("help.pdf is not a PDF")
    elseif(page_count LESS 4)
        report("help.pdf has only ${page_count} pages")
    endif()
endif()

# Lines of an INI or desktop file other than comments (whose ';' would split a CMake list).
function(read_setting_lines file result)
    file(STRINGS "${file}" lines REGEX "^[^;#]")
    set(${result} "${lines}" PARENT_SCOPE)
endfunction()

# The settings file: every section the program reads, with the values a first start needs.
# No DriveLetter: until one is chosen, the drive box shows the first optical drive.
if(EXISTS "${shipped}/settings.ini")
    read_setting_lines("${shipped}/settings.ini" lines)
    foreach(line "[Settings]" "loadwind=0" "PlaySound=1" "[Paths]"
                 "LoadedPath=APP" "[Strings]" "Total=0" "[Extensions]")
        if(NOT line IN_LIST lines)
            report("settings.ini lacks the line ${line}")
        endif()
    endforeach()
    list(FILTER lines INCLUDE REGEX "^\\(Default\\)=[0-9]+$")
    if(NOT lines)
        report("settings.ini gives no (Default) icon")
    endif()
endif()

set(entry "${PREFIX}/share/applications/platterly.desktop")
if(EXISTS "${entry}")
    read_setting_lines("${entry}" lines)
    foreach(line "[Desktop Entry]" "Type=Application" "Name=Quenlo Platterly" "Exec=platterly"
                 "Icon=platterly")
        if(NOT line IN_LIST lines)
            report("platterly.desktop lacks the line ${line}")
        endif()
    endforeach()
endif()

if(failures)
    message(FATAL_ERROR "The installation in ${PREFIX} is not complete:\n${failures}")
endif()
message(STATUS "The installation in ${PREFIX} holds every shipped file")
