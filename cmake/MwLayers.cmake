# Layering, checked by the compiler.
#
# Includes are root-relative ("platform/runtime/Classes.h"), so the repository root on a
# target's include path would let it include any header of the tree. Instead each layered
# target gets an include root of its own, ${CMAKE_BINARY_DIR}/mw_layers/<target>/, holding
# symbolic links to the headers of its own layer and of the layers it may use, at their usual
# paths, and nothing else: a header of any other layer is simply not there, so including it
# fails to compile. Headers are linked one by one (a folder's own *.h, not its sub-folders), so
# a layer nested in another's folder (report/qt in report) stays out of the outer one. A header
# added to a layer re-runs the configure step (the globs are CONFIGURE_DEPENDS).
#
#   mw_layer(<target> LAYER <folder> [USES <folder>...])
#
# LAYER is the folder of the target's sources; USES names further layers this target alone may
# use, beyond what the table below allows its layer. The table lists, for each layer, the
# layers directly below it that it may use; mw_layer takes the closure, so a target sees the
# headers its headers include. A layer missing from the table may use only what USES names.
#
# Targets that do not call mw_layer (tests, benchmarks, fuzz targets, generated string tables)
# keep the repository root on their include path through mw_runtime. A library or program of
# the source folders without a layer is reported with a warning at the end of the configure step.

# mw_layer_rule(<layer> [USES <layer>...]): a row of the table.
function(mw_layer_rule layer)
  cmake_parse_arguments(A "" "" "USES" ${ARGN})
  string(MAKE_C_IDENTIFIER "${layer}" key)
  set_property(GLOBAL APPEND PROPERTY MW_LAYER_USES_${key} ${A_USES})
  set_property(GLOBAL PROPERTY MW_LAYER_KNOWN_${key} TRUE)
endfunction()

mw_layer_rule(platform/runtime)
mw_layer_rule(platform/graphics USES platform/runtime)
mw_layer_rule(platform/services USES platform/runtime)
mw_layer_rule(platform/threads USES platform/runtime)
mw_layer_rule(platform/streaming USES platform/runtime)
mw_layer_rule(platform/ui USES platform/graphics)
mw_layer_rule(platform/printing USES platform/graphics)
mw_layer_rule(platform/input USES platform/ui)
mw_layer_rule(tools USES platform/runtime)
mw_layer_rule(gif USES platform/graphics platform/ui platform/threads platform/streaming)
mw_layer_rule(planner/resources USES platform/graphics)
mw_layer_rule(planner/resources/glyphs USES planner/resources)
mw_layer_rule(planner/engine USES planner/resources platform/graphics)
mw_layer_rule(planner/controls USES platform/runtime)
mw_layer_rule(planner/ui USES planner/engine planner/controls planner/resources/glyphs platform/ui platform/printing platform/services gif demo platform/input report/generate report/ui report/qt report/rtf/qt)
mw_layer_rule(report USES platform/runtime platform/streaming)
mw_layer_rule(report/qt USES report)
mw_layer_rule(report/output USES report)
mw_layer_rule(report/output/qt USES report/output platform/printing)
mw_layer_rule(report/rtf USES report/output)
mw_layer_rule(report/generate USES report/output report/rtf)
mw_layer_rule(report/ui USES report/output/qt platform/ui)
mw_layer_rule(report/rtf/qt USES report/rtf report/output/qt)
mw_layer_rule(report/design USES report/generate report/ui)
mw_layer_rule(demo USES platform/runtime)
mw_layer_rule(launcher/graphics USES platform/ui platform/streaming)
mw_layer_rule(launcher USES launcher/graphics platform/ui platform/services)
mw_layer_rule(launcher/register USES platform/services)

# The layers a target of <layer> that also uses <uses> may see: the closure over the table.
function(_mw_layer_closure out)
  set(todo ${ARGN})
  set(seen)
  while(todo)
    list(POP_FRONT todo layer)
    if(layer IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${layer})
    string(MAKE_C_IDENTIFIER "${layer}" key)
    get_property(uses GLOBAL PROPERTY MW_LAYER_USES_${key})
    list(APPEND todo ${uses})
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(mw_layer target)
  cmake_parse_arguments(A "" "LAYER" "USES" ${ARGN})
  if(NOT A_LAYER)
    message(FATAL_ERROR "mw_layer(${target}): LAYER <folder> is required")
  endif()
  foreach(layer IN LISTS A_LAYER A_USES)
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${layer})
      message(FATAL_ERROR "mw_layer(${target}): ${layer} is no folder of the source tree")
    endif()
  endforeach()
  # Rows of the table may name layers not (yet) in the tree: they add no headers.
  _mw_layer_closure(layers ${A_LAYER} ${A_USES})
  set(root ${CMAKE_BINARY_DIR}/mw_layers/${target})
  file(REMOVE_RECURSE ${root})
  foreach(layer IN LISTS layers)
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${layer})
      continue()
    endif()
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${layer}/*.h)
    file(MAKE_DIRECTORY ${root}/${layer})
    foreach(header IN LISTS headers)
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${layer}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
  set_target_properties(${target} PROPERTIES MW_LAYER "${A_LAYER}" MW_LAYER_SEES "${layers}")
endfunction()

# Reports the libraries and programs of the source folders that have no layer (call once, at the end).
function(mw_layer_report_unlayered)
  set(dirs ${PROJECT_SOURCE_DIR})
  set(missing)
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${dir})
    if(rel MATCHES "^(tests|benchmarks|fuzz)(/|$)")
      continue()
    endif()
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(t IN LISTS targets)
      get_target_property(type ${t} TYPE)
      get_target_property(layer ${t} MW_LAYER)
      get_target_property(resource ${t} _qt_resource_name)  # compiled-in Qt resources: no includes
      if(resource)
        continue()
      endif()
      if(type MATCHES "(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$" AND NOT layer)
        list(APPEND missing ${t})
      endif()
    endforeach()
  endwhile()
  if(missing)
    message(WARNING "These targets have no layer and see the whole source tree; give each one "
                    "with mw_layer() (cmake/MwLayers.cmake): ${missing}")
  endif()
endfunction()
