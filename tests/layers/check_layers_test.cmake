# The layer check against small trees: one that keeps to the layers passes,
# and each include that climbs or crosses a layer, or a folder that is no
# layer, fails it with a line naming the file and the include.
#   cmake -DCHECK=<check_layers.cmake> -DWORK_DIR=<scratch folder> -P check_layers_test.cmake
cmake_minimum_required(VERSION 3.25)

set(failures "")

# Writes the files of `tree` (pairs of path and #include line) under a fresh
# folder and runs the check there; sets `result` and `output`.
function(run_check name)
  set(root ${WORK_DIR}/${name}/src)
  file(REMOVE_RECURSE ${WORK_DIR}/${name})
  set(args ${ARGN})
  while(args)
    list(POP_FRONT args path text)
    file(WRITE ${root}/${path} "// ${name}\n#include <string>\n${text}\n")
  endwhile()
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${root} -P ${CHECK}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(result ${code} PARENT_SCOPE)
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect_pass name)
  run_check(${name} ${ARGN})
  if(NOT result EQUAL 0)
    set(failures "${failures}${name}: refused a tree that keeps to the layers:\n${output}\n" PARENT_SCOPE)
  endif()
endfunction()

function(expect_refusal name message)
  run_check(${name} ${ARGN})
  string(FIND "${output}" "${message}" at)
  if(result EQUAL 0 OR at EQUAL -1)
    set(failures "${failures}${name}: wanted a refusal with \"${message}\", got (${result}):\n${output}\n"
      PARENT_SCOPE)
  endif()
endfunction()

expect_pass(downward
  "geo/a.h" "#include \"base/text_fields.h\""
  "engine/b.cpp" "#include \"geo/a.h\"\n#include \"settings/c.h\"\n#include \"engine/b.h\""
  "photo/d.cpp" "#include \"kml/e.h\"\n#include \"readers/f.h\"\n#include \"writers/g.h\""
  "ui/h.cpp" "#include \"job/i.h\"\n#include \"h.moc\""
  "cli/j.cpp" "  #  include \"base/k.h\"")
expect_refusal(geo_climbs
  "src/geo/coordinates.h includes \"engine/run_context.h\": geo/ may include only base"
  "geo/coordinates.h" "#include \"engine/run_context.h\"")
expect_refusal(base_includes_anything
  "src/base/text_file.cpp includes \"geo/number_format.h\": base/ may include no other layer"
  "base/text_file.cpp" "#include \"geo/number_format.h\"")
expect_refusal(settings_climbs
  "src/settings/settings_file.cpp includes \"engine/track_point.h\""
  "settings/settings_file.cpp" "#include \"base/text_file.h\"\n#include \"engine/track_point.h\"")
expect_refusal(writers_include_readers
  "src/writers/csv_writer.cpp includes \"readers/csv_reader.h\""
  "writers/csv_writer.cpp" "#include \"readers/csv_reader.h\"")
expect_refusal(kml_includes_writers
  "src/kml/kml_path.cpp includes \"writers/line_writer.h\""
  "kml/kml_path.cpp" "#include \"writers/line_writer.h\"")
expect_refusal(job_includes_the_window
  "src/job/run_files.cpp includes \"ui/main_window.h\""
  "job/run_files.cpp" "#include \"ui/main_window.h\"")
expect_refusal(folder_without_layer
  "src/extra/ is no layer"
  "extra/x.cpp" "#include \"base/text_file.h\"")

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${failures}")
endif()
