target_link_libraries(comm_transfer PRIVATE XelComm ecxsimlib Qt6::Core)
