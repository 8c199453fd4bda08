# Fails while a translation file is not complete: lupdate, run on the sources into a copy of
# each .ts, must find no text that the file lacks, and the copy must hold no unfinished,
# vanished or obsolete entry. Arguments (-D, lists joined by '|'): LUPDATE, OPTIONS, SOURCES,
# TS_FILES, WORK.
foreach(list OPTIONS SOURCES TS_FILES)
  string(REPLACE "|" ";" ${list} "${${list}}")
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failed FALSE)
foreach(ts IN LISTS TS_FILES)
  get_filename_component(name ${ts} NAME)
  file(COPY ${ts} DESTINATION ${WORK})
  execute_process(COMMAND ${LUPDATE} ${OPTIONS} ${SOURCES} -ts ${WORK}/${name}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(SEND_ERROR "lupdate failed on ${name}:\n${output}")
    set(failed TRUE)
    continue()
  endif()
  file(STRINGS ${WORK}/${name} incomplete REGEX "type=\"(unfinished|vanished|obsolete)\"")
  list(LENGTH incomplete count)
  if(count GREATER 0)
    message(SEND_ERROR "${name}: ${count} entries unfinished or stale (run "
                       "`cmake --build build --target update_translations` and translate them)")
    set(failed TRUE)
  endif()
  # The copy differs when lupdate found a text the file lacks (it comes in unfinished, so
  # the count above has it) or when the file was not written by lupdate with our options.
  file(READ ${ts} before)
  file(READ ${WORK}/${name} after)
  if(NOT before STREQUAL after)
    message(SEND_ERROR "${name} is not what lupdate makes of the sources; run "
                       "`cmake --build build --target update_translations`")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "translations incomplete")
endif()
