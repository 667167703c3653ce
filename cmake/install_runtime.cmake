# The install step of the runtime bundle (RuntimeBundle.cmake sets its inputs):
#   EXAM_RUNTIME_ROOT                the repository root being installed
#   EXAM_RUNTIME_PROGRAMS            file names of the programs installed there
#   EXAM_RUNTIME_PLUGINS             Qt plugins, each in the folder named by its type
#   EXAM_RUNTIME_TRANSLATIONS        Qt translation files
#   EXAM_RUNTIME_SYSTEM_LIBRARIES    the list of libraries a classroom PC brings itself
#   EXAM_RUNTIME_TOOLCHAIN_LIBRARIES a pattern of further libraries left out (may be empty)
#   EXAM_PATCHELF, EXAM_OBJDUMP      the tools
#
# It replaces the runtime of an earlier install, copies every library the programs and plugins
# need that is not the PC's own into lib/, the plugins into plugins/<type>/, and gives the programs
# and the copies run paths into lib/. The list of what it installed, lib/runtime-files.txt, is what
# the next install removes.

cmake_path(SET EXAM_RUNTIME_ROOT NORMALIZE "${EXAM_RUNTIME_ROOT}")
string(REGEX REPLACE "(.)/$" "\\1" EXAM_RUNTIME_ROOT "${EXAM_RUNTIME_ROOT}")
set(manifest "${EXAM_RUNTIME_ROOT}/lib/runtime-files.txt")

# An earlier install's runtime goes file by file: a client that is running from the share keeps the
# files it has open, and whatever else lies in lib/ or plugins/ stays.
function(remove_previous_runtime)
  if(NOT EXISTS "${manifest}")
    return()
  endif()
  file(STRINGS "${manifest}" files)
  foreach(file IN LISTS files)
    if(file MATCHES "^(qt[.]conf|lib/[^/]+|lib/translations/[^/]+|plugins/[^/]+/[^/]+)$"
       AND NOT file MATCHES "(^|/)[.][.]?(/|$)")
      file(REMOVE "${EXAM_RUNTIME_ROOT}/${file}")
    endif()
  endforeach()
endfunction()

function(read_system_libraries out)
  file(STRINGS "${EXAM_RUNTIME_SYSTEM_LIBRARIES}" lines REGEX "^[^#]")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^[^ \t]+" name "${line}")
    list(APPEND names "${name}")
  endforeach()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# file(GET_RUNTIME_DEPENDENCIES) with the given inputs; a library found in two places (/lib and
# /usr/lib on a merged /usr) counts once when both are the same file.
function(resolve_dependencies out unresolved_out)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM "linux+elf")
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL "objdump")
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${EXAM_OBJDUMP}")
  file(GET_RUNTIME_DEPENDENCIES ${ARGN}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved
    CONFLICTING_DEPENDENCIES_PREFIX conflicting)
  foreach(name IN LISTS conflicting_FILENAMES)
    list(GET conflicting_${name} 0 first)
    file(REAL_PATH "${first}" first_real)
    foreach(path IN LISTS conflicting_${name})
      file(REAL_PATH "${path}" real)
      if(NOT real STREQUAL first_real)
        message(FATAL_ERROR "Two different ${name} found: ${conflicting_${name}}")
      endif()
    endforeach()
    list(APPEND resolved "${first}")
  endforeach()
  set(${out} "${resolved}" PARENT_SCOPE)
  set(${unresolved_out} "${unresolved}" PARENT_SCOPE)
endfunction()

