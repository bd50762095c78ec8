# split_symbol_file(TARGET): after linking, keeps the unstripped program as
# <name>.dbg beside it and strips the program, which keeps a .gnu_debuglink to
# that file. The diagnostics load <name>.dbg for the stack traces of crash and
# error reports when it lies beside the program. (A whole copy rather than
# objcopy --only-keep-debug: Wine's debug-help library walks stacks with the
# file's unwind tables, which only-keep-debug leaves empty.)
# objcopy writes the time into the program's header: SOURCE_DATE_EPOCH, as
# given to the build or else the time of the commit built, keeps it fixed.
# Kept in the cache, so that the tests build their copy with the same time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch)
  set(epoch 0)
endif()
set(UNINSTALL_SOURCE_DATE_EPOCH ${epoch} CACHE INTERNAL "the time objcopy writes")

function(split_symbol_file target)
  # Another time links the program again, so that its header gets it.
  set(stamp ${CMAKE_BINARY_DIR}/source_date_epoch.txt)
  file(CONFIGURE OUTPUT ${stamp} CONTENT "${UNINSTALL_SOURCE_DATE_EPOCH}\n")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${stamp})
  set(exe $<TARGET_FILE:${target}>)
  set(dbg $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.dbg)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy ${exe} ${dbg}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${UNINSTALL_SOURCE_DATE_EPOCH}
            ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${dbg} ${exe}
    VERBATIM)
endfunction()
