# Holds every #include "folder/file" of the source tree against the layer
# table of layers.cmake: a file of a layer may include its own folder and the
# layers listed for it, nothing else.
#   cmake -DSOURCE_DIR=<src> [-DSTAMP=<file>] -P check_layers.cmake
# Fails with one line per include that climbs (or crosses) a layer, and for a
# folder of src/ that is no layer; writes STAMP when all is well.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers.cmake: SOURCE_DIR not given")
endif()

set(problems "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY ${SOURCE_DIR}/${folder})
    continue()
  endif()
  if(NOT folder IN_LIST GEOPLAIT_LAYERS)
    string(APPEND problems "src/${folder}/ is no layer: add it to cmake/layers.cmake\n")
    continue()
  endif()
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
      # A name without a folder is a file beside the includer.
      if(NOT included MATCHES "/")
        continue()
      endif()
      string(REGEX REPLACE "/.*" "" target "${included}")
      if(target STREQUAL folder OR target IN_LIST GEOPLAIT_LAYER_${folder})
        continue()
      endif()
      set(allowed "${GEOPLAIT_LAYER_${folder}}")
      if(allowed STREQUAL "")
        set(allowed "no other layer")
      else()
        string(REPLACE ";" ", " allowed "only ${allowed}")
      endif()
      string(APPEND problems "src/${file} includes \"${included}\": ${folder}/ may include ${allowed}\n")
    endforeach()
  endforeach()
endforeach()

if(NOT problems STREQUAL "")
  # The lines as they are (a fatal error would wrap them), then the failure.
  message(NOTICE "${problems}")
  message(FATAL_ERROR "An include breaks the layers of cmake/layers.cmake")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
