# String tables: a text file of "id<TAB>text" lines (with C-style escapes) compiled
# into a C++ source by the strtabc tool and linked into the program.
#
#   mw_string_table(<target> <name> <file>...)
#
# creates a static library <target> whose table registers itself under <name>. Code that
# reads the table references it with MW_USE_STRING_TABLE(<name>) so the linker keeps it.
function(mw_string_table target name)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_strings.cpp)
  set(inputs)
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    list(APPEND inputs ${abs})
  endforeach()
  add_custom_command(
    OUTPUT ${out}
    COMMAND strtabc ${name} ${out} ${inputs}
    DEPENDS strtabc ${inputs}
    COMMENT "Compiling string table ${name}"
    VERBATIM)
  add_library(${target} STATIC ${out})
  target_link_libraries(${target} PUBLIC mw_runtime)
  # The generated source includes only the runtime's string-table header.
  mw_layer(${target} LAYER platform/runtime)
endfunction()
