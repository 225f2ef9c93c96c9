# An installation: the program and its intro library in a private folder (the program finds
# the library beside itself), the data file where the launcher looks for it, the tools on the
# path. `cmake --install build --prefix /usr` lays it out; scripts/make-package.sh packs it.
include(GNUInstallDirs)
set(VRK_PRIVATE_DIR lib/tinselwave)
install(TARGETS vrkdisk RUNTIME DESTINATION ${VRK_PRIVATE_DIR})
install(TARGETS vrkintro LIBRARY DESTINATION ${VRK_PRIVATE_DIR})
install(FILES ${CMAKE_BINARY_DIR}/vrk.bin DESTINATION share/tinselwave)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/tinselwave DESTINATION bin)
foreach(tool vrkpack scenedump scenerender)
    if(TARGET ${tool})
        install(TARGETS ${tool} RUNTIME DESTINATION bin)
    endif()
endforeach()
