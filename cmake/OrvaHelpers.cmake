# Helpers shared by every folder's CMakeLists.

# orva_core_library(<target> <sources...>)
# A core library: QtCore only. Linking a GUI or multimedia module to it fails the configure step,
# so the core stays drivable without a display.
function(orva_core_library target)
    add_library(${target} STATIC ${ARGN})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Qt6::Core)
    set_property(GLOBAL APPEND PROPERTY ORVA_CORE_TARGETS ${target})
endfunction()

# Called once at the end of src/: rejects GUI links on core targets.
function(orva_check_core_targets)
    get_property(targets GLOBAL PROPERTY ORVA_CORE_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(libs ${target} LINK_LIBRARIES)
        foreach(lib IN LISTS libs)
            if(lib MATCHES "Qt6::(Gui|Widgets|PrintSupport|Multimedia)")
                message(FATAL_ERROR "${target} is a core library and must not link ${lib}")
            endif()
        endforeach()
    endforeach()
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
