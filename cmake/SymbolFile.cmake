# split_symbol_file(TARGET): after linking, keeps the unstripped program as
# <name>.dbg beside it and strips the program, which keeps a .gnu_debuglink to
# that file. The diagnostics load <name>.dbg for the stack traces of crash and
# error reports when it lies beside the program. (A whole copy rather than
# objcopy --only-keep-debug: Wine's debug-help library walks stacks with the
# file's unwind tables, which only-keep-debug leaves empty.)
function(split_symbol_file target)
  set(exe $<TARGET_FILE:${target}>)
  set(dbg $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.dbg)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy ${exe} ${dbg}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${dbg} ${exe}
    VERBATIM)
endfunction()
