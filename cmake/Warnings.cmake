# Warnings for every target of the project, applied through one interface library.
add_library(platterly_warnings INTERFACE)
target_compile_options(platterly_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Wunused
                       -Woverloaded-virtual -Wimplicit-fallthrough)
if(PLATTERLY_WERROR)
    target_compile_options(platterly_warnings INTERFACE -Werror)
endif()

# One static library per source folder. The folder's own .cpp files are gathered here so that
# adding a file needs no edit of the build; the folder's CMakeLists names what it depends on.
function(platterly_add_library name)
    cmake_parse_arguments(ARG "" "" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        # A folder whose code is still to come: an empty library keeps the dependents linking.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_DEPS})
        return()
    endif()
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE platterly_warnings ${ARG_PRIVATE_DEPS})
    target_compile_definitions(${name} PUBLIC QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII
                               QT_NO_CAST_TO_ASCII)
endfunction()

# One GoogleTest program per test folder, linking only the libraries it tests.
# GUI marks a test of windows: it runs with a QApplication on Qt's offscreen platform.
function(platterly_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    if(ARG_GUI)
        set(support platterly_test_support_gui)
    else()
        set(support platterly_test_support)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} ${support} Qt6::Test GTest::gtest
                          platterly_warnings)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
