# The source folders are rooms in layers: each room is a static library that links only the
# rooms below it. What each room may include is written to rooms.cmake in the build folder, for
# the test that reads every include of src/ and tests/ and refuses one that points up.

# wispen_add_room(<name> [BELOW <rooms>] QT <Qt modules> SOURCES <files>)
function(wispen_add_room name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "BELOW;QT;SOURCES")
    set(target wispen_${name})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    list(TRANSFORM ARG_BELOW PREPEND wispen_ OUTPUT_VARIABLE rooms)
    list(TRANSFORM ARG_QT PREPEND Qt6:: OUTPUT_VARIABLE modules)
    target_link_libraries(${target} PUBLIC ${rooms} ${modules})

    # A room reaches itself and every room it stands on, directly or through another.
    set(reach ${name})
    foreach(room IN LISTS ARG_BELOW)
        get_property(below GLOBAL PROPERTY WISPEN_REACH_${room})
        if(NOT below)
            message(FATAL_ERROR "room ${name} stands on ${room}, which is not built before it")
        endif()
        list(APPEND reach ${below})
    endforeach()
    list(REMOVE_DUPLICATES reach)
    set_property(GLOBAL PROPERTY WISPEN_REACH_${name} ${reach})
    set_property(GLOBAL APPEND PROPERTY WISPEN_ROOMS ${name})
endfunction()

# Writes what every room reaches, once all rooms are declared.
function(wispen_write_room_map file)
    get_property(rooms GLOBAL PROPERTY WISPEN_ROOMS)
    set(content "set(WISPEN_ROOMS ${rooms})\n")
    foreach(room IN LISTS rooms)
        get_property(reach GLOBAL PROPERTY WISPEN_REACH_${room})
        string(APPEND content "set(WISPEN_REACH_${room} ${reach})\n")
    endforeach()
    file(WRITE ${file} "${content}")
endfunction()
