# Run as a test: cmake -DROOT=<source folder> -DROOM_MAP=<rooms.cmake> -P CheckIncludes.cmake
# Every file of src/<room> and tests/<room> may include only its own room and the rooms below
# it, and every folder of src/ must be a room.
cmake_minimum_required(VERSION 3.21)
include(${ROOM_MAP})

set(failures "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${ROOT}/src ${ROOT}/src/*)
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${ROOT}/src/${folder} AND NOT folder IN_LIST WISPEN_ROOMS)
        string(APPEND failures "src/${folder} is no room: declare it in src/CMakeLists.txt\n")
    endif()
endforeach()

foreach(room IN LISTS WISPEN_ROOMS)
    file(GLOB_RECURSE files ${ROOT}/src/${room}/*.h ${ROOT}/src/${room}/*.cpp
                            ${ROOT}/tests/${room}/*.h ${ROOT}/tests/${room}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([a-z]+)/.*$" "\\1" target "${line}")
            if(target IN_LIST WISPEN_ROOMS AND NOT target IN_LIST WISPEN_REACH_${room})
                file(RELATIVE_PATH shown ${ROOT} ${file})
                string(APPEND failures "${shown} (room ${room}) includes ${target}, "
                                       "which is not below it: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "Includes that point up or sideways:\n${failures}")
endif()
list(LENGTH WISPEN_ROOMS count)
message(STATUS "${count} rooms, every include points down")
