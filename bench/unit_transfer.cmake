target_link_libraries(unit_transfer PRIVATE quarnounitops ecxsimlib Qt6::Widgets)
add_dependencies(unit_transfer XelLan)
