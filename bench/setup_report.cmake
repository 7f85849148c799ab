target_link_libraries(setup_report PRIVATE quarnoreports Qt6::Widgets Qt6::PrintSupport)
add_dependencies(setup_report XelLan quarnodb)
