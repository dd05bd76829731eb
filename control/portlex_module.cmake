# Portlex.ocx itself. The control's code without the module entry points is a static
# library, linked into the module and into test programs that drive the control directly.
add_library(portlex_core STATIC portlex_ctrl.cpp error_reporting.cpp error_message_dlg.cpp service_stubs.cpp open_close.cpp textpane_host.cpp mscomm_host.cpp
            ${CMAKE_CURRENT_BINARY_DIR}/portlex_i.c)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/portlex_i.c PROPERTIES GENERATED TRUE)
add_dependencies(portlex_core portlex_typelib)
target_include_directories(portlex_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(portlex_core PUBLIC portlex_logic framework ws2_32)

add_library(Portlex SHARED module.cpp portlex.def)
portlex_add_resources(Portlex)
target_link_libraries(Portlex PRIVATE portlex_core framework_module)
target_link_options(Portlex PRIVATE -Wl,--enable-stdcall-fixup)
set_target_properties(Portlex PROPERTIES PREFIX "" SUFFIX ".ocx" OUTPUT_NAME Portlex
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
