# Installs the build into a scratch prefix and checks that the programs, the
# desktop entry and the icon are where a desktop looks for them, and that the
# entry is valid. cmake -DBUILD_DIR=... -DPREFIX=... [-DVALIDATE=...] -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(path bin/geoplait bin/geoplait-cli share/applications/geoplait.desktop
        share/icons/hicolor/scalable/apps/geoplait.svg share/man/man1/geoplait.1.gz share/man/man1/geoplait-cli.1.gz
        share/bash-completion/completions/geoplait-cli share/doc/geoplait/copyright share/doc/geoplait/changelog.gz
        share/doc/geoplait-cli/copyright share/doc/geoplait-cli/changelog.gz)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
if(VALIDATE)
  execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/geoplait.desktop"
                  RESULT_VARIABLE valid)
  if(NOT valid EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refuses geoplait.desktop")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
