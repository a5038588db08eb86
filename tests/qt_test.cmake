# add_qt_test(NAME source... LIBS lib...): a QtTest executable run offscreen.
find_package(Qt6 REQUIRED COMPONENTS Test)
function(add_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON
                          RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tovane_test_support Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${PROJECT_BINARY_DIR}/xdg-runtime;LANG=C.UTF-8"
        TIMEOUT 120)
endfunction()
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/xdg-runtime)
