option(ONDULA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ONDULA_TSAN "Build with ThreadSanitizer" OFF)
option(ONDULA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(ONDULA_BENCH "Build the benchmarks in bench/" ON)
set(ONDULA_SHUFFLE_SEED "" CACHE STRING
    "When set, each test program also runs whole with its cases shuffled by this seed")

add_compile_options(-Wall -Wextra)

if(ONDULA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(ONDULA_TSAN)
  if(ONDULA_SANITIZE)
    message(FATAL_ERROR "ONDULA_TSAN and ONDULA_SANITIZE exclude each other: use one build folder for each")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(ONDULA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ONDULA_FUZZ=ON needs clang: configure with -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  # Coverage feedback from every library the fuzz targets reach, not only the
  # harness; every program that links such a library needs the coverage runtime.
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()
