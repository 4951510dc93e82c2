# Run by CPack after it has installed the package's files into its staging folder: refuses to
# pack when a part is missing (most likely the man pages, made only where help2man is found).
set(expected
  bin/corvane bin/corvane-cli bin/corvane-k3sim
  share/man/man1/corvane.1.gz share/man/man1/corvane-cli.1.gz share/man/man1/corvane-k3sim.1.gz
  share/applications/corvane.desktop
  share/metainfo/com.corvane.Corvane.metainfo.xml
  share/icons/hicolor/scalable/apps/corvane.svg
  share/bash-completion/completions/corvane-cli
  share/doc/corvane/copyright share/doc/corvane/changelog.gz
  share/doc/corvane/guide.md share/doc/corvane/README.md share/doc/corvane/images/sweep.png)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/corvane.png)
endforeach()

set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(missing "")
foreach(file ${expected})
  if(NOT EXISTS "${root}/${file}")
    list(APPEND missing ${CPACK_PACKAGING_INSTALL_PREFIX}/${file})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "The package would miss:\n  ${missing}\n"
                      "(man pages need help2man when CMake configures the build; "
                      "./run.sh package installs it)")
endif()
