# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers shared by the project's CMake files.

set(WAYPLOT2_CORE_TARGETS "" CACHE INTERNAL "")

# wayplot2_core_library(NAME DEPENDS dep...)
# One static library per folder under src/core; sources are every .cpp in the folder.
function(wayplot2_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(wp2_${name} STATIC ${sources})
        target_include_directories(wp2_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(wp2_${name} PUBLIC ${ARG_DEPENDS})
    else()
        add_library(wp2_${name} INTERFACE)
        target_include_directories(wp2_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(wp2_${name} INTERFACE ${ARG_DEPENDS})
    endif()
    set(WAYPLOT2_CORE_TARGETS ${WAYPLOT2_CORE_TARGETS} wp2_${name} CACHE INTERNAL "")
endfunction()

# Walks the link closure of a target and collects every library it names.
function(_wayplot2_link_closure target out)
    set(seen "")
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue t)
        if(t IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${t})
        if(TARGET ${t})
            get_target_property(type ${t} TYPE)
            set(libs "")
            if(NOT type STREQUAL "INTERFACE_LIBRARY")
                get_target_property(l1 ${t} LINK_LIBRARIES)
                if(l1)
                    list(APPEND libs ${l1})
                endif()
            endif()
            get_target_property(l2 ${t} INTERFACE_LINK_LIBRARIES)
            if(l2)
                list(APPEND libs ${l2})
            endif()
            list(APPEND queue ${libs})
        endif()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Fails the configure when a core library reaches a library matching pattern.
function(_wayplot2_core_must_not_link pattern why)
    foreach(t ${WAYPLOT2_CORE_TARGETS})
        _wayplot2_link_closure(${t} closure)
        foreach(dep ${closure})
            if(dep MATCHES "${pattern}")
                message(FATAL_ERROR "core target ${t} links ${dep}: the core must not ${why}")
            endif()
        endforeach()
    endforeach()
endfunction()

# Configure-time guard: the core libraries are plain C++ and must never reach Qt.
function(wayplot2_check_core_has_no_qt)
    _wayplot2_core_must_not_link("Qt" "depend on Qt")
endfunction()

# Configure-time guard: the core never tells the user anything; it returns
# what happened and the program, the dialogs or the tool show it. No core
# library links the message layer (src/messages), and no file under src/core
# includes its headers or calls showMessage() or messageBoxes(). The sources
# are configure dependencies, so an edit re-runs this.
function(wayplot2_check_core_shows_nothing)
    _wayplot2_core_must_not_link("^wp2_messages" "show messages")
    file(GLOB_RECURSE files ${PROJECT_SOURCE_DIR}/src/core/*.h ${PROJECT_SOURCE_DIR}/src/core/*.cpp)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${files})
    foreach(f ${files})
        file(STRINGS ${f} hits REGEX
             "(^[ \t]*#[ \t]*include[ \t]*[<\"][./]*(messages/|[^>\"]*message_box\.h))|showMessage[ \t]*\\(|messageBoxes[ \t]*\\(")
        if(hits)
            list(GET hits 0 first)
            file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${f})
            message(FATAL_ERROR "${name}: ${first}: src/core must not show messages")
        endif()
    endforeach()
endfunction()

# Configure-time guard: the dashboard's drawing layer (src/ui, the preview
# program included) and the dialogs (src/dialogs) get what they need from the
# platform (ports, timers, clock, sound player, battery) through interfaces
# the program hands in; they never link a platform library nor include a
# platform header. The sources are configure dependencies, so an edit re-runs
# this. wayplot2_check_no_platform(FOLDER TARGETS...), FOLDER under src/.
function(wayplot2_check_no_platform folder)
    foreach(t ${ARGN})
        _wayplot2_link_closure(${t} closure)
        foreach(dep ${closure})
            if(dep MATCHES "^wp2_platform")
                message(FATAL_ERROR "${t} links ${dep}: src/${folder} must not depend on src/platform")
            endif()
        endforeach()
    endforeach()
    file(GLOB_RECURSE files ${PROJECT_SOURCE_DIR}/src/${folder}/*.h
         ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${files})
    foreach(f ${files})
        file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][./]*platform/")
        if(hits)
            list(GET hits 0 first)
            file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${f})
            message(FATAL_ERROR "${name}: ${first}: src/${folder} must not depend on src/platform")
        endif()
    endforeach()
endfunction()

# wayplot2_test(NAME SOURCES... LIBS ... [QT])
# A GoogleTest executable registered with CTest. QT tests run on the offscreen platform.
function(wayplot2_test name)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    if(TARGET wayplot2-tool)
        target_compile_definitions(${name} PRIVATE WAYPLOT2_TOOL="$<TARGET_FILE:wayplot2-tool>")
        add_dependencies(${name} wayplot2-tool)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    # A gpsd running on the machine stays out of the tests unless one asks for it.
    set(env "XDG_RUNTIME_DIR=${WAYPLOT2_XDG_RUNTIME_DIR}" "WAYPLOT2_GPSD=")
    if(ARG_QT)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    if(WAYPLOT2_SANITIZE)
        list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
endfunction()

# Qt wants a private runtime directory; tests get one inside the build tree.
set(WAYPLOT2_XDG_RUNTIME_DIR ${CMAKE_BINARY_DIR}/xdg-runtime)
file(MAKE_DIRECTORY ${WAYPLOT2_XDG_RUNTIME_DIR})
file(CHMOD ${WAYPLOT2_XDG_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
