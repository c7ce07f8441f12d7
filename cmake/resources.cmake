# One list of embedded resources feeds both builds:
#   resources/resources.list: lines "<id> <RCDATA|ICON> <file under resources/>"
# The exe gets a resource script for windres; the sim gets byte arrays.
set(QUILLET_RES_LIST ${CMAKE_SOURCE_DIR}/resources/resources.list)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUILLET_RES_LIST})

function(quillet_read_resources out_ids out_types out_files)
    set(ids) 
    set(types)
    set(files)
    if(EXISTS ${QUILLET_RES_LIST})
        file(STRINGS ${QUILLET_RES_LIST} lines)
        foreach(line ${lines})
            if(line MATCHES "^([0-9]+)[ \t]+([A-Z]+)[ \t]+([^ \t]+)")
                set(f ${CMAKE_SOURCE_DIR}/resources/${CMAKE_MATCH_3})
                if(NOT EXISTS ${f})
                    message(FATAL_ERROR "resource file missing: ${f}")
                endif()
                list(APPEND ids ${CMAKE_MATCH_1})
                list(APPEND types ${CMAKE_MATCH_2})
                list(APPEND files ${f})
                set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${f})
            endif()
        endforeach()
    endif()
    set(${out_ids} "${ids}" PARENT_SCOPE)
    set(${out_types} "${types}" PARENT_SCOPE)
    set(${out_files} "${files}" PARENT_SCOPE)
endfunction()

function(quillet_rc_file out)
    quillet_read_resources(ids types files)
    set(rc "// Generated from resources/resources.list\n#include <winuser.h>\n")
    # The embedded manifest declares DPI awareness (per monitor where the
    # system offers it). Windows then ignores an external manifest, so the
    # style manifest the settings page writes beside the exe is activated by
    # the program itself at start-up (platform/win32/win_system.cpp).
    string(APPEND rc "1 24 \"${CMAKE_SOURCE_DIR}/resources/quillet.manifest\"\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/quillet.manifest)
    list(LENGTH ids n)
    if(n GREATER 0)
        math(EXPR last "${n} - 1")
        foreach(i RANGE ${last})
            list(GET ids ${i} id)
            list(GET types ${i} type)
            list(GET files ${i} f)
            if(type STREQUAL "ICON")
                string(APPEND rc "${id} ICON \"${f}\"\n")
            endif()
            # Every resource is also reachable as raw bytes.
            string(APPEND rc "${id} RCDATA \"${f}\"\n")
        endforeach()
    endif()
    # The version Explorer's properties show.
    set(v "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    string(APPEND rc "1 VERSIONINFO\nFILEVERSION ${v}\nPRODUCTVERSION ${v}\nFILEOS 0x40004\nFILETYPE 0x1\n"
           "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904B0\"\n    BEGIN\n"
           "      VALUE \"ProductName\", \"Quillet\"\n"
           "      VALUE \"ProductVersion\", \"${PROJECT_VERSION}\"\n"
           "      VALUE \"FileVersion\", \"${PROJECT_VERSION}\"\n"
           "      VALUE \"FileDescription\", \"Quillet desktop assistant\"\n"
           "      VALUE \"InternalName\", \"quillet\"\n"
           "      VALUE \"OriginalFilename\", \"quillet.exe\"\n"
           "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n")
    set(path ${CMAKE_BINARY_DIR}/quillet.rc)
    file(WRITE ${path}.new "${rc}")
    file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
    set(${out} ${path} PARENT_SCOPE)
endfunction()

function(quillet_sim_resources out)
    quillet_read_resources(ids types files)
    set(cpp "// Generated from resources/resources.list\n#include \"platform/resources.h\"\n\nnamespace {\n")
    set(cases "")
    list(LENGTH ids n)
    if(n GREATER 0)
        math(EXPR last "${n} - 1")
        foreach(i RANGE ${last})
            list(GET ids ${i} id)
            list(GET files ${i} f)
            file(READ ${f} hex HEX)
            string(LENGTH "${hex}" hexlen)
            math(EXPR size "${hexlen} / 2")
            string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
            string(APPEND cpp "const unsigned char r${id}[${size} + 1] = {${bytes}0};\n")
            string(APPEND cases "    case ${id}: return {reinterpret_cast<const char*>(r${id}), ${size}};\n")
        endforeach()
    endif()
    string(APPEND cpp "}  // namespace\n\nnamespace q {\nstd::string_view resource_bytes(Res id) {\n    switch (static_cast<int>(id)) {\n${cases}    default: return {};\n    }\n}\n}  // namespace q\n")
    set(path ${CMAKE_BINARY_DIR}/sim_resources.cpp)
    file(WRITE ${path}.new "${cpp}")
    file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
    set(${out} ${path} PARENT_SCOPE)
endfunction()
