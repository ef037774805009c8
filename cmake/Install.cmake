# Installation: "cmake --install build --prefix PREFIX" puts
#   PREFIX/lib/ambience/            the programs (and ambience-cli-packs, which
#                                   ambience-cli starts for pack make and fetch), the
#                                   sample packs (*.zip) and site/:
#                                   the program folder, which is also the packs folder
#   PREFIX/bin/ambience, ambience-cli
#                                   relative symbolic links into lib/ambience; the
#                                   programs find their folder through /proc/self/exe,
#                                   which names the link's target
#   PREFIX/share/applications/ambience.desktop
#                                   the menu entry, with Refresh, Random, Next and Back
#                                   as desktop actions through ambience-cli
#   PREFIX/share/icons/hicolor/scalable/apps/ambience.svg
#                                   (the other sizes, the manual pages, completion,
#                                   metainfo and copyright: packaging/CMakeLists.txt)
# Every file goes into install_manifest.txt, so "xargs rm < build/install_manifest.txt"
# or "cmake --build build --target uninstall" takes it all away again.
#
# This one file serves three times: included by the project (the rules), included
# by cmake_install.cmake at install time (AMBIENCE_INSTALL_STEP set: the launchers
# and the menu entry, which name the prefix given then), and run with -P by the
# uninstall target (AMBIENCE_UNINSTALL_MANIFEST set).

set(_ambience_subdir lib/ambience)

if(AMBIENCE_INSTALL_STEP STREQUAL "launchers")
  # Install time. CMAKE_INSTALL_PREFIX is the one given to "cmake --install".
  set(_prefix "${CMAKE_INSTALL_PREFIX}")
  set(_dest "$ENV{DESTDIR}${_prefix}")
  file(MAKE_DIRECTORY "${_dest}/bin")
  foreach(_program ambience ambience-cli)
    set(_link "${_dest}/bin/${_program}")
    if(EXISTS "${_link}" OR IS_SYMLINK "${_link}")
      file(REMOVE "${_link}")
    endif()
    file(CREATE_LINK "../${_ambience_subdir}/${_program}" "${_link}" SYMBOLIC)
    message(STATUS "Installing: ${_link}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_prefix}/bin/${_program}")
  endforeach()

  # Exec lines take the launchers' full paths, quoted by the desktop entry rules
  # (inside double quotes \ " ` $ take a backslash, % is doubled, then the string
  # escape doubles each backslash), so the entry works whether or not PREFIX/bin is
  # on the search path.
  set(_quoted "${_prefix}/bin/")
  string(REPLACE "\\" "\\\\" _quoted "${_quoted}")
  foreach(_special "\"" "`" "$")
    string(REPLACE "${_special}" "\\${_special}" _quoted "${_quoted}")
  endforeach()
  string(REPLACE "%" "%%" _quoted "${_quoted}")
  string(REPLACE "\\" "\\\\" _quoted "${_quoted}")
  file(STRINGS "${AMBIENCE_SOURCE_DIR}/packaging/ambience.desktop" _lines)
  set(_entry "")
  foreach(_line IN LISTS _lines)
    if(_line MATCHES "^Exec=(ambience(-cli)?)( (.*))?$")
      set(_line "Exec=\"${_quoted}${CMAKE_MATCH_1}\"${CMAKE_MATCH_3}")
    endif()
    string(APPEND _entry "${_line}\n")
  endforeach()
  set(_generated "${AMBIENCE_BINARY_DIR}/install-generated/ambience.desktop")
  file(WRITE "${_generated}" "${_entry}")
  file(INSTALL DESTINATION "${_prefix}/share/applications" TYPE FILE FILES "${_generated}")
  return()
endif()

if(AMBIENCE_UNINSTALL_MANIFEST)
  # Uninstall: remove what the last install wrote, then the program's folders when
  # they are empty (a pack the user added keeps its folder).
  if(NOT EXISTS "${AMBIENCE_UNINSTALL_MANIFEST}")
    message(FATAL_ERROR "Nothing to uninstall: ${AMBIENCE_UNINSTALL_MANIFEST} is missing.")
  endif()
  file(STRINGS "${AMBIENCE_UNINSTALL_MANIFEST}" _files)
  set(_folders)
  foreach(_file IN LISTS _files)
    set(_path "$ENV{DESTDIR}${_file}")
    if(EXISTS "${_path}" OR IS_SYMLINK "${_path}")
      message(STATUS "Removing: ${_path}")
      file(REMOVE "${_path}")
    endif()
    if(_file MATCHES "/${_ambience_subdir}/")
      get_filename_component(_folder "${_path}" DIRECTORY)
      list(APPEND _folders "${_folder}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES _folders)
  list(SORT _folders ORDER DESCENDING) # deepest first
  foreach(_folder IN LISTS _folders)
    while(IS_DIRECTORY "${_folder}" AND _folder MATCHES "/${_ambience_subdir}(/|$)")
      file(GLOB _left "${_folder}/*" "${_folder}/.*")
      if(_left)
        break()
      endif()
      file(REMOVE_RECURSE "${_folder}") # empty, as just seen
      get_filename_component(_folder "${_folder}" DIRECTORY)
    endwhile()
  endforeach()
  return()
endif()

# The rules.
install(TARGETS ambience ambience-cli ambience-cli-packs RUNTIME DESTINATION ${_ambience_subdir})

# The packs beside the built programs: the samples, and whatever else lies there.
install(CODE "
  file(GLOB _ambience_packs \"${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/*.zip\")
  if(_ambience_packs)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${_ambience_subdir}\" TYPE FILE FILES \${_ambience_packs})
  endif()")

install(DIRECTORY ${PROJECT_SOURCE_DIR}/site/ DESTINATION ${_ambience_subdir}/site
        PATTERN CMakeLists.txt EXCLUDE)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/ambience.svg DESTINATION share/icons/hicolor/scalable/apps)

install(CODE "set(AMBIENCE_INSTALL_STEP launchers)
  set(AMBIENCE_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
  set(AMBIENCE_BINARY_DIR \"${CMAKE_BINARY_DIR}\")")
install(SCRIPT ${CMAKE_CURRENT_LIST_FILE})
install(CODE "unset(AMBIENCE_INSTALL_STEP)")

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DAMBIENCE_UNINSTALL_MANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -P ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Removing the installed files"
  VERBATIM)
