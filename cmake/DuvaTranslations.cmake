# Qt Linguist for our programs. The sources' English texts are the source language;
# translations/<name>_<language>.ts, kept in the repository, hold their translations, and the
# compiled .qm files are built into the target as resources (:/i18n/<name>_<language>.qm),
# which duva::i18n::installTranslation(<name>) loads.
#
#   duva_add_translations(<target> NAME <name> SOURCE_DIRS <folder>... [SOURCES <file>...])
#
# The sources are every .cpp and .h of the folders, and the files named (relative to the
# top). After a text is added or changed:
#
#   cmake --build build --target update_translations   # rewrites every .ts from the sources
#
# then translate the entries marked unfinished (Qt Linguist, or by hand). The test
# <name>_translations fails while a .ts lacks a text of the sources, or holds an unfinished,
# vanished or obsolete one.

set(DUVA_LANGUAGES pt_BR)
# Without line numbers, so that an edit elsewhere in a file does not rewrite the .ts.
set(DUVA_LUPDATE_OPTIONS -locations none -no-obsolete -source-language en)

function(duva_add_translations target)
  cmake_parse_arguments(arg "" "NAME" "SOURCE_DIRS;SOURCES" ${ARGN})
  set(ts_files)
  foreach(language IN LISTS DUVA_LANGUAGES)
    list(APPEND ts_files ${PROJECT_SOURCE_DIR}/translations/${arg_NAME}_${language}.ts)
  endforeach()
  set(sources)
  foreach(dir IN LISTS arg_SOURCE_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp
                                      ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    list(APPEND sources ${found})
  endforeach()
  foreach(file IN LISTS arg_SOURCES)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/${file})
  endforeach()
  list(SORT sources)
  qt_add_translations(${target} TS_FILES ${ts_files} SOURCES ${sources}
                      LUPDATE_OPTIONS ${DUVA_LUPDATE_OPTIONS})

  # The check runs lupdate into a copy, so it also sees texts the .ts does not have yet.
  if(BUILD_TESTING AND TARGET ${QT_CMAKE_EXPORT_NAMESPACE}::lupdate AND NOT CMAKE_CROSSCOMPILING)
    # Lists cross the command line joined by '|'.
    string(JOIN "|" options ${DUVA_LUPDATE_OPTIONS})
    string(JOIN "|" source_list ${sources})
    string(JOIN "|" ts_list ${ts_files})
    add_test(NAME ${arg_NAME}_translations
             COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:${QT_CMAKE_EXPORT_NAMESPACE}::lupdate>
                     -DOPTIONS=${options} -DSOURCES=${source_list} -DTS_FILES=${ts_list}
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/ts-check
                     -P ${PROJECT_SOURCE_DIR}/tests/translations/check-ts.cmake)
    set_tests_properties(${arg_NAME}_translations PROPERTIES LABELS translations TIMEOUT 60)
  endif()
endfunction()
