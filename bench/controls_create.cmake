target_link_libraries(controls_create PRIVATE XelDisp Qt6::Widgets)
