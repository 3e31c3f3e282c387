# How the calculation libraries are optimised. In GCC's optimised builds
# (Release, RelWithDebInfo) they get the optimiser's full effort, link-time
# optimisation of the shared library, and a profile of typical loans.
#
# The profile comes from a nested build of the same libraries in
# <build>/pgo/build, instrumented, that runs tools/pgo_train and writes the
# profile to <build>/pgo/profile. GCC names a profile after its object
# file's path; each build strips its own root from that path, so the nested
# build's calc/CMakeFiles/... profile serves this build's calc/CMakeFiles/...
# object. The sources are compiled again whenever a new profile is written.
# Code the training does not reach is optimised as without a profile. A
# profile changes no figure: it decides the layout of the code, not what
# it computes.
#
# Sanitizer, fuzz and Debug builds and other compilers use none of this;
# -DMIRVO_PGO=OFF leaves out the profile.

option(MIRVO_PGO "Optimise the calculation libraries with a profile of typical loans (GCC)" ON)
set(MIRVO_PGO_GENERATE "" CACHE PATH "Instrument the calculation libraries; the profile goes here")
mark_as_advanced(MIRVO_PGO_GENERATE)

# The optimiser's full effort for the calculation's inner loops.
set(MIRVO_CALC_OPT $<$<CONFIG:Release,RelWithDebInfo>:-O3>)
set(MIRVO_CALC_GCC OFF)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(MIRVO_CALC_GCC ON)
  # At -O3 GCC 12 reports overlapping copies inside std::string
  # concatenation that cannot happen (GCC bug 105651). Row receivers are
  # called through base pointers with several live types; guessing one of
  # them inlines a chain of type checks on every row.
  list(APPEND MIRVO_CALC_OPT $<$<CONFIG:Release,RelWithDebInfo>:-Wno-restrict>
       $<$<CONFIG:Release,RelWithDebInfo>:-fno-devirtualize-speculatively>)
endif()

set(MIRVO_CALC_TUNED OFF)
if(MIRVO_CALC_GCC AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$" AND NOT MIRVO_SANITIZE
   AND NOT MIRVO_FUZZ)
  set(MIRVO_CALC_TUNED ON)
endif()

set(MIRVO_PGO_ROOT ${CMAKE_BINARY_DIR}/pgo)
# Touched when a profile is complete.
set(MIRVO_PGO_STAMP ${MIRVO_PGO_ROOT}/profile.stamp)
if(MIRVO_PGO_GENERATE)
  set(MIRVO_PGO_STAMP ${MIRVO_PGO_GENERATE}.stamp)
endif()
set(MIRVO_PGO_USE OFF)
if(MIRVO_CALC_TUNED AND MIRVO_PGO AND NOT MIRVO_PGO_GENERATE)
  set(MIRVO_PGO_USE ON)
  include(ExternalProject)
  cmake_host_system_information(RESULT _mirvo_cores QUERY NUMBER_OF_LOGICAL_CORES)
  ExternalProject_Add(mirvo_pgo_profile
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${MIRVO_PGO_ROOT}/build
    PREFIX ${MIRVO_PGO_ROOT}/ep
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
               -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
               -DCMAKE_CXX_FLAGS=${CMAKE_CXX_FLAGS}
               -DMIRVO_APP=OFF -DMIRVO_BENCH=OFF -DMIRVO_TESTS=OFF -DMIRVO_PGO=OFF
               -DMIRVO_PGO_GENERATE=${MIRVO_PGO_ROOT}/profile
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target mirvo_pgo_train_run
                  -j ${_mirvo_cores}
    BUILD_ALWAYS TRUE
    BUILD_BYPRODUCTS ${MIRVO_PGO_STAMP}
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD TRUE)
endif()

# mirvo_calc_optimise(<target>): the options above for one of the
# calculation libraries, created in the calling folder.
function(mirvo_calc_optimise target)
  target_compile_options(${target} PRIVATE ${MIRVO_CALC_OPT})
  if(NOT MIRVO_CALC_TUNED)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(MIRVO_PGO_GENERATE)
    target_compile_options(${target} PRIVATE -fprofile-generate=${MIRVO_PGO_GENERATE}
                           -fprofile-update=single -fprofile-prefix-path=${CMAKE_BINARY_DIR})
    if(type STREQUAL "SHARED_LIBRARY")
      target_link_options(${target} PRIVATE -fprofile-generate)
    endif()
    return()
  endif()
  if(MIRVO_PGO_USE)
    target_compile_options(${target} PRIVATE -fprofile-use=${MIRVO_PGO_ROOT}/profile
                           -fprofile-prefix-path=${CMAKE_BINARY_DIR} -fprofile-partial-training
                           -Wno-missing-profile)
    add_dependencies(${target} mirvo_pgo_profile)
    get_target_property(sources ${target} SOURCES)
    set_source_files_properties(${sources} PROPERTIES OBJECT_DEPENDS ${MIRVO_PGO_STAMP})
  endif()
  # Objects carry both machine code (for the static libraries' direct users,
  # the tests) and the optimiser's form (for the shared library's link).
  target_compile_options(${target} PRIVATE -flto=auto -ffat-lto-objects)
  if(type STREQUAL "SHARED_LIBRARY")
    # Inlined across units, std::u16string appends draw the same kind of
    # false overlap and overread reports as at -O3.
    target_link_options(${target} PRIVATE -flto=auto ${MIRVO_CALC_OPT} -Wno-stringop-overread)
  endif()
endfunction()

# In the instrumented build: the trainer, and a target that runs it afresh
# whenever the library or the trainer changed.
function(mirvo_pgo_training)
  if(NOT MIRVO_PGO_GENERATE)
    return()
  endif()
  add_executable(mirvo-pgo-train ${CMAKE_SOURCE_DIR}/tools/pgo_train/pgo_train.cpp)
  target_link_libraries(mirvo-pgo-train PRIVATE mirvo32)
  add_custom_command(OUTPUT ${MIRVO_PGO_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${MIRVO_PGO_GENERATE}
    COMMAND mirvo-pgo-train
    COMMAND ${CMAKE_COMMAND} -E touch ${MIRVO_PGO_STAMP}
    DEPENDS mirvo-pgo-train mirvo32
    COMMENT "Profiling typical loans for the optimiser"
    VERBATIM)
  add_custom_target(mirvo_pgo_train_run DEPENDS ${MIRVO_PGO_STAMP})
endfunction()
