# Target helpers that keep each folder's CMakeLists.txt to a few lines.
include("${CMAKE_CURRENT_LIST_DIR}/Layers.cmake")

# lumenreel_library(<subsystem> [DEPS targets...])
# Builds src/<subsystem>/*.cpp into the static library lumenreel_<subsystem>. A dependency on a
# subsystem the layer order does not allow stops the configuration.
function(lumenreel_library subsystem)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    lumenreel_layers_below(${subsystem} allowed)
    foreach(dep ${ARG_DEPS})
        if(dep MATCHES "^lumenreel_(.+)$" AND NOT CMAKE_MATCH_1 IN_LIST allowed)
            message(FATAL_ERROR "lumenreel_${subsystem} may not use ${dep} (see cmake/Layers.cmake)")
        endif()
    endforeach()
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_library(lumenreel_${subsystem} STATIC ${sources})
    target_include_directories(lumenreel_${subsystem} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(lumenreel_${subsystem} PUBLIC ${ARG_DEPS})
endfunction()

# lumenreel_test(<subsystem> [LIBS targets...]), called from tests/<subsystem>/CMakeLists.txt:
# builds the folder's *.cpp into one GoogleTest program registered with CTest.
function(lumenreel_test subsystem)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_executable(${subsystem}_tests ${sources})
    target_include_directories(${subsystem}_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    target_link_libraries(${subsystem}_tests PRIVATE ${ARG_LIBS} lumenreel_test_support
                          lumenreel_leak_suppressions
                          GTest::gtest GTest::gmock GTest::gtest_main)
    # Parameter cases are named by their generators; their raw bytes would only add noise.
    gtest_discover_tests(${subsystem}_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endfunction()

