find_package(Qt6 REQUIRED COMPONENTS Test)
target_link_libraries(main_window PRIVATE quarnoframe Qt6::Widgets Qt6::Test)
add_dependencies(main_window XelLan quarnodb)
# The program itself is started by one benchmark.
if(TARGET quarno)
  add_dependencies(main_window quarno)
endif()
