target_link_libraries(setup_document PRIVATE quarnopages Qt6::Core)
add_dependencies(setup_document XelLan)
