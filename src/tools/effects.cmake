# varkon-effects: draws contact sheets of the lighting engine's effects (developer tool).
find_package(Qt6 COMPONENTS Gui)
if(Qt6Gui_FOUND AND TARGET varkon_devices)
  add_library(varkon_effects_sheet STATIC effects_sheet.cpp)
  target_link_libraries(varkon_effects_sheet PUBLIC varkon_devices Qt6::Gui)

  add_executable(varkon-effects varkon_effects_main.cpp)
  target_link_libraries(varkon-effects PRIVATE varkon_effects_sheet)
endif()
