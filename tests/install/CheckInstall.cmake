# Installs the build into a scratch DESTDIR and checks what a desktop needs to find the program:
# the executable, its data folder naming the installation, the desktop entry with its MIME type,
# the icon and the MIME type for .lxc files. Run as:
#   cmake -DBUILD_DIR=<build> -DSCRATCH=<folder> -P CheckInstall.cmake
file(REMOVE_RECURSE ${SCRATCH})
set(ENV{DESTDIR} ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /opt/lyrex-test
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
set(root ${SCRATCH}/opt/lyrex-test)
foreach(f bin/lyrex-ondrel share/lyrex-ondrel/machine-registry.txt share/applications/lyrex-ondrel.desktop
          share/icons/hicolor/scalable/apps/lyrex-ondrel.svg share/mime/packages/lyrex-ondrel.xml)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(READ ${root}/share/lyrex-ondrel/machine-registry.txt store)
if(NOT store MATCHES "\"Path\"=sz:\"/opt/lyrex-test/share/lyrex-ondrel\"")
  message(FATAL_ERROR "the machine store does not name the installed data folder:\n${store}")
endif()
file(READ ${root}/share/applications/lyrex-ondrel.desktop entry)
foreach(line "Exec=lyrex-ondrel %F" "Icon=lyrex-ondrel" "MimeType=application/x-lyrex-catalog;")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
file(READ ${root}/share/mime/packages/lyrex-ondrel.xml mime)
if(NOT mime MATCHES "type=\"application/x-lyrex-catalog\"" OR NOT mime MATCHES "pattern=\"\\*\\.lxc\"")
  message(FATAL_ERROR "the MIME type for .lxc files is missing")
endif()
file(REMOVE_RECURSE ${SCRATCH})
