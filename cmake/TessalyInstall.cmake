# Two layouts from one build, chosen when installing:
#
#   the system layout (a plain `cmake --install`, `--prefix /usr`, CPack):
#     bin/tessaly and its tools, share/tessaly/ (Template/, the guide), the
#     desktop entry, icons, metainfo and file type under share/. The program
#     finds its data there and keeps the user's cards in the user's folders.
#
#   the program's own folder (component Beside, installed only when asked
#   for, as ./run.sh does into dist/):
#     cmake --install build --prefix DIR --component Beside
#     the program, its tools, Template/ and the guide side by side in DIR,
#     the cards in DIR/MyCard/.

# Every executable the program runs or ships (the program, its command-line
# tools, helpers it starts) is installed beside the program through this
# one rule, in both layouts.
function(tessaly_install_beside_program)
    install(TARGETS ${ARGN} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    install(TARGETS ${ARGN} RUNTIME DESTINATION . COMPONENT Beside EXCLUDE_FROM_ALL)
endfunction()

# Data the program reads (the guide and its pictures): share/tessaly/ or
# beside the program.
function(tessaly_install_data_files)
    install(FILES ${ARGN} DESTINATION "${CMAKE_INSTALL_DATADIR}/tessaly")
    install(FILES ${ARGN} DESTINATION . COMPONENT Beside EXCLUDE_FROM_ALL)
endfunction()

function(tessaly_install_data_directory directory)
    install(DIRECTORY "${directory}" DESTINATION "${CMAKE_INSTALL_DATADIR}/tessaly")
    install(DIRECTORY "${directory}" DESTINATION . COMPONENT Beside EXCLUDE_FROM_ALL)
endfunction()

# Installing (and CPack) takes what the build made and builds nothing: the
# install and package tests run beside other tests from the same build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
