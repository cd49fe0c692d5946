# Writes the settings.ini the program ships: the base settings followed by the Extensions
# section. Run as a script at build time:
#   cmake -DBASE=settings-base.ini -DEXTENSIONS=extensions.ini -DOUTPUT=settings.ini -P ...
# EXTENSIONS may be empty: the section then holds only the default icon, that of a file.
file(READ "${BASE}" base)
if(EXTENSIONS)
    file(READ "${EXTENSIONS}" extensions)
else()
    set(extensions "[Extensions]\n(Default)=1\n")
endif()
# Written beside the result and then renamed, so that an interrupted build leaves no half file.
file(WRITE "${OUTPUT}.part" "${base}${extensions}")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
