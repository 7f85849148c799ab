target_link_libraries(setup_document PRIVATE XelQrn quarnoapp extra Qt6::Core)
add_dependencies(setup_document XelLan)