function(set_run_path file run_path)
  execute_process(COMMAND "${EXAM_PATCHELF}" --set-rpath "${run_path}" "${file}"
    RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not set the run path of ${file}: ${error}")
  endif()
endfunction()

function(needed_libraries out file)
  execute_process(COMMAND "${EXAM_PATCHELF}" --print-needed "${file}"
    OUTPUT_VARIABLE needed OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not read the libraries ${file} needs")
  endif()
  string(REPLACE "\n" ";" needed "${needed}")
  set(${out} "${needed}" PARENT_SCOPE)
endfunction()

# Copies <source> to <root>/<relative> as a new file (an older one is unlinked, not overwritten)
# and adds <relative> to the list variable named <list_name>.
function(copy_runtime_file source relative list_name)
  set(target "${EXAM_RUNTIME_ROOT}/${relative}")
  get_filename_component(folder "${target}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(REMOVE "${target}")
  file(COPY_FILE "${source}" "${target}")
  set(entries "${${list_name}}")
  list(APPEND entries "${relative}")
  set(${list_name} "${entries}" PARENT_SCOPE)
endfunction()

remove_previous_runtime()
read_system_libraries(system_libraries)

set(programs "")
foreach(name IN LISTS EXAM_RUNTIME_PROGRAMS)
  list(APPEND programs "${EXAM_RUNTIME_ROOT}/${name}")
endforeach()
resolve_dependencies(needed unresolved EXECUTABLES ${programs} MODULES ${EXAM_RUNTIME_PLUGINS})
if(unresolved)
  message(FATAL_ERROR "Libraries the programs need but this machine does not have: ${unresolved}")
endif()

# What the PC brings, and everything that needs in turn, stays out: a PC's own libraries never
# meet an older copy of one of their dependencies.
set(system_paths "")
set(bundled "")
foreach(path IN LISTS needed)
  get_filename_component(name "${path}" NAME)
  if(name IN_LIST system_libraries OR
     (EXAM_RUNTIME_TOOLCHAIN_LIBRARIES AND name MATCHES "${EXAM_RUNTIME_TOOLCHAIN_LIBRARIES}"))
    list(APPEND system_paths "${path}")
  else()
    list(APPEND bundled "${path}")
  endif()
endforeach()
if(system_paths)
  resolve_dependencies(needed_by_system ignored LIBRARIES ${system_paths})
  set(system_names "")
  foreach(path IN LISTS needed_by_system)
    get_filename_component(name "${path}" NAME)
    list(APPEND system_names "${name}")
  endforeach()
  set(own_libraries "")
  foreach(path IN LISTS bundled)
    get_filename_component(name "${path}" NAME)
    if(NOT name IN_LIST system_names)
      list(APPEND own_libraries "${path}")
    endif()
  endforeach()
  set(bundled "${own_libraries}")
endif()

set(bundled_names "")
foreach(path IN LISTS bundled)
  get_filename_component(name "${path}" NAME)
  list(APPEND bundled_names "${name}")
endforeach()
set(installed "")
foreach(path IN LISTS bundled)
  get_filename_component(name "${path}" NAME)
  copy_runtime_file("${path}" "lib/${name}" installed)
  # Only a copy that needs another copy gets a run path: patchelf makes a file larger.
  needed_libraries(needs "${EXAM_RUNTIME_ROOT}/lib/${name}")
  foreach(needed_name IN LISTS needs)
    if(needed_name IN_LIST bundled_names)
      set_run_path("${EXAM_RUNTIME_ROOT}/lib/${name}" [[$ORIGIN]])
      break()
    endif()
  endforeach()
endforeach()
foreach(path IN LISTS EXAM_RUNTIME_PLUGINS)
  get_filename_component(name "${path}" NAME)
  get_filename_component(folder "${path}" DIRECTORY)
  get_filename_component(type "${folder}" NAME)
  copy_runtime_file("${path}" "plugins/${type}/${name}" installed)
  set_run_path("${EXAM_RUNTIME_ROOT}/plugins/${type}/${name}" [[$ORIGIN/../../lib]])
endforeach()
foreach(path IN LISTS EXAM_RUNTIME_TRANSLATIONS)
  get_filename_component(name "${path}" NAME)
  copy_runtime_file("${path}" "lib/translations/${name}" installed)
endforeach()
foreach(program IN LISTS programs)
  set_run_path("${program}" [[$ORIGIN/lib]])
endforeach()

# Qt looks for qt.conf beside the program; its paths are relative to the file's folder.
file(REMOVE "${EXAM_RUNTIME_ROOT}/qt.conf")
file(WRITE "${EXAM_RUNTIME_ROOT}/qt.conf"
  "[Paths]\nPrefix = .\nLibraries = lib\nPlugins = plugins\nTranslations = lib/translations\n")
list(APPEND installed "qt.conf")

set(bytes 0)
foreach(file IN LISTS installed)
  file(SIZE "${EXAM_RUNTIME_ROOT}/${file}" size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR megabytes "(${bytes} + 524288) / 1048576")
list(LENGTH bundled library_count)
list(LENGTH EXAM_RUNTIME_PLUGINS plugin_count)
list(JOIN installed "\n" manifest_text)
file(WRITE "${manifest}" "${manifest_text}\n")
message(STATUS "Runtime: ${library_count} libraries, ${plugin_count} Qt plugins, ${megabytes} MB "
               "in ${EXAM_RUNTIME_ROOT}/lib and plugins")
