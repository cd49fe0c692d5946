# Copies SOURCE to DESTINATION only when DESTINATION does not exist. The settings file of a
# build's program folder belongs to whoever runs the program from there: a rebuild must not
# take their options, search history and remembered folders away.
#   cmake -DSOURCE=... -DDESTINATION=... -P copy_if_missing.cmake
if(NOT EXISTS "${DESTINATION}")
    file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
