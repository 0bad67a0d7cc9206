# Helpers shared by every folder's CMakeLists.

# The Qt modules a core library must not reach, directly or through anything it links.
set(ORVA_FORBIDDEN_IN_CORE "Gui|Widgets|PrintSupport|Multimedia|MultimediaWidgets|OpenGL|OpenGLWidgets|Svg|SvgWidgets|Quick|Qml")

# orva_core_library(<target> <sources...>)
# A core library: QtCore only. Including a QtGui, QtWidgets, QtPrintSupport, QtMultimedia, QtSvg or
# QtOpenGL header in it fails to compile, and linking such a module to it, under any name or
# through any other target, fails the configure step, so the core stays drivable without a display.
function(orva_core_library target)
    add_library(${target} STATIC ${ARGN})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Core)
    orva_keep_headless(${target})
endfunction()

# orva_keep_headless(<target>)
# Holds a target that is not an orva_core_library (a sound server backend that links its client
# library) to the same rules: no GUI headers in its sources, no GUI module in its link closure.
function(orva_keep_headless target)
    # Our copies of the modules' global headers come before Qt's and stop the compile; private,
    # so that the windows linking the core are not affected.
    target_include_directories(${target} BEFORE PRIVATE ${ORVA_CORE_GUARD_DIR})
    set_property(GLOBAL APPEND PROPERTY ORVA_CORE_TARGETS ${target})
endfunction()
set(ORVA_CORE_GUARD_DIR ${CMAKE_CURRENT_LIST_DIR}/core-guard)

# The names a link item may stand for: generator expressions are opened up, so that
# "$<LINK_ONLY:Qt6::Gui>" or "$<$<CONFIG:Debug>:Qt::Widgets>" yield the library inside.
function(_orva_link_items item out_var)
    string(REPLACE "::" "@@" item "${item}")
    string(REGEX REPLACE "[$<>:,;]+" ";" parts "${item}")
    set(names "")
    foreach(part IN LISTS parts)
        string(REPLACE "@@" "::" part "${part}")
        string(STRIP "${part}" part)
        if(part)
            list(APPEND names "${part}")
        endif()
    endforeach()
    set(${out_var} "${names}" PARENT_SCOPE)
endfunction()

# Sets <out_var> to "<library> (through a -> b -> ...)" for the first GUI module that <target>
# links, directly or in its link closure, or to "" when there is none.
function(_orva_find_gui_link target out_var)
    set(forbidden_target "^Qt[0-9]*::(${ORVA_FORBIDDEN_IN_CORE})(Private)?$")
    set(forbidden_file "(^|[/ ]|-l)(lib)?Qt[0-9]*(${ORVA_FORBIDDEN_IN_CORE})(\\.so|\\.a|$|\\.)")
    set(queue ${target})
    set(seen ${target})
    string(MAKE_C_IDENTIFIER "${target}" id)
    set(via_${id} "${target}")
    while(queue)
        list(POP_FRONT queue current)
        string(MAKE_C_IDENTIFIER "${current}" current_id)
        set(links "")
        if(TARGET ${current})
            get_target_property(aliased ${current} ALIASED_TARGET)
            if(aliased)
                list(APPEND links ${aliased})
            endif()
            get_target_property(imported ${current} IMPORTED)
            if(NOT imported)
                get_target_property(direct ${current} LINK_LIBRARIES)
                if(direct)
                    list(APPEND links ${direct})
                endif()
            endif()
            get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
            if(interface)
                list(APPEND links ${interface})
            endif()
        endif()
        foreach(link IN LISTS links)
            _orva_link_items("${link}" names)
            foreach(name IN LISTS names)
                if(name IN_LIST seen)
                    continue()
                endif()
                list(APPEND seen "${name}")
                set(chain "${via_${current_id}} -> ${name}")
                if(name MATCHES "${forbidden_target}" OR name MATCHES "${forbidden_file}")
                    set(${out_var} "${name} (through ${chain})" PARENT_SCOPE)
                    return()
                endif()
                if(TARGET ${name})
                    string(MAKE_C_IDENTIFIER "${name}" name_id)
                    set(via_${name_id} "${chain}")
                    list(APPEND queue "${name}")
                endif()
            endforeach()
        endforeach()
    endwhile()
    set(${out_var} "" PARENT_SCOPE)
endfunction()

function(_orva_check_core_targets_now)
    get_property(targets GLOBAL PROPERTY ORVA_CORE_TARGETS)
    foreach(target IN LISTS targets)
        _orva_find_gui_link(${target} found)
        if(found)
            message(FATAL_ERROR "${target} is a core library and must not link ${found}")
        endif()
    endforeach()
endfunction()

# Called once after the core folders: rejects GUI links on core targets. The check runs at the end
# of the project's top-level CMakeLists, so that links added later, from any folder, are seen too.
function(orva_check_core_targets)
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL _orva_check_core_targets_now)
endfunction()

# orva_add_test(<folder> <Class> LABEL <core|gui|sound> [LIBS <libs...>] [SOURCES <extra sources...>])
# Builds tests/<folder>/<Class>Test.cpp as one executable and registers it as <folder>.<Class>.
function(orva_add_test folder class)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "LIBS;SOURCES;ENVIRONMENT" ${ARGN})
    set(target test_${folder}_${class})
    add_executable(${target} ${class}Test.cpp ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE Qt6::Test orva_test_fakes ${ARG_LIBS})
    add_test(NAME ${folder}.${class} COMMAND ${target})
    if(NOT ARG_LABEL)
        set(ARG_LABEL core)
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${folder}.${class} PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1;${ARG_ENVIRONMENT}")
endfunction()
