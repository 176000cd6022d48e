# velmar_library(NAME "DIR[;DIR...]" DEPS...): a static library of every .cpp in the folders (and
# their sub-folders), so that a new file needs no edit of the build. A main.cpp is a program's
# entry point and stays out.
#
# A layer's headers are included as "layer/Name.h". Each library gets an include root of its own
# that holds only its folders of src/ (as links), and sees the roots of the libraries it links
# to: a layer reaches itself and the layers below it, and an include that runs upward does not
# compile.
function(velmar_library name dirs)
  set(sources)
  set(layer_root ${PROJECT_BINARY_DIR}/layers/${name})
  foreach(dir IN LISTS dirs)
    if(NOT IS_ABSOLUTE ${dir})
      file(MAKE_DIRECTORY ${layer_root})
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${dir} ${layer_root}/${dir} SYMBOLIC)
      set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
    endif()
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.S)
    list(APPEND sources ${found})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  if(EXISTS ${layer_root})
    target_include_directories(${name} PUBLIC ${layer_root})
  endif()
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# velmar_test(NAME DIR DEPS...): one GoogleTest binary of every .cpp in tests/DIR, run by CTest and
# labelled unit (tests/CMakeLists.txt says what the labels mean).
function(velmar_test name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE VELMAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             VELMAR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS unit ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp;SDL_AUDIODRIVER=dummy")
endfunction()
