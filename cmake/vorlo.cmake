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

# vorlo_host_tool(VAR [-Ddefinitions...] sources...): compiles a small Linux program from pure sources at configure
# time (the cross builds need it to make their test resources) and puts its path in VAR.
# Changing a source configures again.
function(vorlo_host_tool var)
  set(out ${CMAKE_BINARY_DIR}/host/${var})
  set(srcs "")
  set(defines "")
  foreach(s ${ARGN})
    if(s MATCHES "^-D")
      list(APPEND defines ${s})
    else()
      get_filename_component(abs ${s} ABSOLUTE)
      list(APPEND srcs ${abs})
    endif()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${srcs})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host)
  execute_process(COMMAND g++ -std=c++17 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR} ${defines} ${srcs} -o ${out}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "host tool ${var} does not build:\n${err}")
  endif()
  set(${var} ${out} PARENT_SCOPE)
endfunction()

# vorlo_host_pack(): VORLO_HOST_PACK, vorlo-pack built for this machine at configure time,
# since the build runs it to write quizzes into players.
function(vorlo_host_pack)
  if(NOT VORLO_HOST_PACK)
    set(s ${CMAKE_SOURCE_DIR})
    vorlo_host_tool(vorlo-pack -DVORLO_PACK_VERSION="${PROJECT_VERSION}" -DVORLO_PACK_DEFAULT_PLAYER="vorlo.exe"
      ${s}/pack/vorlo_pack_main.cpp ${s}/pack/pack_message.cpp ${s}/pack/quiz_source.cpp
      ${s}/pack/pe_resources.cpp ${s}/pack/pack_build.cpp ${s}/pack/pack_dump.cpp ${s}/pack/pack_media.cpp
      ${s}/pack/pack_files.cpp ${s}/pack/pack_try.cpp ${s}/pack/lzw_encode.cpp ${s}/pack/quiz_serialize.cpp
      ${s}/pack/cp1252.cpp ${s}/quiz/quiz_list.cpp ${s}/quiz/lzw.cpp ${s}/quiz/quiz_parse.cpp
      ${s}/check/judge.cpp ${s}/picture/png.cpp)
    set(VORLO_HOST_PACK ${vorlo-pack} CACHE INTERNAL "")
  endif()
endfunction()

# vorlo_quiz_into(TARGET SOURCE quiz.toml): writes the quiz into the target's own executable after
# each link, as vorlo-pack build writes it into a player; for tests that read quiz resources.
function(vorlo_quiz_into target)
  cmake_parse_arguments(Q "" "SOURCE" "" ${ARGN})
  vorlo_host_pack()
  get_filename_component(source ${Q_SOURCE} ABSOLUTE)
  target_link_options(${target} PRIVATE -s)   # resources are written into stripped files only
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${VORLO_HOST_PACK} build ${source} -o $<TARGET_FILE:${target}> --player $<TARGET_FILE:${target}>
    COMMENT "vorlo-pack build ${Q_SOURCE} into ${target}")
endfunction()

# vorlo_quiz_exe(NAME n SOURCE quiz.toml [SCRAMBLE] [TEST_SEAMS]): quizzes/n.exe, the player
# of this build with that quiz written into its resources by vorlo-pack build, as an author
# makes one. TEST_SEAMS: from the player whose media support tests can make fail on purpose
# (environment variables VORLO_TEST_NO_ATL, VORLO_TEST_PLAYER_FAILS_AT=q). The target n builds
# it; the file is ${VORLO_QUIZ_DIR}/n.exe.
set(VORLO_QUIZ_DIR ${CMAKE_BINARY_DIR}/quizzes)
function(vorlo_quiz_exe)
  cmake_parse_arguments(Q "SCRAMBLE;TEST_SEAMS" "NAME;SOURCE" "" ${ARGN})
  vorlo_host_pack()
  get_filename_component(source ${Q_SOURCE} ABSOLUTE)
  get_filename_component(source_dir ${source} DIRECTORY)
  set(player vorlo)
  if(Q_TEST_SEAMS)
    set(player vorlo_seams)
  endif()
  set(flags "")
  if(Q_SCRAMBLE)
    set(flags --scramble)
  endif()
  file(GLOB media ${source_dir}/*.png ${source_dir}/*.jpg ${source_dir}/*.gif ${source_dir}/*.bmp
       ${source_dir}/*.ico ${source_dir}/*.wav ${source_dir}/*.mp3 ${source_dir}/*.avi ${source_dir}/*.mpg
       ${source_dir}/*.wmv)
  set(out ${VORLO_QUIZ_DIR}/${Q_NAME}.exe)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VORLO_QUIZ_DIR}
    COMMAND ${VORLO_HOST_PACK} build ${source} -o ${out} --player $<TARGET_FILE:${player}> ${flags}
    DEPENDS ${source} ${media} ${player} ${VORLO_HOST_PACK}
    COMMENT "vorlo-pack build ${Q_NAME}")
  add_custom_target(${Q_NAME} ALL DEPENDS ${out})
endfunction()
