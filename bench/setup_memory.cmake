target_link_libraries(setup_memory PRIVATE XelQrn quarnoapp extra Qt6::Core)
add_dependencies(setup_memory XelLan)
