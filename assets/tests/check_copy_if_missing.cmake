# The settings file of a build's program folder is made once and then left to its user: the
# build copies the shipped file only where there is none.
#   cmake -DSCRIPT=copy_if_missing.cmake -DSCRATCH=folder -P check_copy_if_missing.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${SCRATCH}")
file(WRITE "${SCRATCH}/shipped.ini" "[Settings]\nloadwind=0\n")

function(run_copy)
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE=${SCRATCH}/shipped.ini
                            -DDESTINATION=${SCRATCH}/settings.ini -P "${SCRIPT}"
                    RESULT_VARIABLE status ERROR_VARIABLE log)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "copy_if_missing failed: ${log}")
    endif()
endfunction()

run_copy()
file(READ "${SCRATCH}/settings.ini" first)
if(NOT first STREQUAL "[Settings]\nloadwind=0\n")
    message(FATAL_ERROR "a missing settings file was not made from the shipped one: '${first}'")
endif()

file(WRITE "${SCRATCH}/settings.ini" "[Settings]\nloadwind=1\n[Strings]\nTotal=1\ns1=*.mp3\n")
run_copy()
file(READ "${SCRATCH}/settings.ini" kept)
if(NOT kept STREQUAL "[Settings]\nloadwind=1\n[Strings]\nTotal=1\ns1=*.mp3\n")
    message(FATAL_ERROR "the user's settings file was overwritten: '${kept}'")
endif()
