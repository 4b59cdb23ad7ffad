# Copies the sample data folder beside the program, file by file, without ever overwriting a
# file that is already there: the catalogue there may hold the user's own changes.
file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(f IN LISTS files)
    if(NOT EXISTS "${DEST}/${f}")
        get_filename_component(dir "${DEST}/${f}" DIRECTORY)
        file(MAKE_DIRECTORY "${dir}")
        file(COPY "${SOURCE}/${f}" DESTINATION "${dir}")
    endif()
endforeach()
