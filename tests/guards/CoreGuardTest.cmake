# Runs one case of the core guard's proof on the probe project in core-probe/:
#   cmake -DCASE=<case> -DSOURCE_DIR=<project source> -DWORK_DIR=<scratch folder>
#         -DGENERATOR=<generator> -DCXX=<compiler> -P CoreGuardTest.cmake
# A case passes only when the step fails with the guard's own message (or, for "clean", when
# everything builds), so that a broken probe cannot pass for a working guard.
cmake_minimum_required(VERSION 3.25)

set(probe ${SOURCE_DIR}/tests/guards/core-probe)

function(configure_probe dir link out_result out_output)
    file(REMOVE_RECURSE ${dir})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${probe} -B ${dir} -G ${GENERATOR}
                -DCMAKE_CXX_COMPILER=${CXX} -DORVA_SOURCE_DIR=${SOURCE_DIR} -DPROBE_LINK=${link}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    set(${out_result} ${result} PARENT_SCOPE)
    set(${out_output} "${output}" PARENT_SCOPE)
endfunction()

function(build_probe dir target out_result out_output)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${dir} --target ${target}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    set(${out_result} ${result} PARENT_SCOPE)
    set(${out_output} "${output}" PARENT_SCOPE)
endfunction()

function(expect_failure step result output pattern)
    if(result EQUAL 0)
        message(FATAL_ERROR "${CASE}: the ${step} succeeded but must fail:\n${output}")
    endif()
    # CMake wraps its messages: compare with every run of white space as one blank.
    string(REGEX REPLACE "[ \t\r\n]+" " " flat "${output}")
    if(NOT flat MATCHES "${pattern}")
        message(FATAL_ERROR
            "${CASE}: the ${step} failed, but not with \"${pattern}\":\n${output}")
    endif()
    message(STATUS "${CASE}: the ${step} failed as it must: ${CMAKE_MATCH_0}")
endfunction()

set(guard_text "ORVA core libraries use QtCore only, no Qt(Widgets|Gui)")
set(dir ${WORK_DIR}/${CASE})

if(CASE STREQUAL "clean")
    configure_probe(${dir} "" result output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "clean: the probe does not configure:\n${output}")
    endif()
    build_probe(${dir} all result output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "clean: a QtCore-only core library does not build:\n${output}")
    endif()
elseif(CASE MATCHES "^Includes")
    configure_probe(${dir} "" result output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${CASE}: the probe does not configure:\n${output}")
    endif()
    build_probe(${dir} probe_${CASE} result output)
    if(CASE STREQUAL "IncludesQWidget")
        # Not on a core library's include path at all.
        expect_failure(build ${result} "${output}"
            "QWidget: No such file or directory|'QWidget' file not found")
    else()
        expect_failure(build ${result} "${output}" "${guard_text}")
    endif()
else()
    configure_probe(${dir} ${CASE} result output)
    expect_failure(configure ${result} "${output}"
        "probe_clean is a core library and must not link [^ ]*Qt6?(::)?(Widgets|Gui)[^ ]* \\(through probe_clean ")
endif()
