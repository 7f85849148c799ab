target_link_libraries(setup_memory PRIVATE quarnopages Qt6::Core)
add_dependencies(setup_memory XelLan)
