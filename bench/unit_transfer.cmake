target_link_libraries(unit_transfer PRIVATE quarnoapp ecxsimlib Qt6::Widgets)
add_dependencies(unit_transfer XelLan)
