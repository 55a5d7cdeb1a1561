# Compiler settings and the test helper shared by every folder.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
add_compile_options(-Wall -Wextra -Werror)
include_directories(${CMAKE_SOURCE_DIR})

if(VORLO_WINDOWS)
  # The player speaks Windows-1252 through the A functions; keep UNICODE off.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
elseif(VORLO_SANITIZE AND NOT VORLO_BENCH AND NOT VORLO_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(VORLO_WINDOWS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources are not ours to keep warning-free.
  foreach(t gtest gtest_main)
    target_compile_options(${t} PRIVATE -Wno-error)
  endforeach()
elseif(NOT VORLO_BENCH AND NOT VORLO_FUZZ)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# vorlo_test(NAME n SOURCES files... LIBS libs... [PREFIX p])
# A gtest executable with the message recorder, discovered by ctest; under win64 ctest runs it
# through wine64 (the toolchain's emulator). Only the x86_64 mingw build and the native build
# run tests; the i686 build has no emulator here and builds the player only.
function(vorlo_test)
  cmake_parse_arguments(T "" "NAME;PREFIX" "SOURCES;LIBS" ${ARGN})
  if(NOT T_PREFIX)
    set(T_PREFIX "${VORLO_TEST_PREFIX}")
  endif()
  if(VORLO_WINDOWS AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} test_support GTest::gtest_main)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       TEST_PREFIX "${T_PREFIX}" PROPERTIES TIMEOUT 300)
endfunction()

if(VORLO_WINDOWS)
  set(VORLO_TEST_PREFIX "win64.")
else()
  set(VORLO_TEST_PREFIX "native.")
endif()

# A folder whose build file may not be written yet.
macro(vorlo_optional_subdirectory dir)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endmacro()

# vorlo_host_tool(VAR sources...): compiles a small Linux program from pure sources at configure
# time (the cross builds need it to make their test resources) and puts its path in VAR.
# Changing a source configures again.
function(vorlo_host_tool var)
  set(out ${CMAKE_BINARY_DIR}/host/${var})
  set(srcs "")
  foreach(s ${ARGN})
    get_filename_component(abs ${s} ABSOLUTE)
    list(APPEND srcs ${abs})
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${srcs})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host)
  execute_process(COMMAND g++ -std=c++17 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR} ${srcs} -o ${out}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "host tool ${var} does not build:\n${err}")
  endif()
  set(${var} ${out} PARENT_SCOPE)
endfunction()

# vorlo_quiz_resources(VAR NAME SOURCE quiz.toml [SCRAMBLE]): the resource script of that quiz
# (made at build time by the quiz_resources host tool) into VAR, for an executable of this folder.
function(vorlo_quiz_resources var)
  cmake_parse_arguments(Q "SCRAMBLE" "NAME;SOURCE" "" ${ARGN})
  if(NOT VORLO_QUIZ_RESOURCES_TOOL)
    vorlo_host_tool(tool
      ${CMAKE_SOURCE_DIR}/pack/quiz_resources_main.cpp ${CMAKE_SOURCE_DIR}/pack/quiz_source.cpp
      ${CMAKE_SOURCE_DIR}/pack/cp1252.cpp ${CMAKE_SOURCE_DIR}/pack/quiz_serialize.cpp
      ${CMAKE_SOURCE_DIR}/pack/lzw_encode.cpp ${CMAKE_SOURCE_DIR}/quiz/quiz_parse.cpp
      ${CMAKE_SOURCE_DIR}/quiz/quiz_list.cpp)
    set(VORLO_QUIZ_RESOURCES_TOOL ${tool} CACHE INTERNAL "")
  endif()
  get_filename_component(source ${Q_SOURCE} ABSOLUTE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${Q_NAME}.quiz)
  set(flags "")
  if(Q_SCRAMBLE)
    set(flags --scramble)
  endif()
  get_filename_component(source_dir ${source} DIRECTORY)
  file(GLOB media ${source_dir}/*.png ${source_dir}/*.jpg ${source_dir}/*.gif ${source_dir}/*.bmp
       ${source_dir}/*.wav ${source_dir}/*.mp3 ${source_dir}/*.avi ${source_dir}/*.mpg ${source_dir}/*.wmv)
  add_custom_command(OUTPUT ${dir}/quiz.rc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${VORLO_QUIZ_RESOURCES_TOOL} ${source} ${dir} ${flags}
    DEPENDS ${source} ${media} ${VORLO_QUIZ_RESOURCES_TOOL}
    COMMENT "Quiz resources of ${Q_NAME}")
  set(${var} ${dir}/quiz.rc PARENT_SCOPE)
endfunction()

# vorlo_quiz_exe(NAME n SOURCE quiz.toml [SCRAMBLE] [TEST_SEAMS]): the player with that quiz
# compiled into its resources. TEST_SEAMS: the media support can be made to fail on purpose
# (environment variables VORLO_TEST_NO_ATL, VORLO_TEST_PLAYER_FAILS_AT=q).
function(vorlo_quiz_exe)
  cmake_parse_arguments(Q "SCRAMBLE;TEST_SEAMS" "NAME;SOURCE" "" ${ARGN})
  set(flags "")
  if(Q_SCRAMBLE)
    set(flags SCRAMBLE)
  endif()
  set(media player_media)
  if(Q_TEST_SEAMS)
    set(media player_media_seams)
  endif()
  vorlo_quiz_resources(rc NAME ${Q_NAME} SOURCE ${Q_SOURCE} ${flags})
  add_executable(${Q_NAME} WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp $<TARGET_OBJECTS:player_objects>
                 $<TARGET_OBJECTS:${media}> $<TARGET_OBJECTS:player_res> ${rc})
  target_link_libraries(${Q_NAME} PRIVATE ${VORLO_PLAYER_LIBS})
  target_link_options(${Q_NAME} PRIVATE -s)
endfunction()
